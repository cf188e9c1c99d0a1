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
    // database is refused and left untouched; one made before actions kept versions is upgraded
    // when it can be written.
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
    // Throws ProjectGone when another program has deleted the project meanwhile.
    void updateProject(qint64 templateNo, const QString &name, const QString &description);
    // Deletes the project and all its actions in one transaction.
    void deleteProject(qint64 templateNo);
    // Stores a new project with its actions, then deletes the projects it replaces with their
    // actions, all in one transaction (all or nothing); returns the new project's key.
    qint64 addProjectWithActions(const QString &name, const QString &description,
        const std::vector<Action> &actions, const std::vector<qint64> &replaced = {});

    // A project's actions in the order they were added.
    std::vector<Action> actionsOf(qint64 templateNo) const;
    // All actions of all projects, by filter.
    std::vector<Action> allActionsByFilter() const;
    // The action writes check, inside their transaction, that the action's project still
    // exists (another program may have deleted or replaced it) and throw ProjectGone if not.
    // Stores a new action for action.templateNo and returns its row key.
    qint64 addAction(const Action &action);
    // Rewrites the row action.actionNo of project action.templateNo; its project never changes.
    void updateAction(const Action &action);
    void deleteAction(const Action &action);

private:
    class Statement;
    Statement prepare(const char *sql) const;
    void exec(const char *sql);
    // Runs write between BEGIN IMMEDIATE and COMMIT; rolls back and rethrows when it throws.
    template <typename Write> auto inTransaction(Write write);
    void requireProject(qint64 templateNo) const;
    qint64 insertAction(const Action &action);
    void removeProject(qint64 templateNo);
    [[noreturn]] void fail(int code) const;
    void createSchema();
    void checkSchema() const;
    bool hasColumn(const char *table, const char *column) const;
    void upgrade();
    QByteArray actionColumns() const;
    std::vector<Action> readActions(Statement &statement) const;

    QString path_;
    sqlite3 *db_ = nullptr;
    bool keepVersionsColumn_ = true; // false: an old database that could not be upgraded
};
