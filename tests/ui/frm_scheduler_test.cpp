#include "frm_scheduler.h"
#include "main_window_driver.h"

#include <QTest>

namespace {

// A dialog on screen, filled by its timer, over these projects.
class OpenDialog {
public:
    OpenDialog(const TempDir &dir, const Schedule &schedule)
        : dialog({QStringLiteral("- Aucun -"), QStringLiteral("Photos"),
                     QStringLiteral("Sauvegarde été")},
            schedule, dir.path(), prompter,
            [] { return QDateTime(QDate(2027, 2, 28), QTime(23, 59, 30)); })
    {
        dialog.show();
    }
    bool filled()
    {
        auto *timer = dialog.findChild<QTimer *>(QStringLiteral("Timer1"));
        return QTest::qWaitFor([timer] { return !timer->isActive(); }, 2000)
            && QTest::qWaitForWindowActive(&dialog);
    }
    QComboBox *project() { return dialog.findChild<QComboBox *>(QStringLiteral("cmb_template")); }
    QLineEdit *box(const char *name) { return dialog.findChild<QLineEdit *>(QLatin1String(name)); }

    ScriptedPrompter prompter;
    frm_scheduler dialog;
};

} // namespace

class FrmSchedulerTest : public QObject {
    Q_OBJECT

private slots:
    void fillsOnceLoadedAndFindsTheProject()
    {
        TempDir dir;
        const Schedule daily {"Sauvegarde été", "01.03.2027", "07:05", true, true};
        OpenDialog open(dir, daily);
        QVERIFY(open.filled());
        QCOMPARE(open.project()->currentText(), daily.SchTemplate);
        QCOMPARE(open.box("txt_date")->text() + open.box("txt_time")->text(), "01.03.202707:05");

        // A project renamed since shows as "- Aucun -"; a name in another case is found.
        for (const auto &[stored, shown] :
            {std::pair {"Sauvegarde ete", "- Aucun -"}, std::pair {"PHOTOS", "Photos"}}) {
            OpenDialog other(dir, {QString::fromUtf8(stored), {}, {}, false, false});
            QVERIFY(other.filled());
            QCOMPARE(other.project()->currentText(), QString::fromUtf8(shown));
        }
    }

    // Reading the texts is the core's; here that the dialog refuses, saves, or writes nothing.
    void okValidatesThenWritesTheFile()
    {
        TempDir dir;
        const QString file = dir("TDRL-timer.tmr");
        OpenDialog open(dir, Schedule());
        QVERIFY(open.filled());
        open.project()->setCurrentIndex(2);
        fill(&open.dialog, {{"txt_time", " 7:05 "}, {"txt_date", "1.3.2027x"}});
        QCOMPARE(open.prompter.said().size(), 1);
        QCOMPARE(QApplication::focusWidget(), open.box("txt_date"));
        QVERIFY(open.dialog.isVisible() && !QFile::exists(file));
        fill(&open.dialog, {{"txt_date", "1.3.2027"}});
        const Schedule once = LoadSchedule(dir.path());
        QCOMPARE(once.SchTemplate + once.SchDate + once.SchTime, "Sauvegarde été01.03.202707:05");
        QVERIFY(!once.SchDaily && !once.SchEnabled);

        // A daily schedule may have no date.
        OpenDialog daily(dir, once);
        QVERIFY(daily.filled());
        child<QCheckBox>(daily.dialog, "chk_daily")->click();
        fill(&daily.dialog, {{"txt_date", ""}});
        QVERIFY(daily.prompter.said().isEmpty());
        QVERIFY(LoadSchedule(dir.path()).SchDaily);

        // "Annuler" writes nothing, and does not check the box being left.
        const QByteArray before = readFile(file);
        OpenDialog cancelled(dir, once);
        QVERIFY(cancelled.filled());
        cancelled.box("txt_time")->setText(QStringLiteral("7:5"));
        cancelled.box("txt_time")->setFocus();
        press(&cancelled.dialog, "cmd_cancel");
        QCoreApplication::processEvents();
        QVERIFY(cancelled.prompter.said().isEmpty());
        QCOMPARE(readFile(file), before);
    }
};

QTEST_MAIN(FrmSchedulerTest)
#include "frm_scheduler_test.moc"
