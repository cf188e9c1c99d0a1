#include "report_viewer.h"
#include "scripted_prompter.h"
#include "temp_dir.h"

#include <QTest>

class ReportViewerTest : public QObject {
    Q_OBJECT

private slots:
    void opensAnExistingReportOrSaysItIsMissing();
};

void ReportViewerTest::opensAnExistingReportOrSaysItIsMissing()
{
    TempDir appDir;
    ScriptedPrompter prompter;
    QList<QUrl> opened;
    bool canOpen = true;
    auto open = [&](const QUrl &url) {
        opened << url;
        return canOpen;
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

QTEST_MAIN(ReportViewerTest)
#include "report_viewer_test.moc"
