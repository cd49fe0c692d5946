#pragma once

#include <QPoint>

class QWidget;

namespace platterly::controls {

// The two questions a button asks the desktop on every poll: where the mouse pointer is, and
// which widget lies under a point of the screen. They sit behind this interface so that
// tests can script the pointer instead of moving a real mouse.
class PointerProbe
{
public:
    virtual ~PointerProbe() = default;

    // The pointer position in screen (global) pixels.
    virtual QPoint cursorPos() const = 0;
    // The innermost visible widget at a screen point, or nullptr when no window of this
    // program lies there.
    virtual QWidget* widgetAt(const QPoint& globalPos) const = 0;
};

// The real pointer: QCursor::pos() and QApplication::widgetAt().
class SystemPointerProbe final : public PointerProbe
{
public:
    QPoint cursorPos() const override;
    QWidget* widgetAt(const QPoint& globalPos) const override;
};

} // namespace platterly::controls
