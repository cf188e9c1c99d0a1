#pragma once

#include "schedule_file.h"

#include <QDateTime>
#include <QDialog>
#include <QStringList>

#include <functional>

class Prompter;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTimer;

// The time of day as the program sees it; tests pass their own.
using Clock = std::function<QDateTime()>;

// The scheduler dialog "Programmateur": edits the one schedule and, on OK, writes it to the
// schedule file. The caller reloads the schedule when the dialog was accepted.
class frm_scheduler : public QDialog {
    Q_OBJECT

public:
    // projects: the entries of the main window's project list, "- Aucun -" first; schedule:
    // the schedule in memory; appDir: where the schedule file lives.
    frm_scheduler(const QStringList &projects, const Schedule &schedule, const QString &appDir,
        Prompter &prompter, Clock clock = &QDateTime::currentDateTime, QWidget *parent = nullptr);

    // Centres the window and starts Timer1; runs when the window is first shown.
    void Form_Load();
    // Fills the controls once, after loading.
    void Timer1_Timer();
    // A daily schedule needs no date: the date box is disabled but keeps its text.
    void chk_daily_Click(bool checked);
    void txt_date_LostFocus();
    void txt_time_LostFocus();
    // Puts today's date into the date box.
    void txt_date_DblClick();
    void cmd_ok_Click();
    void cmd_cancel_Click();

    // The box's text read as a date "dd.mm.yyyy" (or a time "hh:mm"); when the result does not
    // have that length, says so and puts the focus back into the box. Returns the result.
    QString CheckDate(QLineEdit *box);
    QString CheckTime(QLineEdit *box);

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void done(int result) override;

private:
    void buildWindow();
    using Reader = QString (*)(const QString &, bool *);
    // Reads the box; on a text of the wrong length shows message and puts the focus back.
    QString check(QLineEdit *box, Reader read, const QString &message, bool *ok);

    const QStringList projects_;
    const Schedule schedule_;
    const QString appDir_;
    Prompter &prompter_;
    Clock clock_;
    bool loaded_ = false;
    bool closing_ = false;
    bool checking_ = false;

    QComboBox *cmb_template = nullptr;
    QLineEdit *txt_date = nullptr;
    QLineEdit *txt_time = nullptr;
    QCheckBox *chk_daily = nullptr;
    QCheckBox *chk_enabled = nullptr;
    QPushButton *cmd_ok = nullptr;
    QPushButton *cmd_cancel = nullptr;
    QTimer *Timer1 = nullptr;
};
