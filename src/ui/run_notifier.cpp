#include "run_notifier.h"

#include "app_id.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QWidget>

namespace {

const QString service = QStringLiteral("org.freedesktop.Notifications");
const QString path = QStringLiteral("/org/freedesktop/Notifications");
const QString title = QStringLiteral("Tandrel");
// A service that does not answer within this time is taken as missing.
constexpr int answerTimeoutMs = 1000;
// Urgency levels of freedesktop.org desktop notifications.
constexpr uchar normalUrgency = 1;
constexpr uchar criticalUrgency = 2;

bool isCritical(const RunOutcome &outcome)
{
    return outcome.status == RunOutcome::Status::Failed || outcome.copyErrors;
}

QString outcomeText(const RunOutcome &outcome)
{
    switch (outcome.status) {
    case RunOutcome::Status::Cancelled:
        return QStringLiteral("annulé");
    case RunOutcome::Status::Failed:
        return outcome.errorText.isEmpty()
            ? QStringLiteral("erreur fatale")
            : QStringLiteral("erreur fatale (%1)").arg(outcome.errorText);
    case RunOutcome::Status::Finished:
        break;
    }
    return outcome.copyErrors ? QStringLiteral("terminé avec des erreurs de copie")
                              : QStringLiteral("terminé");
}

} // namespace

RunNotifier::RunNotifier(
    QDBusConnection bus, Fallback fallback, ReportOpener openReport, QObject *parent)
    : QObject(parent)
    , bus_(std::move(bus))
    , fallback_(std::move(fallback))
    , openReport_(std::move(openReport))
{
    // Any sender: the service's unique name may change when it is restarted.
    bus_.connect(QString(), path, service, QStringLiteral("ActionInvoked"), this,
        SLOT(actionInvoked(uint, QString)));
    bus_.connect(QString(), path, service, QStringLiteral("NotificationClosed"), this,
        SLOT(notificationClosed(uint, uint)));
}

bool RunNotifier::Unwatched(RunMode mode, const QWidget &mainWindow)
{
    return mode == RunMode::Scheduler || !mainWindow.isVisible() || mainWindow.isMinimized();
}

QString RunNotifier::Body(const RunRequest &request, const RunOutcome &outcome)
{
    QLocale locale = request.locale;
    locale.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
    return QStringLiteral("%1 : %2\n%3 fichier(s) copié(s), %4 octets")
        .arg(request.projectName, outcomeText(outcome), locale.toString(outcome.totalFiles),
            locale.toString(outcome.totalBytes));
}

void RunNotifier::notify(const RunRequest &request, const RunOutcome &outcome)
{
    const QString body = Body(request, outcome);
    const bool critical = isCritical(outcome);
    if (!bus_.isConnected()) {
        fallback_(title, body, critical);
        return;
    }
    QDBusMessage call
        = QDBusMessage::createMethodCall(service, path, service, QStringLiteral("Notify"));
    const QVariantMap hints {{QStringLiteral("desktop-entry"), AppId()},
        {QStringLiteral("urgency"),
            QVariant::fromValue(critical ? criticalUrgency : normalUrgency)}};
    // The body may be read as markup.
    call << title << uint(0) << AppId() << title << body.toHtmlEscaped()
         << QStringList {QStringLiteral("default"), QStringLiteral("Voir le rapport")} << hints
         << int(-1);
    auto *watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call, answerTimeoutMs), this);
    const Report report {request.appDir, request.projectName};
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
        [this, report, body, critical](QDBusPendingCallWatcher *finished) {
            finished->deleteLater();
            const QDBusPendingReply<uint> reply = *finished;
            if (reply.isError())
                fallback_(title, body, critical);
            else
                shown_.insert(reply.value(), report);
        });
}

void RunNotifier::actionInvoked(uint id, const QString &action)
{
    const auto found = shown_.constFind(id);
    if (found != shown_.constEnd() && action == QLatin1String("default"))
        openReport_(found->appDir, found->project);
}

void RunNotifier::notificationClosed(uint id, uint /*reason*/)
{
    shown_.remove(id);
}
