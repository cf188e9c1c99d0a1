#pragma once

#include "run_request.h"

#include <QDBusConnection>
#include <QHash>
#include <QObject>

#include <functional>

class QWidget;

// Tells the desktop how a run that nobody watched has ended: a notification through the
// desktop's notification service (org.freedesktop.Notifications), whose click opens the run's
// report; where no service answers, the tray icon's message. Never waits for the service.
class RunNotifier : public QObject {
    Q_OBJECT

public:
    // Shows the message some other way when the service is missing or silent.
    using Fallback = std::function<void(const QString &title, const QString &text, bool critical)>;
    // Opens the report file of a project in an application folder.
    using ReportOpener = std::function<void(const QString &appDir, const QString &project)>;

    RunNotifier(
        QDBusConnection bus, Fallback fallback, ReportOpener openReport, QObject *parent = nullptr);

    // Nobody watched a run that the scheduler started, nor one whose main window was hidden in
    // the tray or minimised.
    static bool Unwatched(RunMode mode, const QWidget &mainWindow);
    // The notification's body: the project, how the run ended, the files and bytes copied.
    static QString Body(const RunRequest &request, const RunOutcome &outcome);

    // Sends the notification of a run that has ended and returns at once.
    void notify(const RunRequest &request, const RunOutcome &outcome);

private slots:
    void actionInvoked(uint id, const QString &action);
    void notificationClosed(uint id, uint reason);

private:
    struct Report {
        QString appDir;
        QString project;
    };

    QDBusConnection bus_;
    Fallback fallback_;
    ReportOpener openReport_;
    // The notifications shown, by the service's id, with the report each one opens.
    QHash<uint, Report> shown_;
};
