#include "main_window_driver.h"
#include "report_viewer.h"

#include <QFile>
#include <QTest>

class ReportViewerTest : public QObject {
    Q_OBJECT

private slots:
    void opensAnExistingReportOrSaysItIsMissing()
    {
        // A project name with spaces, accents and a "/" that cannot stand in a file name.
        OpenMainWindow o({{"Photos été/2007", {}}});
        // No project chosen: the list's text names the report, which does not exist.
        o.window.mnu_viewreport_Click();
        QVERIFY(o.opened.isEmpty());
        QVERIFY(o.prompter.said().value(0).endsWith(o.dir("- Aucun -.log")));

        const QString report = o.dir.write(QStringLiteral("Photos été_2007.log"), "rapport\r\n");
        choose(o.window, 1);
        o.window.mnu_viewreport_Click();
        QVERIFY(o.prompter.shown.isEmpty());
        QCOMPARE(o.opened, QList<QUrl>({QUrl::fromLocalFile(report)}));

        // No program for text files: a box names the file.
        o.canOpen = false;
        o.window.mnu_viewreport_Click();
        QVERIFY(o.prompter.said().value(0).endsWith(report));
    }

    // xdg-open finds no program for the file only once it runs: the failure comes when it ends.
    void xdgOpenWithoutAProgramForTheFile()
    {
        TempDir bin;
        const QString script = bin.write(QStringLiteral("xdg-open"), "#!/bin/sh\nexit 3\n");
        QFile::setPermissions(script, QFile::ReadOwner | QFile::ExeOwner);
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", bin.path().toLocal8Bit());
        bool failed = false;
        OpenWithDesktop(QUrl::fromLocalFile(script), [&failed] { failed = true; });
        qputenv("PATH", path);
        QVERIFY(!failed);
        QTRY_VERIFY(failed);
    }
};

QTEST_MAIN(ReportViewerTest)
#include "report_viewer_test.moc"
