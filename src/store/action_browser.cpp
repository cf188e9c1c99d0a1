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
    const qint64 key = db_->addAction(action);
    refresh();
    return key;
}

void ActionBrowser::editRow(const Action &action)
{
    db_->updateAction(action);
    refresh();
    const auto row = std::find_if(rows_.begin(), rows_.end(),
        [&](const Action &listed) { return listed.actionNo == action.actionNo; });
    if (row != rows_.end())
        moveTo(int(row - rows_.begin()));
}

void ActionBrowser::deleteRow(const Action &action)
{
    db_->deleteAction(action);
    refresh();
}
