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

const QStringList projects {
    QStringLiteral("- Aucun -"), QStringLiteral("Photos"), QStringLiteral("Sauvegarde été")};

QDateTime fixedClock()
{
    return QDateTime(QDate(2027, 2, 28), QTime(23, 59, 30));
}

// A dialog on screen, filled by its timer.
class OpenDialog {
public:
    OpenDialog(const TempDir &dir, const Schedule &schedule)
        : dialog(projects, schedule, dir.path(), prompter, &fixedClock)
    {
        dialog.show();
    }
    bool filled()
    {
        return QTest::qWaitFor([this] { return !timer()->isActive(); }, 2000);
    }
    QTimer *timer() { return dialog.findChild<QTimer *>(QStringLiteral("Timer1")); }
    QComboBox *project() { return dialog.findChild<QComboBox *>(QStringLiteral("cmb_template")); }
    QLineEdit *box(const char *name) { return dialog.findChild<QLineEdit *>(QLatin1String(name)); }
    QCheckBox *tick(const char *name) { return dialog.findChild<QCheckBox *>(QLatin1String(name)); }
    void press(const char *name) { dialog.findChild<QPushButton *>(QLatin1String(name))->click(); }

    ScriptedPrompter prompter;
    frm_scheduler dialog;
};

Schedule sample()
{
    Schedule schedule;
    schedule.SchTemplate = QStringLiteral("Sauvegarde été");
    schedule.SchDate = QStringLiteral("01.03.2027");
    schedule.SchTime = QStringLiteral("07:05");
    schedule.SchDaily = true;
    schedule.SchEnabled = true;
    return schedule;
}

} // namespace

class FrmSchedulerTest : public QObject {
    Q_OBJECT

private slots:
    void fillsOnceLoadedAndFollowsTheDailyRule();
    void leavingABoxReadsItAndChecksOnlyTheLength();
    void okValidatesInOrderThenWritesTheFile();
};

void FrmSchedulerTest::fillsOnceLoadedAndFollowsTheDailyRule()
{
    TempDir dir;
    OpenDialog open(dir, sample());
    QCOMPARE(open.dialog.windowTitle(), QStringLiteral("Programmateur"));
    QCOMPARE(open.project()->count(), 3);
    QVERIFY(open.timer()->isActive());
    QVERIFY(open.box("txt_time")->text().isEmpty());
    QVERIFY(open.filled());
    QCOMPARE(open.project()->currentText(), QStringLiteral("Sauvegarde été"));
    QCOMPARE(open.box("txt_date")->text(), QStringLiteral("01.03.2027"));
    QCOMPARE(open.box("txt_time")->text(), QStringLiteral("07:05"));
    QVERIFY(open.tick("chk_daily")->isChecked());
    QVERIFY(open.tick("chk_enabled")->isChecked());

    // "Quotidien" disables the date box, which keeps its text; a double click then does nothing.
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
        Schedule schedule;
        schedule.SchTemplate = QString::fromUtf8(stored);
        OpenDialog other(dir, schedule);
        QVERIFY(other.filled());
        QCOMPARE(other.project()->currentText(), QString::fromUtf8(shown));
        QVERIFY(other.box("txt_date")->isEnabled());
        QVERIFY(!other.tick("chk_enabled")->isChecked());
    }
}

void FrmSchedulerTest::leavingABoxReadsItAndChecksOnlyTheLength()
{
    TempDir dir;
    OpenDialog open(dir, Schedule());
    QVERIFY(open.filled());
    QVERIFY(QTest::qWaitForWindowActive(&open.dialog));
    QLineEdit *date = open.box("txt_date");
    QLineEdit *time = open.box("txt_time");

    // Each entry is typed into its box, then the focus moves to the other box.
    // The reading itself is the core's: here one readable text, one kept by the length test and
    // one refused, for each box.
    const struct {
        QLineEdit *box;
        const char *typed;
        const char *kept;
        const char *message; // empty: no message
    } cases[] = {
        {date, "7/3/27", "07.03.2027", ""},
        {date, "29.02.2027", "29.02.2027", ""}, // ten characters: kept, though no date
        {date, "demain", "demain", "Erreur|Format de date incorrect!"},
        {time, "7h05", "07:05", ""},
        {time, "25:99", "25:99", ""}, // five characters: kept, though no time
        {time, "7:5", "7:5", "Erreur|Format d'heure incorrect!"},
    };
    for (const auto &entry : cases) {
        QLineEdit *other = entry.box == date ? time : date;
        other->clear();
        entry.box->setFocus(Qt::TabFocusReason);
        entry.box->setText(QString::fromUtf8(entry.typed));
        open.prompter.shown.clear();
        other->setFocus(Qt::TabFocusReason);
        // The box is checked once the focus has moved.
        QCoreApplication::processEvents();
        QCOMPARE(entry.box->text(), QString::fromUtf8(entry.kept));
        QCOMPARE(open.prompter.said(),
            *entry.message ? QStringList {QString::fromUtf8(entry.message)} : QStringList {});
        // After a message the focus goes back to the box.
        QCOMPARE(QApplication::focusWidget(), *entry.message ? entry.box : other);
    }

    // Leaving an empty box says nothing.
    date->clear();
    time->clear();
    open.prompter.shown.clear();
    date->setFocus(Qt::TabFocusReason);
    time->setFocus(Qt::TabFocusReason);
    date->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    QVERIFY(open.prompter.said().isEmpty());
}

