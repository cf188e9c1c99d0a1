#pragma once

#include "records.h"

#include <QString>

#include <optional>
#include <vector>

struct sqlite3;

// The project database (file Tandrel.mdb): projects in table Templates, their actions in
// table Actions. Every query binds its values. Failures throw DbError.
class ProjectDb {
public:
    // Opens the file; a missing file is created with the schema. A file that is not a Tandrel
    // database is refused and left untouched.
    explicit ProjectDb(const QString &path);
    ~ProjectDb();
    ProjectDb(const ProjectDb &) = delete;
    ProjectDb &operator=(const ProjectDb &) = delete;

    // The full path that was opened.
    QString name() const { return path_; }

    std::vector<Project> projectsByName() const;
    // The projects of exactly that name, in key order.
    std::vector<Project> projectsNamed(const QString &name) const;
    std::optional<Project> project(qint64 templateNo) const;
    qint64 addProject(const QString &name, const QString &description);
    void updateProject(qint64 templateNo, const QString &name, const QString &description);
    // Deletes the project and all its actions in one transaction.
    void deleteProject(qint64 templateNo);
    // Stores a new project with its actions in one transaction (all or nothing); returns its key.
    qint64 addProjectWithActions(
        const QString &name, const QString &description, const std::vector<Action> &actions);

    // A project's actions in the order they were added.
    std::vector<Action> actionsOf(qint64 templateNo) const;
    // All actions of all projects, by filter.
    std::vector<Action> allActionsByFilter() const;
    // Stores a new action for action.templateNo and returns its row key.
    qint64 addAction(const Action &action);
    // Rewrites the row action.actionNo; its project is never changed.
    void updateAction(const Action &action);
    void deleteAction(qint64 actionNo);

private:
    class Statement;
    Statement prepare(const char *sql) const;
    void exec(const char *sql);
    [[noreturn]] void fail(int code) const;
    void createSchema();
    void checkSchema() const;
    std::vector<Action> readActions(Statement &statement) const;

    QString path_;
    sqlite3 *db_ = nullptr;
};
