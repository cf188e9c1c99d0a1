#pragma once

#include "action_browser.h"
#include "project_db.h"
#include "records.h"
#include "temp_dir.h"

#include <QStringList>

#include <vector>

// An action with the texts the editors store, in project templateNo.
inline Action SampleAction(qint64 templateNo, const QString &filter,
    const QString &from = QStringLiteral("/données/origine/"),
    const QString &to = QStringLiteral("/media/clé/"), bool inclSub = true)
{
    return {0, templateNo, QStringLiteral("copie de ") + filter, QStringLiteral("OUI"), filter,
        from, to, inclSub ? QStringLiteral("OUI") : QStringLiteral("NON"), QStringLiteral(">"),
        QStringLiteral("<>"), QStringLiteral("OR")};
}

// Stores a project of these actions in appDir's database; returns its key.
inline qint64 StoreProject(const QString &appDir, const QString &name,
    std::vector<Action> actions = {}, const QString &description = {})
{
    ProjectDb db(appDir + QStringLiteral("Tandrel.mdb"));
    const qint64 key = db.addProject(name, description);
    for (Action &action : actions) {
        action.templateNo = key;
        db.addAction(action);
    }
    return key;
}

// Stores a project with one sample action per filter, in that order.
inline qint64 addProject(const TempDir &dir, const QString &name, const QStringList &filters = {},
    const QString &description = {})
{
    std::vector<Action> actions;
    for (const QString &filter : filters)
        actions.push_back(SampleAction(0, filter));
    return StoreProject(dir.path(), name, actions, description);
}

// A window's action browser (Data1).
template <typename Window> ActionBrowser &browserOf(const Window &window)
{
    return *window.template findChild<ActionBrowser *>(QStringLiteral("Data1"));
}
