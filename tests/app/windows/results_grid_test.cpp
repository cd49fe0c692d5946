// The results grid keeps the disc names in sight when another row becomes current in a name
// column that does not fit beside them, and still scrolls sideways to a column whose start is
// out of sight.
#include "app/windows/results_grid.h"

#include <QScrollBar>
#include <QStandardItemModel>
#include <QTest>
#include <gtest/gtest.h>

namespace platterly::app::test {
namespace {

TEST(ResultsGrid, ScrollsSidewaysOnlyToAColumnWhoseStartIsOutOfSight)
{
    QStandardItemModel model(3, 3);
    ResultsGrid grid;
    grid.setModel(&model);
    grid.setSelectionBehavior(QAbstractItemView::SelectRows);
    grid.resize(400, 200);
    grid.setColumnWidth(0, 150);
    grid.setColumnWidth(1, 300);
    grid.setColumnWidth(2, 150);
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    ASSERT_EQ(grid.horizontalScrollBar()->value(), 0);

    // A click into the name column, then the arrow key down: the row under the current one
    // becomes current, and the grid must not slide the disc names out of sight for it (nor when
    // a right-click makes the row under the pointer current).
    const int rowMiddle = grid.rowViewportPosition(0) + grid.rowHeight(0) / 2;
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, QPoint(250, rowMiddle));
    QTest::keyClick(grid.viewport(), Qt::Key_Down);
    EXPECT_EQ(grid.currentIndex(), model.index(1, 1));
    EXPECT_EQ(grid.horizontalScrollBar()->value(), 0) << "the disc names slid out of sight";
    grid.selectRow(2);
    EXPECT_EQ(grid.horizontalScrollBar()->value(), 0);

    QTest::keyClick(grid.viewport(), Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(grid.currentIndex().column(), 2);
    EXPECT_GT(grid.horizontalScrollBar()->value(), 0)
        << "the last column was not brought into sight";
}

} // namespace
} // namespace platterly::app::test