void FrmSchedulerTest::okValidatesInOrderThenWritesTheFile()
{
    TempDir dir;
    const QString file = dir("TDRL-timer.tmr");
    OpenDialog open(dir, Schedule());
    QVERIFY(open.filled());
    QVERIFY(QTest::qWaitForWindowActive(&open.dialog));

    // No project, no time, then no date: each refused in turn, the dialog stays open.
    open.press("cmd_ok");
    open.project()->setCurrentIndex(2);
    open.box("txt_time")->setText(QStringLiteral("   "));
    open.press("cmd_ok");
    QCOMPARE(QApplication::focusWidget(), open.box("txt_time"));
    QVERIFY(open.box("txt_time")->text().isEmpty());
    open.box("txt_time")->setText(QStringLiteral(" 7:05 "));
    open.press("cmd_ok");
    QCOMPARE(QApplication::focusWidget(), open.box("txt_date"));
    // Enter in a box saves without leaving it: the box is still read and checked.
    open.box("txt_date")->setText(QStringLiteral("1.3.2027x"));
    open.press("cmd_ok");
    QCOMPARE(open.prompter.said(),
        QStringList({"Erreur|Sélectionnez un projet SVP!",
            "Erreur|Entrez une heure pour le programmateur SVP!",
            "Erreur|Entrer une date pour le programmateur SVP!",
            "Erreur|Format de date incorrect!"}));
    QVERIFY(open.dialog.isVisible());
    QVERIFY(!QFile::exists(file));

    open.box("txt_date")->setText(QStringLiteral("1.3.2027"));
    open.press("cmd_ok");
    QCOMPARE(open.dialog.result(), int(QDialog::Accepted));
    QVERIFY(!open.dialog.isVisible());
    QCOMPARE(QString::fromUtf8(readFile(file)),
        QStringLiteral("[Timer]\r\nTemplate=Sauvegarde été\r\nDate=01.03.2027\r\nTime=07:05\r\n"
                       "Daily=NON\r\nEnabled=NON\r\n"));

    // A daily schedule may have no date; "Activé" ticked writes "OUI".
    OpenDialog daily(dir, LoadSchedule(dir.path()));
    QVERIFY(daily.filled());
    daily.box("txt_date")->clear();
    daily.tick("chk_daily")->click();
    daily.tick("chk_enabled")->click();
    daily.press("cmd_ok");
    QVERIFY(daily.prompter.said().isEmpty());
    const Schedule saved = LoadSchedule(dir.path());
    QCOMPARE(saved.SchTemplate, QStringLiteral("Sauvegarde été"));
    QVERIFY(saved.SchDate.isEmpty());
    QVERIFY(saved.SchDaily && saved.SchEnabled);

    // "Annuler" writes nothing, and does not check the box being left.
    const QByteArray before = readFile(file);
    OpenDialog cancelled(dir, sample());
    QVERIFY(cancelled.filled());
    cancelled.box("txt_time")->setText(QStringLiteral("7:5"));
    cancelled.box("txt_time")->setFocus();
    cancelled.press("cmd_cancel");
    QCOMPARE(cancelled.dialog.result(), int(QDialog::Rejected));
    QCoreApplication::processEvents();
    QVERIFY(cancelled.prompter.said().isEmpty());
    QCOMPARE(readFile(file), before);
}

QTEST_MAIN(FrmSchedulerTest)
#include "frm_scheduler_test.moc"
