#include "action_browser.h"
#include "project_db.h"
#include "sample_projects.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class ActionBrowserTest : public ::testing::Test {
protected:
    ActionBrowserTest()
    {
        one = db.addProject("un", QString());
        two = db.addProject("deux", QString());
        for (const char *filter : {"*.zz", "*.aa", "*.mm"})
            db.addAction(SampleAction(one, QString::fromLatin1(filter)));
        db.addAction(SampleAction(two, "*.bb"));
        browser.setDatabase(&db);
        // What a reposition handler sees: the filter of the current row, "-" for none.
        QObject::connect(&browser, &ActionBrowser::reposition, [this] {
            const Action *row = browser.current();
            seen.push_back(row ? row->fileFilter.toStdString() : "-");
        });
    }

    std::vector<std::string> filters() const
    {
        std::vector<std::string> out;
        for (const Action &a : browser.rows())
            out.push_back(a.fileFilter.toStdString());
        return out;
    }

    using Seen = std::vector<std::string>;
    TempDir dir;
    ProjectDb db {dir("Tandrel.mdb")};
    ActionBrowser browser;
    qint64 one = 0;
    qint64 two = 0;
    Seen seen;
};

} // namespace

TEST_F(ActionBrowserTest, RefreshReadsTheRowSourceAndNavigationSignalsOnlyRealMoves)
{
    browser.setRowSource(RowSource::project(one));
    EXPECT_EQ(browser.rowCount(), 0); // not before the refresh
    browser.refresh();
    EXPECT_EQ(filters(), (Seen {"*.zz", "*.aa", "*.mm"}));
    // Moves stay within the rows; a move that goes nowhere raises nothing.
    for (const auto move : {&ActionBrowser::movePrevious, &ActionBrowser::moveNext,
             &ActionBrowser::moveLast, &ActionBrowser::moveNext, &ActionBrowser::moveFirst})
        (browser.*move)();
    for (const int row : {99, 1, 1, -5})
        browser.moveTo(row);
    browser.refresh();
    EXPECT_EQ(browser.currentIndex(), 0);

    browser.setRowSource(RowSource::allActions());
    browser.refresh();
    EXPECT_EQ(filters(), (Seen {"*.aa", "*.bb", "*.mm", "*.zz"}));
    // Empty sources have no current row, and no move changes that.
    browser.setRowSource(RowSource::project(db.addProject("vide", QString())));
    browser.refresh();
    browser.moveNext();
    browser.moveTo(0);
    EXPECT_EQ(browser.current(), nullptr);
    browser.setRowSource(RowSource::blank());
    browser.refresh();
    // Every refresh is a reposition, emptying the browser too.
    EXPECT_EQ(seen,
        (Seen {"*.zz", "*.aa", "*.mm", "*.zz", "*.mm", "*.aa", "*.zz", "*.zz", "*.aa", "-", "-"}));
}

TEST_F(ActionBrowserTest, WritesStoreRefreshAndKeepTheEditedRowCurrent)
{
    browser.setRowSource(RowSource::project(one));
    browser.refresh();
    Action edited = browser.rows()[1];
    edited.fileFilter = "*.new";
    browser.moveLast();
    browser.editRow(edited);
    EXPECT_EQ(filters(), (Seen {"*.zz", "*.new", "*.mm"}));
    EXPECT_EQ(browser.currentIndex(), 1);

    const qint64 added = browser.addRow(SampleAction(one, "*.added"));
    EXPECT_EQ(filters(), (Seen {"*.zz", "*.new", "*.mm", "*.added"}));
    EXPECT_EQ(browser.rows()[3].actionNo, added);
    EXPECT_EQ(browser.currentIndex(), 0);
    browser.deleteRow(browser.rows()[1]);
    EXPECT_EQ(filters(), (Seen {"*.zz", "*.mm", "*.added"}));
}
