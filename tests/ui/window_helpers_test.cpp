#include "comic_font.h"
#include "error_box.h"
#include "french_texts.h"
#include "scripted_prompter.h"
#include "window_helpers.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QPushButton>
#include <QTest>

class WindowHelpersTest : public QObject {
    Q_OBJECT

private slots:
    void browseForFolderTrimsTheSeparatorAndKeepsCancel();
    void errorBoxShowsNumberAndDescription();
    void standardButtonsSpeakFrench();
    void theComicFaceOrTheDefaultOne();
};

void WindowHelpersTest::browseForFolderTrimsTheSeparatorAndKeepsCancel()
{
    ScriptedPrompter prompter;
    prompter.folders << QStringLiteral("/media/clé USB/Photos/") << QStringLiteral("/")
                     << QStringLiteral("/home/anne");
    QCOMPARE(BrowseForFolder(nullptr, QStringLiteral("Dossier origine"), prompter),
        QStringLiteral("/media/clé USB/Photos"));
    QCOMPARE(BrowseForFolder(nullptr, QStringLiteral("t"), prompter), QStringLiteral("/"));
    QCOMPARE(BrowseForFolder(nullptr, QStringLiteral("t"), prompter), QStringLiteral("/home/anne"));
    QCOMPARE(BrowseForFolder(nullptr, QStringLiteral("t"), prompter), QString()); // cancelled
    QCOMPARE(prompter.folderTitles.front(), QStringLiteral("Dossier origine"));
}

void WindowHelpersTest::errorBoxShowsNumberAndDescription()
{
    ScriptedPrompter prompter;
    ShowErrorBox(prompter, nullptr, 3044, QStringLiteral("chemin d'accès non valide"));
    QCOMPARE(prompter.shown.value(0).icon, Prompter::Icon::Critical);
    QCOMPARE(prompter.said(),
        QStringList {"Erreur|Erreur: 3044\nDescription: chemin d'accès non valide"});
}

void WindowHelpersTest::standardButtonsSpeakFrench()
{
    InstallFrenchTranslation(*QCoreApplication::instance());
    QMessageBox box(QMessageBox::Question, QStringLiteral("t"), QStringLiteral("?"),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel | QMessageBox::Ok);
    QStringList texts;
    for (auto b : {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel, QMessageBox::Ok})
        texts << box.button(b)->text().remove(u'&');
    QCOMPARE(texts, QStringList({"Oui", "Non", "Annuler", "OK"}));
}

void WindowHelpersTest::theComicFaceOrTheDefaultOne()
{
    QCOMPARE(ComicFamily({"DejaVu Sans", "comic neue", "Comic Sans MS"}), "Comic Sans MS");
    QCOMPARE(ComicFamily({"DejaVu Sans", "Comic Neue"}), "Comic Neue");
    QCOMPARE(ComicFamily({"DejaVu Sans", "Z003", "Comic Sans"}), QString());
    // Here (scripts/setup.sh installs Comic Neue) the face found is the one drawn.
    const QString here = ComicFamily(QFontDatabase::families());
    QVERIFY(!here.isEmpty());
    QCOMPARE(QFontInfo(ComicFont()).family(), here);
}

QTEST_MAIN(WindowHelpersTest)
#include "window_helpers_test.moc"
