#include "button_test_support.h"

#include <QLabel>
#include <QTest>
#include <QWidget>
#include <QWindow>

namespace platterly::test {

void ScriptedPointer::moveOnto(const QWidget* widget)
{
    moveOnto(widget, widget->rect().center());
}

void ScriptedPointer::moveOnto(const QWidget* widget, const QPoint& local)
{
    m_position = widget->mapToGlobal(local);
}

void ScriptedPointer::moveOffWindow()
{
    m_position = m_window->mapToGlobal(QPoint(-50, -50));
}

QWidget* ScriptedPointer::widgetAt(const QPoint& globalPos) const
{
    const QPoint local = m_window->mapFromGlobal(globalPos);
    if (!m_window->rect().contains(local))
        return nullptr;
    QWidget* child = m_window->childAt(local);
    return child != nullptr ? child : m_window;
}

void EventLog::watch(controls::Button* button)
{
    using controls::Button;
    const QString name = button->objectName();
    const auto record = [this, name](const char* event) {
        return [this, name, event] {
            m_events.append(name + QLatin1Char(':') + QLatin1String(event));
        };
    };
    QObject::connect(button, &Button::Click, button, record("Click"));
    QObject::connect(button, &Button::ButtonDown, button, record("ButtonDown"));
    QObject::connect(button, &Button::ButtonUp, button, record("ButtonUp"));
    QObject::connect(button, &Button::MouseOver, button, record("MouseOver"));
}

QStringList EventLog::take()
{
    return std::exchange(m_events, {});
}

void pressAt(QWidget* target, const QPoint& local, Qt::MouseButton button)
{
    QWidget* window = target->window();
    QTest::mousePress(window->windowHandle(), button, {}, target->mapTo(window, local));
}

void releaseAt(QWidget* target, const QPoint& local, Qt::MouseButton button)
{
    QWidget* window = target->window();
    QTest::mouseRelease(window->windowHandle(), button, {}, target->mapTo(window, local));
}

QStringList texts(std::initializer_list<const char*> items)
{
    QStringList result;
    for (const char* item : items)
        result.append(QString::fromUtf8(item));
    return result;
}

QPoint captionCentre(const controls::Button& button)
{
    const auto* caption = button.findChild<QLabel*>(QStringLiteral("lblCaption"));
    return caption->geometry().center();
}

} // namespace platterly::test
