#include "frm_scheduler.h"

#include "date_time_text.h"
#include "prompter.h"
#include "trim_spaces.h"
#include "window_helpers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>

namespace {

const QString noProject = QStringLiteral("- Aucun -");
const QString dateMessage = QStringLiteral("Format de date incorrect!");
const QString timeMessage = QStringLiteral("Format d'heure incorrect!");

// Leaving a box checks it, but not when the whole window loses the focus (another window, a
// message box, a menu).
bool leftByUser(const QEvent *event)
{
    const Qt::FocusReason reason = static_cast<const QFocusEvent *>(event)->reason();
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

} // namespace

frm_scheduler::frm_scheduler(const QStringList &projects, const Schedule &schedule,
    const QString &appDir, Prompter &prompter, Clock clock, QWidget *parent)
    : QDialog(parent)
    , projects_(projects)
    , schedule_(schedule)
    , appDir_(appDir)
    , prompter_(prompter)
    , clock_(std::move(clock))
{
    setObjectName(QStringLiteral("frm_scheduler"));
    setWindowTitle(QStringLiteral("Programmateur"));
    setModal(true);
    buildWindow();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    Timer1->setInterval(300);
    connect(Timer1, &QTimer::timeout, this, &frm_scheduler::Timer1_Timer);
}

void frm_scheduler::buildWindow()
{
    cmb_template = new QComboBox(this);
    cmb_template->setObjectName(QStringLiteral("cmb_template"));
    txt_date = new QLineEdit(this);
    txt_date->setObjectName(QStringLiteral("txt_date"));
    txt_date->setPlaceholderText(QStringLiteral("jj.mm.aaaa"));
    txt_time = new QLineEdit(this);
    txt_time->setObjectName(QStringLiteral("txt_time"));
    txt_time->setPlaceholderText(QStringLiteral("hh:mm"));
    for (QLineEdit *box : {txt_date, txt_time}) {
        box->installEventFilter(this);
        box->setMaximumWidth(120);
    }
    chk_daily = new QCheckBox(QStringLiteral("Quotidien"), this);
    chk_daily->setObjectName(QStringLiteral("chk_daily"));
    chk_enabled = new QCheckBox(QStringLiteral("Activé"), this);
    chk_enabled->setObjectName(QStringLiteral("chk_enabled"));
    connect(chk_daily, &QCheckBox::toggled, this, &frm_scheduler::chk_daily_Click);

    cmd_ok = new QPushButton(QStringLiteral("OK"), this);
    cmd_ok->setObjectName(QStringLiteral("cmd_ok"));
    cmd_ok->setDefault(true);
    cmd_cancel = new QPushButton(QStringLiteral("Annuler"), this);
    cmd_cancel->setObjectName(QStringLiteral("cmd_cancel"));
    // Cancelling never checks the box being left.
    cmd_cancel->setFocusPolicy(Qt::NoFocus);
    connect(cmd_ok, &QPushButton::clicked, this, &frm_scheduler::cmd_ok_Click);
    connect(cmd_cancel, &QPushButton::clicked, this, &frm_scheduler::cmd_cancel_Click);

    auto *fields = new QFormLayout;
    fields->addRow(QStringLiteral("Projet :"), cmb_template);
    fields->addRow(QStringLiteral("Date :"), txt_date);
    fields->addRow(QStringLiteral("Heure :"), txt_time);
    fields->addRow(QString(), chk_daily);
    fields->addRow(QString(), chk_enabled);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addSpacing(8);
    layout->addLayout(ButtonRow(cmd_ok, cmd_cancel));
    setMinimumWidth(360);
}

void frm_scheduler::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous() && !loaded_) {
        loaded_ = true;
        Form_Load();
    }
}

void frm_scheduler::Form_Load()
{
    CenterForm(this);
    cmb_template->clear();
    cmb_template->addItems(projects_);
    Timer1->start();
}

