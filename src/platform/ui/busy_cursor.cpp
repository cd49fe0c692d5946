#include "platform/ui/busy_cursor.h"

#include <QApplication>
#include <QCursor>

namespace platterly::ui {

// Qt keeps a stack of override pointers, so each guard pushes one and pops its own.
BusyCursor::BusyCursor()
{
    QApplication::setOverrideCursor(QCursor(Qt::BusyCursor));
}

BusyCursor::~BusyCursor()
{
    QApplication::restoreOverrideCursor();
}

} // namespace platterly::ui
