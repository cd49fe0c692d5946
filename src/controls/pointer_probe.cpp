#include "controls/pointer_probe.h"

#include <QApplication>
#include <QCursor>

namespace platterly::controls {

QPoint SystemPointerProbe::cursorPos() const
{
    return QCursor::pos();
}

QWidget* SystemPointerProbe::widgetAt(const QPoint& globalPos) const
{
    return QApplication::widgetAt(globalPos);
}

} // namespace platterly::controls
