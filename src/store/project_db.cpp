#include "project_db.h"

#include "db_error.h"

#include <QCollator>
#include <QFileInfo>
#include <QLocale>

#include <sqlite3.h>

#include <algorithm>
#include <type_traits>

namespace {

constexpr const char *schema = R"sql(
CREATE TABLE Templates (TemplateNo INTEGER PRIMARY KEY AUTOINCREMENT,
                        Name TEXT, Description TEXT);
CREATE TABLE Actions   (ActionNo INTEGER PRIMARY KEY AUTOINCREMENT,
                        TemplateNo INTEGER NOT NULL,
                        Description TEXT, Enabled TEXT, FileFilter TEXT,
                        FromFolder TEXT, ToFolder TEXT, InclSub TEXT,
                        FileDate TEXT, FileSize TEXT, Operator TEXT,
                        KeepVersions TEXT DEFAULT 'NON');
)sql";

// Older databases lack it: opening adds it, "NON" for every action already there.
constexpr const char *addKeepVersions
    = "ALTER TABLE Actions ADD COLUMN KeepVersions TEXT DEFAULT 'NON'";

} // namespace

// A prepared statement that binds texts and numbers and reads columns as texts.
class ProjectDb::Statement {
public:
    Statement(const ProjectDb &db, const char *sql)
        : db_(db)
    {
        const int rc = sqlite3_prepare_v2(db.db_, sql, -1, &stmt_, nullptr);
        if (rc != SQLITE_OK)
            db.fail(rc);
    }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    Statement &bind(int index, const QString &text)
    {
        const QByteArray utf8 = text.toUtf8();
        check(
            sqlite3_bind_text(stmt_, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT));
        return *this;
    }
    Statement &bind(int index, qint64 number)
    {
        check(sqlite3_bind_int64(stmt_, index, number));
        return *this;
    }
    // Steps once: true while a row is available.
    bool next()
    {
        const int rc = sqlite3_step(stmt_);
        if (rc == SQLITE_ROW)
            return true;
        if (rc != SQLITE_DONE)
            db_.fail(rc);
        return false;
    }
    void run()
    {
        while (next()) { }
    }
    QString text(int column) const
    {
        const auto *data = reinterpret_cast<const char *>(sqlite3_column_text(stmt_, column));
        return data ? QString::fromUtf8(data, sqlite3_column_bytes(stmt_, column)) : QString();
    }
    qint64 number(int column) const { return sqlite3_column_int64(stmt_, column); }

private:
    void check(int rc) const
    {
        if (rc != SQLITE_OK)
            db_.fail(rc);
    }
    const ProjectDb &db_;
    sqlite3_stmt *stmt_ = nullptr;
};

ProjectDb::ProjectDb(const QString &path)
    : path_(path)
{
    const bool existed = QFileInfo::exists(path);
    const int flags = SQLITE_OPEN_READWRITE | (existed ? 0 : SQLITE_OPEN_CREATE);
    const int rc = sqlite3_open_v2(
        QFileInfo(path).absoluteFilePath().toUtf8().constData(), &db_, flags, nullptr);
    try {
        if (rc != SQLITE_OK)
            fail(rc);
        sqlite3_extended_result_codes(db_, 1);
        sqlite3_busy_timeout(db_, 2000);
        if (existed) {
            checkSchema();
            upgrade();
        } else {
            createSchema();
        }
    } catch (...) {
        sqlite3_close(db_); // the handle exists even when opening failed
        db_ = nullptr;
        throw;
    }
}

ProjectDb::~ProjectDb()
{
    sqlite3_close(db_);
}

void ProjectDb::fail(int code) const
{
    QString description = DescribeSqliteError(code);
    description += QStringLiteral(" (%1)").arg(path_);
    throw DbError(code, description);
}

ProjectDb::Statement ProjectDb::prepare(const char *sql) const
{
    return Statement(*this, sql);
}

