#include "desktop_links.h"
#include "frm_about.h"
#include "scripted_prompter.h"

#include <QLabel>
#include <QPushButton>
#include <QSysInfo>
#include <QTest>

class AboutTest : public QObject {
    Q_OBJECT

private slots:
    void linksOpenTheirAddressesAndSystemInfoTellsTheSystem();
};

void AboutTest::linksOpenTheirAddressesAndSystemInfoTellsTheSystem()
{
    ScriptedPrompter prompter;
    QList<QUrl> opened;
    frmAbout box(prompter, [&](const QUrl &url, const OpenFailed &) { opened << url; });
    box.show();
    const auto child = [&](const char *name) { return box.findChild<QWidget *>(name); };

    // The web address, the e-mail address and the donation button open their addresses; the
    // freeware line is no link.
    for (const char *name : {"Label3", "lblDisclaimer", "Image2", "Label2"})
        QTest::mouseClick(child(name), Qt::LeftButton);
    QCOMPARE(opened,
        QList<QUrl>({WebUrl(), QUrl(QStringLiteral("mailto:") + MailAddress()), DonationUrl()}));
    QVERIFY(prompter.shown.isEmpty());

    qobject_cast<QPushButton *>(child("cmdSysInfo"))->click();
    const QString info = prompter.said().value(0);
    for (const QString &part :
        {QSysInfo::prettyProductName(), QSysInfo::kernelType() + u' ' + QSysInfo::kernelVersion(),
            QSysInfo::currentCpuArchitecture(), QString::fromLatin1(qVersion())})
        QVERIFY2(info.contains(part), qPrintable(info));
    qobject_cast<QPushButton *>(child("cmdOK"))->click();
    QCOMPARE(box.result(), int(QDialog::Accepted));
}

QTEST_MAIN(AboutTest)
#include "about_test.moc"
