#include "app_id.h"
#include "autostart_entry.h"
#include "main_window_driver.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QTest>

class AutostartItemTest : public QObject {
    Q_OBJECT

private slots:
    // What the entry holds is the support layer's; here the item's wiring.
    void theItemWritesRemovesAndFollowsTheEntry()
    {
        TempDir config;
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
        const QString entry = config("autostart/" + AppId() + ".desktop");
        config.write("autostart", "un fichier"); // no folder can be made there
        OpenMainWindow o;
        auto *item = child<QAction>(o.window, "mnu_autostart");
        item->trigger();
        QVERIFY(!item->isChecked());
        QCOMPARE(o.prompter.said(false), QStringList {"Erreur"});

        QVERIFY(QFile::remove(config("autostart")));
        item->trigger();
        QVERIFY(item->isChecked() && AutostartEnabled(entry));
        item->trigger();
        QVERIFY(!item->isChecked() && !QFile::exists(entry));

        // Switched off meanwhile in the desktop's settings: unchecked when the menu opens next.
        item->trigger();
        config.write("autostart/" + AppId() + ".desktop", readFile(entry) + "Hidden=true\n");
        emit child<QMenu>(o.window, "cap_file")->aboutToShow();
        QVERIFY(!item->isChecked());
    }
};

QTEST_MAIN(AutostartItemTest)
#include "autostart_item_test.moc"
