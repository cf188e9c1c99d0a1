#include "report_viewer.h"
#include "scripted_prompter.h"
#include "temp_dir.h"

#include <QFile>
#include <QScopeGuard>
#include <QTest>

class ReportViewerTest : public QObject {
    Q_OBJECT

private slots:
    void opensAnExistingReportOrSaysItIsMissing();
    void desktopWithoutAViewerForTextFiles();
};

void ReportViewerTest::opensAnExistingReportOrSaysItIsMissing()
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
    QCOMPARE(prompter.shown.size(), 1);
    QCOMPARE(prompter.shown[0].icon, Prompter::Icon::Critical);
    QCOMPARE(prompter.shown[0].title + u'|' + prompter.shown[0].text,
        QStringLiteral("Erreur|Ne peut trouver le fichier :\r") + appDir.path()
            + QStringLiteral("- Aucun -.log"));

    // A project name with spaces, accents and a "/" that cannot stand in a file name.
    const QString report = appDir.write(QStringLiteral("Photos été_2007.log"), "rapport\r\n");
    ViewReport(nullptr, appDir.path(), QStringLiteral("Photos été/2007"), prompter, open);
    QCOMPARE(prompter.shown.size(), 1);
    QCOMPARE(opened, QList<QUrl>({QUrl::fromLocalFile(report)}));

    // A folder of that name is not a report.
    appDir.mkdir(QStringLiteral("Dossier.log"));
    ViewReport(nullptr, appDir.path(), QStringLiteral("Dossier"), prompter, open);
    QCOMPARE(prompter.shown.size(), 2);
    QCOMPARE(opened.size(), 1);

    // No program for text files: the box says so and names the file.
    canOpen = false;
    prompter.shown.clear();
    ViewReport(nullptr, appDir.path(), QStringLiteral("Photos été/2007"), prompter, open);
    QCOMPARE(prompter.said(),
        QStringList {"Erreur|Aucun programme ne peut afficher le fichier :\r" + report});
}

// xdg-open is there, but finds no program for text files only once it runs: the box comes when
// it ends. Without xdg-open the desktop services answer at once.
void ReportViewerTest::desktopWithoutAViewerForTextFiles()
{
    TempDir appDir;
    const QString report = appDir.write(QStringLiteral("Sauvegarde.log"), "rapport\r\n");
    const QByteArray path = qgetenv("PATH");
    const auto restorePath = qScopeGuard([&] { qputenv("PATH", path); });
    qputenv("PATH", appDir.path().toLocal8Bit());
    ScriptedPrompter prompter;
    const auto view = [&] {
        prompter.shown.clear();
        ViewReport(nullptr, appDir.path(), QStringLiteral("Sauvegarde"), prompter);
    };
    const QStringList noViewer {"Erreur|Aucun programme ne peut afficher le fichier :\r" + report};

    view();
    QCOMPARE(prompter.said(), noViewer);

    const struct {
        int status;
        bool fails;
    } xdgOpens[] = {{3, true}, {0, false}};
    for (const auto &xdgOpen : xdgOpens) {
        const QString script = appDir.write(QStringLiteral("xdg-open"),
            QStringLiteral("#!/bin/sh\necho \"$1\" > \"$0.arg\"\nexit %1\n")
                .arg(xdgOpen.status)
                .toUtf8());
        QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QFile::remove(script + QStringLiteral(".arg"));
        view();
        QVERIFY(prompter.shown.isEmpty());
        QTRY_VERIFY(QFile::exists(script + QStringLiteral(".arg")));
        QTest::qWait(300); // xdg-open has ended
        QCOMPARE(prompter.said(), xdgOpen.fails ? noViewer : QStringList());
        QCOMPARE(readFile(script + QStringLiteral(".arg")).trimmed(), report.toUtf8());
    }
}

QTEST_MAIN(ReportViewerTest)
#include "report_viewer_test.moc"