void ProjectDb::exec(const char *sql)
{
    const int rc = sqlite3_exec(db_, sql, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        fail(rc);
}

template <typename Write> auto ProjectDb::inTransaction(Write write)
{
    exec("BEGIN IMMEDIATE");
    try {
        if constexpr (std::is_void_v<decltype(write())>) {
            write();
            exec("COMMIT");
        } else {
            auto result = write();
            exec("COMMIT");
            return result;
        }
    } catch (...) {
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

void ProjectDb::createSchema()
{
    inTransaction([this] { exec(schema); });
}

// Reads only: a file that is not ours must stay byte-for-byte as it was.
void ProjectDb::checkSchema() const
{
    {
        Statement check = prepare("PRAGMA quick_check");
        if (!check.next() || check.text(0) != QStringLiteral("ok"))
            fail(SQLITE_CORRUPT);
    }
    static const char *required[][2] = {
        {"Templates", "TemplateNo"},
        {"Templates", "Name"},
        {"Templates", "Description"},
        {"Actions", "ActionNo"},
        {"Actions", "TemplateNo"},
        {"Actions", "Description"},
        {"Actions", "Enabled"},
        {"Actions", "FileFilter"},
        {"Actions", "FromFolder"},
        {"Actions", "ToFolder"},
        {"Actions", "InclSub"},
        {"Actions", "FileDate"},
        {"Actions", "FileSize"},
        {"Actions", "Operator"},
    };
    const auto refuse = [this] {
        throw DbError(SQLITE_NOTADB,
            QStringLiteral("le fichier n'est pas une base de données Tandrel (%1)").arg(path_));
    };
    for (const auto &[table, column] : required)
        if (!hasColumn(table, column))
            refuse();
    // Triggers and views would run code of their own inside our writes (a looping trigger
    // hangs every import): ours has none.
    if (prepare("SELECT 1 FROM sqlite_master WHERE type IN ('trigger', 'view')").next())
        refuse();
}

bool ProjectDb::hasColumn(const char *table, const char *column) const
{
    Statement probe = prepare("SELECT 1 FROM pragma_table_info(?1) WHERE name = ?2");
    probe.bind(1, QString::fromLatin1(table)).bind(2, QString::fromLatin1(column));
    return probe.next();
}

// Done in place, in one transaction, so that the window and tandrel-cli alike can open a
// database made before actions kept versions. One that cannot be written (read-only, or held by
// another program) is used as it is: every action reads "NON" until a later opening upgrades it.
void ProjectDb::upgrade()
{
    keepVersionsColumn_ = hasColumn("Actions", "KeepVersions");
    if (keepVersionsColumn_ || sqlite3_db_readonly(db_, "main") == 1)
        return;
    try {
        inTransaction([this] { exec(addKeepVersions); });
        keepVersionsColumn_ = true;
    } catch (const DbError &) {
    }
}

QByteArray ProjectDb::actionColumns() const
{
    return QByteArray("ActionNo, TemplateNo, Description, Enabled, FileFilter, FromFolder, "
                      "ToFolder, InclSub, FileDate, FileSize, Operator, ")
        + (keepVersionsColumn_ ? "KeepVersions" : "'NON'");
}

std::vector<Project> ProjectDb::projectsByName() const
{
    Statement query
        = prepare("SELECT TemplateNo, Name, Description FROM Templates ORDER BY TemplateNo");
    std::vector<Project> projects;
    while (query.next())
        projects.push_back({query.number(0), query.text(1), query.text(2)});
    // As a French reader sorts: "été" between "E" and "F", case ignored.
    QCollator collator {QLocale(QLocale::French, QLocale::France)};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(projects.begin(), projects.end(),
        [&](const Project &a, const Project &b) { return collator.compare(a.name, b.name) < 0; });
    return projects;
}

std::vector<Project> ProjectDb::projectsNamed(const QString &name) const
{
    Statement query = prepare(
        "SELECT TemplateNo, Name, Description FROM Templates WHERE Name = ?1 ORDER BY TemplateNo");
    query.bind(1, name);
    std::vector<Project> projects;
    while (query.next())
        projects.push_back({query.number(0), query.text(1), query.text(2)});
    return projects;
}

std::optional<Project> ProjectDb::project(qint64 templateNo) const
{
    Statement query
        = prepare("SELECT TemplateNo, Name, Description FROM Templates WHERE TemplateNo = ?1");
    query.bind(1, templateNo);
    if (!query.next())
        return std::nullopt;
    return Project {query.number(0), query.text(1), query.text(2)};
}

qint64 ProjectDb::addProject(const QString &name, const QString &description)
{
    prepare("INSERT INTO Templates (Name, Description) VALUES (?1, ?2)")
        .bind(1, name)
        .bind(2, description)
        .run();
    return sqlite3_last_insert_rowid(db_);
}

void ProjectDb::requireProject(qint64 templateNo) const
{
    if (!prepare("SELECT 1 FROM Templates WHERE TemplateNo = ?1").bind(1, templateNo).next())
        throw ProjectGone(path_);
}

void ProjectDb::updateProject(qint64 templateNo, const QString &name, const QString &description)
{
    inTransaction([&] {
        requireProject(templateNo);
        prepare("UPDATE Templates SET Name = ?1, Description = ?2 WHERE TemplateNo = ?3")
            .bind(1, name)
            .bind(2, description)
            .bind(3, templateNo)
            .run();
    });
}

void ProjectDb::removeProject(qint64 templateNo)
{
    prepare("DELETE FROM Actions WHERE TemplateNo = ?1").bind(1, templateNo).run();
    prepare("DELETE FROM Templates WHERE TemplateNo = ?1").bind(1, templateNo).run();
}

void ProjectDb::deleteProject(qint64 templateNo)
{
    inTransaction([&] { removeProject(templateNo); });
}

qint64 ProjectDb::addProjectWithActions(const QString &name, const QString &description,
    const std::vector<Action> &actions, const std::vector<qint64> &replaced)
{
    return inTransaction([&] {
        const qint64 key = addProject(name, description);
        for (Action action : actions) {
            action.templateNo = key;
            insertAction(action);
        }
        for (const qint64 old : replaced)
            removeProject(old);
        return key;
    });
}

std::vector<Action> ProjectDb::readActions(Statement &query) const
{
    std::vector<Action> actions;
    while (query.next()) {
        actions.push_back({query.number(0), query.number(1), query.text(2), query.text(3),
            query.text(4), query.text(5), query.text(6), query.text(7), query.text(8),
            query.text(9), query.text(10), query.text(11)});
    }
    return actions;
}

std::vector<Action> ProjectDb::actionsOf(qint64 templateNo) const
{
    const QByteArray sql = QByteArray("SELECT ") + actionColumns()
        + " FROM Actions WHERE TemplateNo = ?1 ORDER BY ActionNo";
    Statement query = prepare(sql.constData());
    query.bind(1, templateNo);
    return readActions(query);
}

std::vector<Action> ProjectDb::allActionsByFilter() const
{
    const QByteArray sql
        = QByteArray("SELECT ") + actionColumns() + " FROM Actions ORDER BY FileFilter, ActionNo";
    Statement query = prepare(sql.constData());
    return readActions(query);
}

namespace {

// Binds an action's nine stored texts to the parameters ?1 to ?9, in the column order of
// insertAction and updateAction.
template <typename Statement> Statement &bindTexts(Statement &statement, const Action &a)
{
    const QString Action::*fields[] = {&Action::enabled, &Action::fileFilter, &Action::fromFolder,
        &Action::toFolder, &Action::description, &Action::inclSub, &Action::fileDate,
        &Action::fileSize, &Action::op};
    int index = 1;
    for (const QString Action::*field : fields)
        statement.bind(index++, a.*field);
    return statement;
}

} // namespace

qint64 ProjectDb::insertAction(const Action &a)
{
    const QByteArray sql = QByteArray("INSERT INTO Actions (Enabled, FileFilter, FromFolder, "
                                      "ToFolder, Description, InclSub, FileDate, FileSize, "
                                      "Operator, TemplateNo")
        + (keepVersionsColumn_ ? ", KeepVersions" : "")
        + ") VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10"
        + (keepVersionsColumn_ ? ", ?11)" : ")");
    Statement insert = prepare(sql.constData());
    bindTexts(insert, a).bind(10, a.templateNo);
    if (keepVersionsColumn_)
        insert.bind(11, a.keepVersions);
    insert.run();
    return sqlite3_last_insert_rowid(db_);
}

qint64 ProjectDb::addAction(const Action &action)
{
    return inTransaction([&] {
        requireProject(action.templateNo);
        return insertAction(action);
    });
}

void ProjectDb::updateAction(const Action &a)
{
    inTransaction([&] {
        requireProject(a.templateNo);
        const QByteArray sql
            = QByteArray("UPDATE Actions SET Enabled = ?1, FileFilter = ?2, FromFolder = ?3, "
                         "ToFolder = ?4, Description = ?5, InclSub = ?6, FileDate = ?7, "
                         "FileSize = ?8, Operator = ?9")
            + (keepVersionsColumn_ ? ", KeepVersions = ?12" : "")
            + " WHERE ActionNo = ?10 AND TemplateNo = ?11";
        Statement update = prepare(sql.constData());
        bindTexts(update, a).bind(10, a.actionNo).bind(11, a.templateNo);
        if (keepVersionsColumn_)
            update.bind(12, a.keepVersions);
        update.run();
    });
}

void ProjectDb::deleteAction(const Action &action)
{
    inTransaction([&] {
        requireProject(action.templateNo);
        prepare("DELETE FROM Actions WHERE ActionNo = ?1").bind(1, action.actionNo).run();
    });
}
