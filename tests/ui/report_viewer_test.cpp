#include "report_viewer.h"
#include "scripted_prompter.h"
#include "temp_dir.h"

#include <QFile>
#include <QTest>

class ReportViewerTest : public QObject {
    Q_OBJECT

private slots:
    void opensAnExistingReportOrSaysItIsMissing()
    {
        TempDir appDir;
        ScriptedPrompter prompter;
        QList<QUrl> opened;
        bool canOpen = true;
        auto open = [&](const QUrl &url, const OpenFailed &failed) {
            opened << url;
            if (!canOpen)
                failed();
        };

        // No project chosen: the list's text names the report, which does not exist.
        ViewReport(nullptr, appDir.path(), QStringLiteral("- Aucun -"), prompter, open);
        QVERIFY(opened.isEmpty());
        QVERIFY(prompter.shown.value(0).text.endsWith(appDir("- Aucun -.log")));

        // A project name with spaces, accents and a "/" that cannot stand in a file name.
        const QString report = appDir.write(QStringLiteral("Photos été_2007.log"), "rapport\r\n");
        ViewReport(nullptr, appDir.path(), QStringLiteral("Photos été/2007"), prompter, open);
        QCOMPARE(prompter.shown.size(), 1);
        QCOMPARE(opened, QList<QUrl>({QUrl::fromLocalFile(report)}));

        // No program for text files: a box names the file.
        canOpen = false;
        prompter.shown.clear();
        ViewReport(nullptr, appDir.path(), QStringLiteral("Photos été/2007"), prompter, open);
        QVERIFY(prompter.said().value(0).endsWith(report));
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
