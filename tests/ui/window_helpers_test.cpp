#include "scripted_prompter.h"
#include "window_helpers.h"

#include <QTest>

class WindowHelpersTest : public QObject {
    Q_OBJECT

private slots:
    void browseForFolderTrimsTheSeparatorAndKeepsCancel();
};

void WindowHelpersTest::browseForFolderTrimsTheSeparatorAndKeepsCancel()
{
    ScriptedPrompter prompter;
    prompter.folders << QStringLiteral("/media/clé USB/Photos/") << QStringLiteral("/");
    QCOMPARE(BrowseForFolder(nullptr, QStringLiteral("Dossier origine"), prompter),
        QStringLiteral("/media/clé USB/Photos"));
    QCOMPARE(BrowseForFolder(nullptr, QStringLiteral("t"), prompter), QStringLiteral("/"));
    QCOMPARE(BrowseForFolder(nullptr, QStringLiteral("t"), prompter), QString()); // cancelled
    QCOMPARE(prompter.folderTitles.front(), QStringLiteral("Dossier origine"));
}

QTEST_MAIN(WindowHelpersTest)
#include "window_helpers_test.moc"
