#include "frm_scheduler.h"
#include "scripted_prompter.h"
#include "temp_dir.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

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
    QCheckBox *tick(const char *name) { return dialog.findChild<QCheckBox *>(QLatin1String(name)); }
    void press(const char *name) { dialog.findChild<QPushButton *>(QLatin1String(name))->click(); }

    ScriptedPrompter prompter;
    frm_scheduler dialog;
};

} // namespace

class FrmSchedulerTest : public QObject {
    Q_OBJECT

private slots:
    void fillsOnceLoadedAndFollowsTheDailyRule();
    void leavingABoxChecksIt();
    void okValidatesInOrderThenWritesTheFile();
};

void FrmSchedulerTest::fillsOnceLoadedAndFollowsTheDailyRule()
{
    TempDir dir;
    const Schedule daily {"Sauvegarde été", "01.03.2027", "07:05", true, true};
    OpenDialog open(dir, daily);
    QVERIFY(open.box("txt_time")->text().isEmpty()); // not before its timer
    QVERIFY(open.filled());
    QCOMPARE(open.project()->currentText(), daily.SchTemplate);
    QCOMPARE(open.box("txt_date")->text() + open.box("txt_time")->text(), "01.03.202707:05");
    QVERIFY(open.tick("chk_daily")->isChecked() && open.tick("chk_enabled")->isChecked());

    // "Quotidien" disables the date box, which keeps its text; a double click on the enabled
    // box writes today's date.
    QVERIFY(!open.box("txt_date")->isEnabled());
    QTest::mouseDClick(open.box("txt_date"), Qt::LeftButton);
    QCOMPARE(open.box("txt_date")->text(), QStringLiteral("01.03.2027"));
    open.tick("chk_daily")->click();
    QVERIFY(open.box("txt_date")->isEnabled());
    QTest::mouseDClick(open.box("txt_date"), Qt::LeftButton);
    QCOMPARE(open.box("txt_date")->text(), QStringLiteral("28.02.2027"));
    open.tick("chk_daily")->click();
    QVERIFY(!open.box("txt_date")->isEnabled());
    QCOMPARE(open.box("txt_date")->text(), QStringLiteral("28.02.2027"));

    // A project renamed since, or none, shows as "- Aucun -"; a name in another case is found.
    for (const auto &[stored, shown] : {std::pair {"Sauvegarde ete", "- Aucun -"},
             std::pair {"- Aucun -", "- Aucun -"}, std::pair {"PHOTOS", "Photos"}}) {
        OpenDialog other(dir, {QString::fromUtf8(stored), {}, {}, false, false});
        QVERIFY(other.filled());
        QCOMPARE(other.project()->currentText(), QString::fromUtf8(shown));
    }
}

void FrmSchedulerTest::leavingABoxChecksIt()
{
    TempDir dir;
    OpenDialog open(dir, Schedule());
    QVERIFY(open.filled());
    QLineEdit *date = open.box("txt_date");
    QLineEdit *time = open.box("txt_time");

    // The reading itself is the core's: here one text read, one refused, and an empty box,
    // for each box.
    const struct {
        QLineEdit *box;
        const char *typed;
        const char *kept;
        bool refused;
    } cases[] = {
        {date, "7/3/27", "07.03.2027", false},
        {date, "demain", "demain", true},
        {date, "", "", false},
        {time, "7h05", "07:05", false},
        {time, "7:5", "7:5", true},
        {time, "", "", false},
    };
    for (const auto &entry : cases) {
        QLineEdit *other = entry.box == date ? time : date;
        other->clear();
        entry.box->setFocus(Qt::TabFocusReason);
        entry.box->setText(QString::fromUtf8(entry.typed));
        other->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents(); // checked once the focus has moved
        QCOMPARE(entry.box->text(), QString::fromUtf8(entry.kept));
        QCOMPARE(open.prompter.said().size(), entry.refused ? 1 : 0);
        // After a message the focus goes back to the box.
        QCOMPARE(QApplication::focusWidget(), entry.refused ? entry.box : other);
    }
}

void FrmSchedulerTest::okValidatesInOrderThenWritesTheFile()
{
    TempDir dir;
    const QString file = dir("TDRL-timer.tmr");
    OpenDialog open(dir, Schedule());
    QVERIFY(open.filled());

    // No project, no time, no date, then a date that is none: each refused in turn, the focus
    // on the box to mend, the dialog open. Enter in a box saves without leaving it: the box is
    // still read and checked.
    open.press("cmd_ok");
    open.project()->setCurrentIndex(2);
    open.box("txt_time")->setText(QStringLiteral("   "));
    open.press("cmd_ok");
    QCOMPARE(QApplication::focusWidget(), open.box("txt_time"));
    QVERIFY(open.box("txt_time")->text().isEmpty());
    open.box("txt_time")->setText(QStringLiteral(" 7:05 "));
    open.press("cmd_ok");
    QCOMPARE(QApplication::focusWidget(), open.box("txt_date"));
    open.box("txt_date")->setText(QStringLiteral("1.3.2027x"));
    open.press("cmd_ok");
    QCOMPARE(open.prompter.said().size(), 4);
    QVERIFY(open.dialog.isVisible());
    QVERIFY(!QFile::exists(file));

    open.box("txt_date")->setText(QStringLiteral("1.3.2027"));
    open.press("cmd_ok");
    QCOMPARE(open.dialog.result(), int(QDialog::Accepted));
    const Schedule once = LoadSchedule(dir.path());
    QCOMPARE(once.SchTemplate + once.SchDate + once.SchTime, "Sauvegarde été01.03.202707:05");
    QVERIFY(!once.SchDaily && !once.SchEnabled);

    // A daily schedule may have no date.
    OpenDialog daily(dir, once);
    QVERIFY(daily.filled());
    daily.box("txt_date")->clear();
    daily.tick("chk_daily")->click();
    daily.tick("chk_enabled")->click();
    daily.press("cmd_ok");
    QVERIFY(daily.prompter.said().isEmpty());
    const Schedule saved = LoadSchedule(dir.path());
    QVERIFY(saved.SchDate.isEmpty() && saved.SchDaily && saved.SchEnabled);

    // "Annuler" writes nothing, and does not check the box being left.
    const QByteArray before = readFile(file);
    OpenDialog cancelled(dir, once);
    QVERIFY(cancelled.filled());
    cancelled.box("txt_time")->setText(QStringLiteral("7:5"));
    cancelled.box("txt_time")->setFocus();
    cancelled.press("cmd_cancel");
    QCoreApplication::processEvents();
    QVERIFY(cancelled.prompter.said().isEmpty());
    QCOMPARE(readFile(file), before);
}

QTEST_MAIN(FrmSchedulerTest)
#include "frm_scheduler_test.moc"
