// The image button as a user meets it: its looks and events as the pointer crosses it and the
// mouse buttons are used, its accelerator letter, and its caption's properties. The pointer
// is scripted and each poll is run by hand, so nothing waits.
#include "controls/button.h"
#include "controls/pointer_probe.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

using namespace Qt::StringLiterals;

namespace platterly::test {
namespace {

using controls::Button;
using Look = controls::Button::Look;

// A pointer the test moves; the widget under it is looked up in the test window as the
// desktop would, nothing outside the window.
class ScriptedPointer final : public controls::PointerProbe
{
public:
    explicit ScriptedPointer(QWidget* window) : m_window(window) {}
    void moveOnto(const QWidget* widget, QPoint local) { m_at = widget->mapToGlobal(local); }
    void moveOffWindow() { m_at = m_window->mapToGlobal(QPoint(-50, -50)); }
    QPoint cursorPos() const override { return m_at; }
    QWidget* widgetAt(const QPoint& globalPos) const override
    {
        const QPoint local = m_window->mapFromGlobal(globalPos);
        if (!m_window->rect().contains(local))
            return nullptr;
        QWidget* child = m_window->childAt(local);
        return child ? child : m_window;
    }

private:
    QWidget* m_window;
    QPoint m_at;
};

// A window counting the presses that reach it, with two buttons side by side, touching.
class ButtonTest : public ::testing::Test
{
protected:
    class Window : public QWidget
    {
    public:
        int presses = 0;

    protected:
        void mousePressEvent(QMouseEvent* event) override
        {
            ++presses;
            QWidget::mousePressEvent(event);
        }
    };

    void SetUp() override
    {
        window.resize(300, 80);
        first->setGeometry(10, 20, 127, 22);
        second->setGeometry(137, 20, 127, 22);
        for (Button* button : {first, second}) {
            button->setPointerProbe(pointer);
            const QString name = button->objectName();
            const auto record = [this, name](const char* event) {
                return [this, name, event] { events.append(name + u':' + QLatin1String(event)); };
            };
            QObject::connect(button, &Button::Click, button, record("Click"));
            QObject::connect(button, &Button::ButtonDown, button, record("ButtonDown"));
            QObject::connect(button, &Button::ButtonUp, button, record("ButtonUp"));
            QObject::connect(button, &Button::MouseOver, button, record("MouseOver"));
        }
        window.show();
        window.activateWindow();
        QApplication::processEvents();
    }

    // The events since the last call.
    QString take() { return std::exchange(events, {}).join(u' '); }
    QPoint caption() const
    {
        return first->findChild<QLabel*>(u"lblCaption"_s)->geometry().center();
    }
    // Presses and releases delivered through the window, so that Qt picks the widget.
    void mouse(bool press, QPoint local, Qt::MouseButton button = Qt::LeftButton)
    {
        const QPoint at = first->mapTo(&window, local);
        if (press)
            QTest::mousePress(window.windowHandle(), button, {}, at);
        else
            QTest::mouseRelease(window.windowHandle(), button, {}, at);
    }
    void moveOnto(Button* button, QPoint local)
    {
        pointer->moveOnto(button, local);
        button->checkPointer();
    }

