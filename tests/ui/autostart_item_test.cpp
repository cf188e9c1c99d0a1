#include "app_id.h"
#include "autostart_entry.h"
#include "frm_main.h"
#include "scripted_prompter.h"
#include "temp_dir.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QTest>

#include <memory>

namespace {

// A user's configuration folder (XDG_CONFIG_HOME) and the main window started with it.
struct Session {
    TempDir config;
    TempDir app;
    ScriptedPrompter prompter;
    std::unique_ptr<frm_main> window;
    const QString entry = config("autostart/" + AppId() + ".desktop");

    Session() { qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path())); }

    // Starts the window and returns its "Démarrer avec la session" item.
    QAction *start()
    {
        window = std::make_unique<frm_main>(prompter);
        if (!window->Form_Load(app.path()))
            return nullptr;
        return window->findChild<QAction *>(QStringLiteral("mnu_autostart"));
    }
    QMenu *fileMenu() const { return window->findChild<QMenu *>(QStringLiteral("cap_file")); }
};

} // namespace

class AutostartItemTest : public QObject {
    Q_OBJECT

private slots:
    void checkingWritesTheEntryAndUncheckingRemovesIt();
    void aFailureIsShownAndTheItemFollowsTheEntry();
};

void AutostartItemTest::checkingWritesTheEntryAndUncheckingRemovesIt()
{
    Session session;
    QAction *item = session.start();
    QVERIFY(item && item->isCheckable());
    QVERIFY(!item->isChecked());
    item->trigger();
    QVERIFY(item->isChecked());
    QVERIFY(AutostartEnabled(session.entry));
    item->trigger();
    QVERIFY(!item->isChecked());
    QVERIFY(!QFile::exists(session.entry));

    // An entry the user edited: shown checked and left as it is until the user unchecks it.
    const QByteArray edited = "[Desktop Entry]\nType=Application\nExec=tandrel --minimized -x\n";
    session.config.write("autostart/" + AppId() + ".desktop", edited);
    item = session.start();
    QVERIFY(item->isChecked());
    QCOMPARE(readFile(session.entry), edited);
    item->trigger();
    QVERIFY(!QFile::exists(session.entry));
    QCOMPARE(session.prompter.said(), QStringList());
}

void AutostartItemTest::aFailureIsShownAndTheItemFollowsTheEntry()
{
    Session session;
    session.config.write("autostart", "un fichier"); // no folder can be made there
    QAction *item = session.start();
    item->trigger();
    QVERIFY(!item->isChecked());
    QCOMPARE(session.prompter.said(false), QStringList {"Erreur"});
    QCOMPARE(readFile(session.config("autostart")), QByteArray("un fichier"));

    // Switched off meanwhile in the desktop's settings: unchecked when the menu opens next.
    QVERIFY(QFile::remove(session.config("autostart")));
    item->trigger();
    QVERIFY(item->isChecked());
    QFile entry(session.entry);
    QVERIFY(entry.open(QIODevice::Append) && entry.write("Hidden=true\n") > 0);
    entry.close();
    emit session.fileMenu()->aboutToShow();
    QVERIFY(!item->isChecked());
}

QTEST_MAIN(AutostartItemTest)
#include "autostart_item_test.moc"
