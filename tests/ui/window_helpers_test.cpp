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
    QCOMPARE(prompter.shown.size(), 1);
    QCOMPARE(prompter.shown[0].icon, Prompter::Icon::Critical);
    QCOMPARE(prompter.shown[0].title, QStringLiteral("Erreur"));
    QCOMPARE(prompter.shown[0].text,
        QStringLiteral("Erreur: 3044\nDescription: chemin d'accès non valide"));
    QCOMPARE(prompter.shown[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
}

void WindowHelpersTest::standardButtonsSpeakFrench()
{
    InstallFrenchTranslation(*QCoreApplication::instance());
    QMessageBox box(QMessageBox::Question, QStringLiteral("t"), QStringLiteral("?"),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel | QMessageBox::Ok);
    auto plain = [&](QMessageBox::StandardButton b) { return box.button(b)->text().remove(u'&'); };
    QCOMPARE(plain(QMessageBox::Yes), QStringLiteral("Oui"));
    QCOMPARE(plain(QMessageBox::No), QStringLiteral("Non"));
    QCOMPARE(plain(QMessageBox::Cancel), QStringLiteral("Annuler"));
    QCOMPARE(plain(QMessageBox::Ok), QStringLiteral("OK"));
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
