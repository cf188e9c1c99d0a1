#include "run_context.h"

#include "run_errors.h"
#include "run_observer.h"

RunContext::RunContext(const RunRequest &request_, RunObserver &observer_,
    const std::atomic<bool> &cancel_, const QString &reportFile)
    : request(request_)
    , observer(observer_)
    , cancel(cancel_)
    , report(observer_, reportFile, request_.saveReport)
    , started(request_.now())
{
}

void RunContext::setTitle(const QString &title)
{
    observer.titleChanged(title);
}

void RunContext::stopIfCancelled() const
{
    if (cancel.load(std::memory_order_relaxed))
        throw RunCancelled {};
}

QString RunContext::formatBytes(qint64 bytes) const
{
    QLocale locale = request.locale;
    locale.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
    return locale.toString(bytes);
}
