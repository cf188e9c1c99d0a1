#pragma once

#include "action_browser.h"
#include "project_db.h"
#include "records.h"
#include "temp_dir.h"

#include <QStringList>

// Sample projects for the window tests, stored in the folder's Tandrel.mdb.

inline Action makeAction(qint64 project, const QString &filter, const QString &inclSub = "oui")
{
    Action a;
    a.templateNo = project;
    a.description = QStringLiteral("copie de ") + filter;
    a.enabled = QStringLiteral("OUI");
    a.fileFilter = filter;
    a.fromFolder = QStringLiteral("/données/origine/");
    a.toFolder = QStringLiteral("/media/clé/");
    a.inclSub = inclSub;
    a.fileDate = QStringLiteral(">");
    a.fileSize = QStringLiteral("<>");
    a.op = QStringLiteral("OR");
    return a;
}

// Adds a project with one action per filter, in that order.
inline qint64 addProject(const TempDir &dir, const QString &name, const QStringList &filters = {},
    const QString &description = {})
{
    ProjectDb db(dir("Tandrel.mdb"));
    const qint64 key = db.addProject(name, description);
    for (const QString &filter : filters)
        db.addAction(makeAction(key, filter));
    return key;
}

// The main window's action browser.
template <typename Window> ActionBrowser &browserOf(const Window &window)
{
    return *window.template findChild<ActionBrowser *>(QStringLiteral("Data1"));
}
