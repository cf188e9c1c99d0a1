#include "frm_sync.h"

#include "comic_font.h"
#include "prompter.h"
#include "window_helpers.h"

#include <QAbstractListModel>
#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <limits>

#include <sys/resource.h>
#include <unistd.h>

// The on-screen report: one line per row. Lines arrive in batches, so one insertion per batch.
class ReportListModel final : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : int(lines_.size());
    }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || index.row() >= int(lines_.size()) || role != Qt::DisplayRole)
            return {};
        return lines_[std::size_t(index.row())];
    }

    void append(const QStringList &lines)
    {
        const int first = int(lines_.size());
        beginInsertRows({}, first, first + int(lines.size()) - 1);
        lines_.insert(lines_.end(), lines.begin(), lines.end());
        endInsertRows();
    }

    void clear()
    {
        beginResetModel();
        lines_.clear();
        endResetModel();
    }

private:
    std::vector<QString> lines_;
};

namespace {

// How often the window takes in what the run has reported: often enough to look live, seldom
// enough that a fast run costs the window little.
constexpr int drainInterval = 40;

// How much the run's threads step back for the window's thread. On a busy machine the run's
// threads would otherwise keep the window waiting for a processor for tens of milliseconds;
// a copy mostly waits for the disks and hardly slows down. Threads that the run starts inherit
// this, and the console runner is not concerned.
constexpr int runNiceness = 10;

void stepBackForTheWindow()
{
    const pid_t self = gettid();
    errno = 0;
    const int current = getpriority(PRIO_PROCESS, id_t(self));
    if (errno == 0)
        setpriority(PRIO_PROCESS, id_t(self), std::min(current + runNiceness, 19));
}

const QString titleAtStart = QStringLiteral("Synchronisation en cours... Patientez");
const QString titleFinished = QStringLiteral("Terminé!");
const QString titleCancelled = QStringLiteral("User canceled!");

} // namespace