    Window window;
    Button* first = new Button(u"cmdAddCD"_s, &window);
    Button* second = new Button(u"cmdDelete"_s, &window);
    std::shared_ptr<ScriptedPointer> pointer = std::make_shared<ScriptedPointer>(&window);
    QStringList events;
};

TEST_F(ButtonTest, ThePointerCrossingTheButtonRaisesOneEventEachWay)
{
    moveOnto(first, QPoint(3, 2)); // a picture's corner, away from the caption
    EXPECT_EQ(take(), u"cmdAddCD:MouseOver");
    EXPECT_EQ(first->look(), Look::Hover);
    moveOnto(first, caption()); // the caption is the same control
    EXPECT_EQ(take(), QString());

    // Onto the neighbour: one poll of each tells both.
    moveOnto(first, QPoint(first->width() - 1, 10));
    pointer->moveOnto(second, QPoint(0, 10));
    first->checkPointer();
    second->checkPointer();
    EXPECT_EQ(take(), u"cmdAddCD:ButtonUp cmdDelete:MouseOver");
    EXPECT_EQ(first->look(), Look::Normal);
    EXPECT_EQ(second->look(), Look::Hover);

    // A widget lying on top of the button counts as leaving it.
    moveOnto(first, caption());
    take();
    QWidget cover(&window);
    cover.setGeometry(first->geometry());
    cover.show();
    first->checkPointer();
    EXPECT_EQ(take(), u"cmdAddCD:ButtonUp");
    pointer->moveOffWindow();
    first->checkPointer();
    EXPECT_EQ(take(), QString());
}

TEST_F(ButtonTest, ALeftClickOnTheCaptionClicksWhereverItIsReleased)
{
    moveOnto(first, caption());
    take();
    mouse(true, caption());
    EXPECT_EQ(take(), u"cmdAddCD:ButtonDown");
    EXPECT_EQ(first->look(), Look::Pressed);
    mouse(false, caption());
    EXPECT_EQ(take(), u"cmdAddCD:ButtonUp cmdAddCD:Click");
    EXPECT_EQ(first->look(), Look::Normal);
    EXPECT_EQ(window.presses, 0) << "the caption keeps its presses from the window";
    // Polls while the pointer stays on it raise nothing; leaving and coming back do.
    first->checkPointer();
    EXPECT_EQ(take(), QString());
    pointer->moveOffWindow();
    first->checkPointer();
    moveOnto(first, caption());
    EXPECT_EQ(take(), u"cmdAddCD:ButtonUp cmdAddCD:MouseOver");

    // Released over the other button, or off the window: still a click.
    for (const QPoint away : {QPoint(200, 10), QPoint(-100, -100)}) {
        mouse(true, caption());
        mouse(false, away);
        EXPECT_EQ(take(), u"cmdAddCD:ButtonDown cmdAddCD:ButtonUp cmdAddCD:Click");
    }
    EXPECT_EQ(second->look(), Look::Normal);

    // Other mouse buttons, and presses on the picture above or below the caption, do nothing.
    for (Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) {
        mouse(true, caption(), button);
        mouse(false, caption(), button);
    }
    for (const QPoint edge : {QPoint(60, 0), QPoint(60, first->height() - 1)}) {
        mouse(true, edge);
        mouse(false, edge);
    }
    EXPECT_EQ(take(), QString());
}

TEST_F(ButtonTest, AltWithTheMarkedLetterClicksUnlessDesigning)
{
    const auto alt = [this](Qt::Key key) { QTest::keyClick(&window, key, Qt::AltModifier); };
    first->setCaption(u"&ADD New CD"_s);
    alt(Qt::Key_A);
    alt(Qt::Key_D);
    QTest::keyClick(&window, Qt::Key_A);
    EXPECT_EQ(take(), u"cmdAddCD:Click");

    // The letter follows the caption; "&&" marks none.
    first->setCaption(u"&Quit"_s);
    alt(Qt::Key_A);
    alt(Qt::Key_Q);
    first->setCaption(u"Q&&A"_s);
    alt(Qt::Key_A);
    EXPECT_EQ(take(), u"cmdAddCD:Click");
    first->setCaption(u"&Quit"_s);
    first->setDesignMode(true);
    alt(Qt::Key_Q);
    EXPECT_EQ(take(), QString());
    EXPECT_FALSE(first->isPolling()) << "a designed button does not watch the pointer";
}

TEST(ButtonCaption, ANewButtonShowsItsNameAndTakesItsLooksFromItsProperties)
{
    Button button(u"CmdQuit"_s);
    const auto* caption = button.findChild<QLabel*>(u"lblCaption"_s);
    EXPECT_EQ(caption->text(), u"CmdQuit"_s);
    EXPECT_EQ(caption->font().family(), u"Tahoma"_s);
    EXPECT_DOUBLE_EQ(caption->font().pointSizeF(), 8.25);
    EXPECT_EQ(button.fontSize(), 8);
    const auto colour = [caption] { return caption->palette().color(QPalette::WindowText); };
    EXPECT_EQ(colour(), button.palette().color(QPalette::ButtonText));

    // Red in the low byte; a desktop colour follows a change of theme.
    button.setForeColor(0x804020);
    EXPECT_EQ(colour(), QColor(0x20, 0x40, 0x80));
    button.setForeColor(controls::kSystemButtonText);
    QPalette theme = button.palette();
    theme.setColor(QPalette::ButtonText, QColor(0, 128, 0));
    button.setPalette(theme);
    EXPECT_EQ(colour(), QColor(0, 128, 0));

    button.setFontSize(14);
    button.setFontSize(0);
    button.setFontSize(Button::kLargestFontSize + 1);
    EXPECT_EQ(button.fontSize(), 14) << "sizes out of range are refused";
}

} // namespace
} // namespace platterly::test
