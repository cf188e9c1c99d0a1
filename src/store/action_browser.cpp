#include "action_browser.h"

#include "project_db.h"

#include <algorithm>

ActionBrowser::ActionBrowser(QObject *parent)
    : QObject(parent)
{
}

void ActionBrowser::setDatabase(ProjectDb *db)
{
    db_ = db;
}

void ActionBrowser::setRowSource(const RowSource &source)
{
    source_ = source;
}

void ActionBrowser::refresh()
{
    rows_.clear();
    if (db_ && source_.kind == RowSource::Kind::AllActions)
        rows_ = db_->allActionsByFilter();
    else if (db_ && source_.kind == RowSource::Kind::Project)
        rows_ = db_->actionsOf(source_.templateNo);
    current_ = rows_.empty() ? -1 : 0;
    emit reposition();
}

const Action *ActionBrowser::current() const
{
    return current_ < 0 ? nullptr : &rows_[std::size_t(current_)];
}

void ActionBrowser::moveFirst()
{
    moveTo(0);
}

void ActionBrowser::movePrevious()
{
    moveTo(current_ - 1);
}

void ActionBrowser::moveNext()
{
    moveTo(current_ + 1);
}

void ActionBrowser::moveLast()
{
    moveTo(rowCount() - 1);
}

void ActionBrowser::moveTo(int index)
{
    if (rows_.empty())
        return;
    index = std::clamp(index, 0, rowCount() - 1);
    if (index == current_)
        return;
    current_ = index;
    emit reposition();
}

qint64 ActionBrowser::addRow(const Action &action)
{
    return db_->addAction(action);
}

void ActionBrowser::editCurrent(const Action &action)
{
    Action &row = rows_.at(std::size_t(current_));
    Action edited = action;
    edited.actionNo = row.actionNo;
    edited.templateNo = row.templateNo;
    db_->updateAction(edited);
    row = edited;
}

void ActionBrowser::deleteCurrent()
{
    db_->deleteAction(rows_.at(std::size_t(current_)).actionNo);
}
