#include "desktop_links.h"
#include "frm_about.h"
#include "help_text.h"
#include "scripted_prompter.h"

#include <QLabel>
#include <QPushButton>
#include <QSysInfo>
#include <QTest>

namespace {

template <typename T> T *child(const QWidget &w, const char *name)
{
    T *found = w.findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qFatal("no child %s", name);
    return found;
}

QString labelText(const frmAbout &box, const char *name)
{
    return child<QLabel>(box, name)->text();
}

} // namespace

class AboutTest : public QObject {
    Q_OBJECT

private slots:
    void helpTextIsShownExactly();
    void aboutBoxTextsLinksAndDetails();
};

void AboutTest::helpTextIsShownExactly()
{
    const QString expected = QStringLiteral(
        "Aide de Tandrel\r\n"
        "\r\n"
        "Tandrel permet de copier automatiquement les fichiers\r\n"
        "et/ou sous dossiers d'un dossier origine vers un dossier destination.\r\n"
        "Uniquement les fichiers modifiés ou nouveaux seront copiés et remplacés.\r\n"
        "\r\n"
        "Pour synchroniser 2 dossiers dans les 2 sens, créer 2 projets.\r\n"
        "Un premier dossier pour synchroniser les fichiers du dossier A vers le dossier B.\r\n"
        "Un second dossier pour synchroniser les fichiers du dossier B vers le dossier A.\r\n"
        "La seule restriction est de ne pas inclure de sous-dossiers vides.\r\n"
        "Un programmateur paramétrable permet de créer une synchronisation automatique.\r\n"
        "Le format de la date doit être de type JJ.MM.AAA.\r\n"
        "Le format ed l'heure doit être de type HH:MM:SS.\r\n"
        "\r\n"
        "Mode opératoire\r\n"
        "-1- Sélectionner un projet dans la liste ou créer un nouveau projet.\r\n"
        "-2- Définir le type d'action pour le projet.\r\n"
        "-3- Cliquer sur le bouton <Synchroniser>.\r\n");
    ScriptedPrompter prompter;
    ShowHelp(nullptr, prompter);
    QCOMPARE(prompter.shown.size(), 1);
    QCOMPARE(prompter.shown[0].icon, Prompter::Icon::Information);
    QCOMPARE(prompter.shown[0].title, QStringLiteral("Comment ça marche ?"));
    QCOMPARE(prompter.shown[0].text, expected);
}

void AboutTest::aboutBoxTextsLinksAndDetails()
{
    ScriptedPrompter prompter;
    QList<QUrl> opened;
    frmAbout box(prompter, [&](const QUrl &url) { opened << url; });
    box.show();
    QCOMPARE(box.windowTitle(), QStringLiteral("A propos Tandrel"));
    QCOMPARE(labelText(box, "lblTitle"), QStringLiteral("Tandrel"));
    QCOMPARE(labelText(box, "lblVersion"), QStringLiteral("Version 1.0.0"));
    QCOMPARE(labelText(box, "Label2"), QStringLiteral("Logiciel FREEWARE"));
    QCOMPARE(labelText(box, "Label3"), WebUrl().toString());
    QCOMPARE(labelText(box, "lblDisclaimer"), MailAddress());
    QCOMPARE(child<QLabel>(box, "lblDisclaimer")->toolTip(), QStringLiteral("Envoyer un courriel"));
    QVERIFY(!child<QLabel>(box, "Image1")->pixmap().isNull());

    // The web address, the e-mail address and the donation button open their addresses.
    for (const char *name : {"Label3", "lblDisclaimer", "Image2", "Label2"})
        QTest::mouseClick(child<QLabel>(box, name), Qt::LeftButton);
    OpenDonationPage([&](const QUrl &url) { opened << url; }); // the menu's donation command
    QCOMPARE(opened,
        QList<QUrl>({WebUrl(), QUrl(QStringLiteral("mailto:") + MailAddress()), DonationUrl(),
            DonationUrl()}));
    QVERIFY(WebUrl().isValid() && DonationUrl().isValid());
    QVERIFY(prompter.shown.isEmpty());

    // System information, then the details box.
    child<QPushButton>(box, "cmdSysInfo")->click();
    child<QPushButton>(box, "Command1")->click();
    QCOMPARE(opened.size(), 4); // nothing more opened
    QCOMPARE(prompter.shown.size(), 2);
    const QString info = prompter.shown[0].text;
    for (const QString &part :
        {QSysInfo::prettyProductName(), QSysInfo::kernelType() + u' ' + QSysInfo::kernelVersion(),
            QSysInfo::currentCpuArchitecture(), QString::fromLatin1(qVersion())})
        QVERIFY2(info.contains(part), qPrintable(info));

    QCOMPARE(prompter.shown[1].icon, Prompter::Icon::Information);
    QCOMPARE(prompter.shown[1].title, QStringLiteral("A propos"));
    const QStringList lines = prompter.shown[1].text.split(u'\r');
    QCOMPARE(lines.size(), 6);
    QCOMPARE(lines[0], QStringLiteral("Tandrel version 1.0.0"));
    QVERIFY(lines[2].contains(MailAddress()) && lines[3].contains(WebUrl().toString()));
    QCOMPARE(lines.mid(4), QStringList({QString(), QStringLiteral("Logiciel FREEWARE")}));
    QVERIFY(!prompter.shown[1].text.contains(u'\n'));
    child<QPushButton>(box, "cmdOK")->click();
    QCOMPARE(box.result(), int(QDialog::Accepted));
}

QTEST_MAIN(AboutTest)
#include "about_test.moc"