frm_sync::frm_sync(RunRequest request, Prompter &prompter, RunFunction run, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , request_(std::move(request))
    , prompter_(prompter)
    , run_(std::move(run))
{
    setObjectName(QStringLiteral("frm_sync"));
    buildWindow();
    CenterForm(this);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    Timer1->setInterval(200);
    connect(Timer1, &QTimer::timeout, this, &frm_sync::Timer1_Timer);
    Timer1->start();

    drainTimer_ = new QTimer(this);
    drainTimer_->setInterval(drainInterval);
    connect(drainTimer_, &QTimer::timeout, this, &frm_sync::drainRun);
}

frm_sync::~frm_sync()
{
    cancel_.store(true);
    if (worker_.joinable())
        worker_.join();
}

void frm_sync::buildWindow()
{
    setWindowTitle(titleAtStart);

    model_ = new ReportListModel(this);
    List1 = new QListView(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setModel(model_);
    List1->setFont(ComicFont());
    List1->setUniformItemSizes(true);
    List1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    List1->setSelectionMode(QAbstractItemView::SingleSelection);

    Pb1 = new QProgressBar(this);
    Pb1->setObjectName(QStringLiteral("Pb1"));
    Pb1->setRange(0, 100);
    Pb1->setValue(0);
    Pb1->setTextVisible(false);

    auto *Line1 = new QFrame(this);
    Line1->setObjectName(QStringLiteral("Line1"));
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Sunken);

    Label1 = new QLabel(QStringLiteral("Appuyer sur ESC pour annuler !"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->hide();

    cmd_stop = new QPushButton(QStringLiteral("Arrêter"), this);
    cmd_stop->setObjectName(QStringLiteral("cmd_stop"));
    cmd_stop->hide();
    connect(cmd_stop, &QPushButton::clicked, this, &frm_sync::stopRun);

    cmd_close = new QPushButton(QStringLiteral("Fermer"), this);
    cmd_close->setObjectName(QStringLiteral("cmd_close"));
    cmd_close->setEnabled(false);
    connect(cmd_close, &QPushButton::clicked, this, &frm_sync::cmd_close_Click);

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(Label1);
    bottom->addStretch(1);
    bottom->addWidget(cmd_stop);
    bottom->addWidget(cmd_close);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(List1, 1);
    layout->addWidget(Pb1);
    layout->addWidget(Line1);
    layout->addLayout(bottom);
    resize(680, 440);
}

void frm_sync::Timer1_Timer()
{
    Timer1->stop();
    if (running_ || finished_)
        return; // one run per window
    running_ = true;
    setCursor(Qt::WaitCursor);
    emit runStarted();
    Label1->show();
    cmd_stop->show();
    drainTimer_->start();
    worker_ = std::thread([this] {
        stepBackForTheWindow();
        RunOutcome outcome;
        try {
            outcome = run_(request_, observer_, cancel_);
        } catch (const std::exception &error) {
            outcome.status = RunOutcome::Status::Failed;
            outcome.errorText = QString::fromLocal8Bit(error.what());
        } catch (...) {
            outcome.status = RunOutcome::Status::Failed;
        }
        observer_.finished(outcome);
    });
}

void frm_sync::drainRun()
{
    if (draining_)
        return; // a notice box is open: the rest of the batch waits for it
    draining_ = true;
    if (const auto progress = observer_.takeProgress())
        setProgress(progress->value, progress->maximum);

    QStringList lines;
    for (WindowRunObserver::Event &event : observer_.takeEvents()) {
        switch (event.kind) {
        case WindowRunObserver::Event::Kind::Line:
            lines.append(std::move(event.text));
            break;
        case WindowRunObserver::Event::Kind::Flushed:
            // The lines not yet shown went to the report file with the others.
            lines.clear();
            model_->clear();
            break;
        case WindowRunObserver::Event::Kind::Title:
            setWindowTitle(event.text);
            break;
        case WindowRunObserver::Event::Kind::Finished:
            appendLines(lines);
            draining_ = false;
            finishRun(observer_.outcome());
            return;
        }
    }
    appendLines(lines);
    draining_ = false;
}

void frm_sync::appendLines(QStringList &lines)
{
    if (lines.isEmpty())
        return;
    model_->append(lines);
    lines.clear();
    // The last line is selected so that the list follows the report.
    const QModelIndex last = model_->index(model_->rowCount() - 1);
    List1->setCurrentIndex(last);
    List1->scrollTo(last);
}

void frm_sync::setProgress(qint64 value, qint64 maximum)
{
    if (maximum <= 0) {
        Pb1->setRange(0, 1);
        Pb1->setValue(0);
        return;
    }
    // The bar counts in int: larger counts are scaled down together.
    int shift = 0;
    while ((maximum >> shift) > std::numeric_limits<int>::max())
        ++shift;
    Pb1->setRange(0, int(maximum >> shift));
    Pb1->setValue(int(std::clamp<qint64>(value, 0, maximum) >> shift));
}

void frm_sync::finishRun(const RunOutcome &outcome)
{
    drainTimer_->stop();
    if (worker_.joinable())
        worker_.join(); // it has just handed over its outcome
    running_ = false;
    finished_ = true;
    Label1->hide();
    cmd_stop->hide();
    emit runFinished(outcome);
    setWindowTitle(
        outcome.status == RunOutcome::Status::Cancelled ? titleCancelled : titleFinished);
    unsetCursor();
    cmd_close->setEnabled(true);
    cmd_close->setFocus();
    if (request_.mode == RunMode::Scheduler)
        close();
    if (outcome.status == RunOutcome::Status::Failed)
        prompter_.critical(isVisible() ? this : nullptr, QStringLiteral("Erreur"),
            QStringLiteral(
                "Erreur fatale rencontrée! Repporter vous au rapport ou au fichier .LOG file"));
}

void frm_sync::cmd_close_Click()
{
    close();
}

void frm_sync::Form_KeyDown(int key)
{
    if (key == Qt::Key_Escape)
        stopRun();
}

void frm_sync::stopRun()
{
    if (!running_)
        return;
    Label1->hide();
    cmd_stop->setEnabled(false);
    cancel_.store(true);
}

// Neither the list nor the buttons take ESC or Enter, so they reach the window whichever has the
// focus.
void frm_sync::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    if (finished_ && (key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter)) {
        close();
        return;
    }
    if (key == Qt::Key_Escape) {
        Form_KeyDown(key);
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void frm_sync::closeEvent(QCloseEvent *event)
{
    // During a run, closing stops the run and the window stays to show how it ended.
    if (!cmd_close->isEnabled()) {
        stopRun();
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}
