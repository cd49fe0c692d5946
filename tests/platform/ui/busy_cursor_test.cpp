#include "platform/ui/busy_cursor.h"
#include "platform/ui/ui_test_support.h"

#include <QApplication>
#include <QCursor>
#include <gtest/gtest.h>

namespace platterly::ui {
namespace {

std::optional<Qt::CursorShape> overrideShape()
{
    const QCursor* cursor = QApplication::overrideCursor();
    return cursor ? std::optional(cursor->shape()) : std::nullopt;
}

TEST(BusyCursor, ShowsTheBusyPointerUntilTheOutermostGuardEndsThenGivesTheOldOneBack)
{
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    {
        BusyCursor outer;
        {
            BusyCursor inner;
            EXPECT_EQ(overrideShape(), Qt::BusyCursor);
        }
        EXPECT_EQ(overrideShape(), Qt::BusyCursor);
    }
    EXPECT_EQ(overrideShape(), Qt::WaitCursor);
    QApplication::restoreOverrideCursor();
    EXPECT_EQ(overrideShape(), std::nullopt);
}

} // namespace
} // namespace platterly::ui
