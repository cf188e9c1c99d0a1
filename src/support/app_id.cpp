#include "app_id.h"

QString AppId()
{
    // Set by the build, which names the installed files after it.
    return QStringLiteral(TANDREL_APP_ID);
}
