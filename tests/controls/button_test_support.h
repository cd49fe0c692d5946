#pragma once

#include "controls/button.h"
#include "controls/pointer_probe.h"

#include <QPoint>
#include <QStringList>
#include <initializer_list>

class QWidget;

namespace platterly::test {

// A mouse pointer that a test moves by hand. The widget under it is looked up in one test
// window the way the desktop would: the innermost visible child at that point that takes the
// mouse, the window itself where it has none, nothing outside the window.
class ScriptedPointer final : public controls::PointerProbe
{
public:
    explicit ScriptedPointer(QWidget* window) : m_window(window) {}

    void moveTo(const QPoint& globalPos) { m_position = globalPos; }
    // Onto a point of `widget`, by default its middle.
    void moveOnto(const QWidget* widget);
    void moveOnto(const QWidget* widget, const QPoint& local);
    // Off the test window altogether.
    void moveOffWindow();

    QPoint cursorPos() const override { return m_position; }
    QWidget* widgetAt(const QPoint& globalPos) const override;

private:
    QWidget* m_window;
    QPoint m_position;
};

// The events of one or more buttons in the order they were raised, each as
// "<object name>:<event>", e.g. "cmdAddCD:MouseOver".
class EventLog
{
public:
    void watch(controls::Button* button);
    // The events since the last call, and forgets them.
    QStringList take();

private:
    QStringList m_events;
};

// Mouse presses and releases delivered through the window, so that Qt picks the receiving
// widget from the position the way it does for a real mouse. `local` is in `target`'s
// coordinates and may lie outside it.
void pressAt(QWidget* target, const QPoint& local, Qt::MouseButton button = Qt::LeftButton);
void releaseAt(QWidget* target, const QPoint& local, Qt::MouseButton button = Qt::LeftButton);

// A list of texts written as plain literals: texts({"cmdAddCD:ButtonUp", "cmdAddCD:Click"}).
QStringList texts(std::initializer_list<const char*> items);

// The middle of a button's caption, in the button's coordinates.
QPoint captionCentre(const controls::Button& button);

} // namespace platterly::test