void frm_scheduler::Timer1_Timer()
{
    Timer1->stop();
    // A project renamed or deleted since the schedule was saved shows as "- Aucun -".
    const int found = schedule_.SchTemplate == noProject
        ? -1
        : cmb_template->findText(schedule_.SchTemplate, Qt::MatchFixedString);
    cmb_template->setCurrentIndex(found >= 0 ? found : cmb_template->findText(noProject));
    txt_date->setText(schedule_.SchDate);
    txt_time->setText(schedule_.SchTime);
    chk_daily->setChecked(schedule_.SchDaily);
    chk_daily_Click(schedule_.SchDaily);
    chk_enabled->setChecked(schedule_.SchEnabled);
}

void frm_scheduler::chk_daily_Click(bool checked)
{
    txt_date->setEnabled(!checked);
}

QString frm_scheduler::check(QLineEdit *box, Reader read, const QString &message, bool *ok)
{
    bool fine = true;
    const QString result = read(box->text(), &fine);
    if (!fine) {
        checking_ = true;
        prompter_.critical(this, QStringLiteral("Erreur"), message);
        checking_ = false;
        box->setFocus();
    }
    if (ok)
        *ok = fine;
    return result;
}

QString frm_scheduler::CheckDate(QLineEdit *box)
{
    return check(box, &CheckDateText, dateMessage, nullptr);
}

QString frm_scheduler::CheckTime(QLineEdit *box)
{
    return check(box, &CheckTimeText, timeMessage, nullptr);
}

void frm_scheduler::txt_date_LostFocus()
{
    if (!txt_date->text().isEmpty())
        txt_date->setText(CheckDate(txt_date));
}

void frm_scheduler::txt_time_LostFocus()
{
    if (!txt_time->text().isEmpty())
        txt_time->setText(CheckTime(txt_time));
}

void frm_scheduler::txt_date_DblClick()
{
    if (txt_date->isEnabled())
        txt_date->setText(clock_().date().toString(QStringLiteral("dd.MM.yyyy")));
}

bool frm_scheduler::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonDblClick && watched == txt_date) {
        txt_date_DblClick();
        return true;
    }
    if (event->type() == QEvent::FocusOut && leftByUser(event) && !checking_) {
        // Checked once the focus has moved, so that the message box does not open in the
        // middle of the change of focus.
        const bool date = watched == txt_date;
        QTimer::singleShot(0, this, [this, date] {
            if (closing_ || checking_)
                return;
            if (date)
                txt_date_LostFocus();
            else
                txt_time_LostFocus();
        });
    }
    return QDialog::eventFilter(watched, event);
}

void frm_scheduler::cmd_ok_Click()
{
    if (cmb_template->currentText() == noProject) {
        prompter_.critical(
            this, QStringLiteral("Erreur"), QStringLiteral("Sélectionnez un projet SVP!"));
        return;
    }
    txt_date->setText(TrimSpaces(txt_date->text()));
    txt_time->setText(TrimSpaces(txt_time->text()));
    if (RefuseEmpty(prompter_, this, txt_time,
            QStringLiteral("Entrez une heure pour le programmateur SVP!")))
        return;
    if (!chk_daily->isChecked()
        && RefuseEmpty(prompter_, this, txt_date,
            QStringLiteral("Entrer une date pour le programmateur SVP!")))
        return;
    // Enter saves without leaving the box: the boxes are read here as on leaving them, so that
    // "7:05" is saved as "07:05", which the clock can match.
    bool ok = true;
    txt_time->setText(check(txt_time, &CheckTimeText, timeMessage, &ok));
    if (ok && !chk_daily->isChecked())
        txt_date->setText(check(txt_date, &CheckDateText, dateMessage, &ok));
    if (!ok)
        return;

    Schedule edited;
    edited.SchTemplate = cmb_template->currentText();
    edited.SchDate = txt_date->text();
    edited.SchTime = txt_time->text();
    edited.SchDaily = chk_daily->isChecked();
    edited.SchEnabled = chk_enabled->isChecked();
    // As every write of the schedule file, a failure is not reported.
    SaveSchedule(appDir_, edited);
    accept();
}

void frm_scheduler::cmd_cancel_Click()
{
    reject();
}

void frm_scheduler::done(int result)
{
    closing_ = true;
    QDialog::done(result);
}
