#include "run_request.h"

QString RunModeText(RunMode mode)
{
    switch (mode) {
    case RunMode::Simulate:
        return QStringLiteral("Simulate");
    case RunMode::Scheduler:
        return QStringLiteral("Scheduler");
    case RunMode::Synchronize:
        break;
    }
    return QStringLiteral("Synchronize");
}
