#pragma once

#include "records.h"

#include <QObject>

#include <vector>

class ProjectDb;

// What the action browser shows: all actions by filter, one project's actions, or nothing.
struct RowSource {
    enum class Kind { AllActions, Project, Blank };
    Kind kind = Kind::Blank;
    qint64 templateNo = 0;

    static RowSource allActions() { return {Kind::AllActions, 0}; }
    static RowSource project(qint64 key) { return {Kind::Project, key}; }
    static RowSource blank() { return {Kind::Blank, 0}; }
    bool operator==(const RowSource &) const = default;
};

// The action browser (Data1): a cursor over the rows of its row source, with a current row.
// Every change of the current row, refresh included, raises reposition().
// Database failures throw DbError.
class ActionBrowser : public QObject {
    Q_OBJECT

public:
    explicit ActionBrowser(QObject *parent = nullptr);

    void setDatabase(ProjectDb *db);
    ProjectDb *database() const { return db_; }
    // Takes effect at the next refresh.
    void setRowSource(const RowSource &source);
    RowSource rowSource() const { return source_; }
    // Re-reads the row source and moves to the first row.
    void refresh();

    int rowCount() const { return int(rows_.size()); }
    const std::vector<Action> &rows() const { return rows_; }
    // Index of the current row; -1 when there is no row.
    int currentIndex() const { return current_; }
    // The current row; nullptr when there is no row.
    const Action *current() const;

    void moveFirst();
    void movePrevious();
    void moveNext();
    void moveLast();
    // Moves to row index (clamped to the rows).
    void moveTo(int index);

    // The writes of the program's action commands. Each one stores through the database
    // (throwing DbError, ProjectGone included, with nothing written) and then refreshes.
    // Stores a new action of action.templateNo.
    qint64 addRow(const Action &action);
    // Rewrites the row action.actionNo of project action.templateNo; when that row is still
    // listed it is current after the refresh.
    void editRow(const Action &action);
    void deleteRow(const Action &action);

signals:
    void reposition();

private:
    ProjectDb *db_ = nullptr;
    RowSource source_;
    std::vector<Action> rows_;
    int current_ = -1;
};
