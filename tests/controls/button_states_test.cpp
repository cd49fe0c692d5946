// The looks and events of Button as the pointer moves and the mouse buttons are used. The
// pointer is scripted and each poll is run by calling the tick handler, so nothing waits.
#include "button_test_support.h"

#include <QApplication>
#include <QCursor>
#include <QLabel>
#include <QMouseEvent>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

namespace platterly::test {
namespace {

using controls::Button;
using Look = controls::Button::Look;

const QStringList kNothing;

// A holding window that counts the presses reaching it.
class PressCountingWindow : public QWidget
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

// A window with two buttons side by side, touching, and a pointer the test moves.
class ButtonStates : public ::testing::Test
{
protected:
    void SetUp() override
    {
        window.resize(300, 80);
        first->setGeometry(10, 20, 127, 22);
        second->setGeometry(137, 20, 127, 22);
        for (Button* button : {first, second}) {
            button->setPointerProbe(pointer);
            log.watch(button);
        }
        window.show();
    }

    // One poll of every button, as their timers would run it.
    void pollAll()
    {
        first->checkPointer();
        second->checkPointer();
    }

    PressCountingWindow window;
    Button* first = new Button(QStringLiteral("cmdAddCD"), &window);
    Button* second = new Button(QStringLiteral("cmdDelete"), &window);
    std::shared_ptr<ScriptedPointer> pointer = std::make_shared<ScriptedPointer>(&window);
    EventLog log;
};

bool pictureVisible(const Button& button, const char* name)
{
    return button.findChild<QLabel*>(QLatin1String(name))->isVisible();
}

TEST_F(ButtonStates, NewButtonShowsAllPicturesWithTheNormalOneInFront)
{
    EXPECT_EQ(first->look(), Look::Normal);
    EXPECT_FALSE(first->isOver());
    EXPECT_TRUE(pictureVisible(*first, "imgUp"));
    EXPECT_TRUE(pictureVisible(*first, "imgOver"));
    EXPECT_TRUE(pictureVisible(*first, "imgDown"));
    // Children are stacked in list order, the last one in front.
    const QObjectList parts = first->children();
    const auto position = [&](const char* name) {
        return parts.indexOf(first->findChild<QLabel*>(QLatin1String(name)));
    };
    EXPECT_GT(position("imgUp"), position("imgOver"));
    EXPECT_GT(position("imgUp"), position("imgDown"));
    EXPECT_GT(position("lblCaption"), position("imgUp"));
}

TEST_F(ButtonStates, PointerEnteringAndLeavingSwitchesHoverAndNormalOncePerCrossing)
{
    pointer->moveOnto(first, QPoint(3, 2)); // on a picture corner, away from the caption
    first->checkPointer();
    EXPECT_EQ(log.take(), texts({"cmdAddCD:MouseOver"}));
    EXPECT_EQ(first->look(), Look::Hover);
    EXPECT_TRUE(first->isOver());
    EXPECT_EQ(first->lastCursorPos(), first->mapToGlobal(QPoint(3, 2)));
    EXPECT_TRUE(pictureVisible(*first, "imgOver"));
    EXPECT_FALSE(pictureVisible(*first, "imgUp"));
    EXPECT_FALSE(pictureVisible(*first, "imgDown"));

    pointer->moveOnto(first); // over the caption: still the same control
    first->checkPointer();
    EXPECT_EQ(log.take(), kNothing);

    pointer->moveOffWindow();
    first->checkPointer();
    EXPECT_EQ(log.take(), texts({"cmdAddCD:ButtonUp"}));
    EXPECT_EQ(first->look(), Look::Normal);
    EXPECT_FALSE(first->isOver());
    EXPECT_TRUE(pictureVisible(*first, "imgUp"));
    first->checkPointer();
    EXPECT_EQ(log.take(), kNothing);
}

TEST_F(ButtonStates, ClickOnCaptionLeavesNormalLookUntilPointerLeavesAndReturns)
{
    pointer->moveOnto(first);
    first->checkPointer();
    log.take();

    pressAt(first, captionCentre(*first));
    EXPECT_EQ(log.take(), texts({"cmdAddCD:ButtonDown"}));
    EXPECT_EQ(first->look(), Look::Pressed);
    EXPECT_TRUE(pictureVisible(*first, "imgDown"));

    releaseAt(first, captionCentre(*first));
    EXPECT_EQ(log.take(), texts({"cmdAddCD:ButtonUp", "cmdAddCD:Click"}));
    EXPECT_EQ(first->look(), Look::Normal);
    EXPECT_TRUE(first->isOver());
    EXPECT_EQ(window.presses, 0) << "the caption keeps its presses from the window";

    // The pointer is still on the button, but the polls already know it is there.
    first->checkPointer();
    first->checkPointer();
    EXPECT_EQ(log.take(), kNothing);
    EXPECT_EQ(first->look(), Look::Normal);

    pointer->moveOffWindow();
    first->checkPointer();
    pointer->moveOnto(first);
    first->checkPointer();
    EXPECT_EQ(log.take(), texts({"cmdAddCD:ButtonUp", "cmdAddCD:MouseOver"}));
    EXPECT_EQ(first->look(), Look::Hover);
}

TEST_F(ButtonStates, OtherMouseButtonsOnTheCaptionChangeNothing)
{
    pointer->moveOnto(first);
    first->checkPointer();
    log.take();

    for (Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) {
        pressAt(first, captionCentre(*first), button);
        releaseAt(first, captionCentre(*first), button);
    }
    EXPECT_EQ(log.take(), kNothing);
    EXPECT_EQ(first->look(), Look::Hover);
    EXPECT_TRUE(first->isOver());
    EXPECT_EQ(window.presses, 0);
}

TEST_F(ButtonStates, PressOnThePictureAboveOrBelowTheCaptionDoesNothing)
{
    const QWidget* caption = first->findChild<QLabel*>(QStringLiteral("lblCaption"));
    ASSERT_GT(caption->y(), 1);
    ASSERT_LT(caption->geometry().bottom(), first->height() - 2);

    for (const QPoint at : {QPoint(60, 0), QPoint(60, first->height() - 1)}) {
        pressAt(first, at);
        releaseAt(first, at);
    }
    EXPECT_EQ(log.take(), kNothing);
    EXPECT_EQ(first->look(), Look::Normal);
}

TEST_F(ButtonStates, ReleaseAwayFromTheButtonStillClicks)
{
    pressAt(first, captionCentre(*first));
    EXPECT_EQ(first->look(), Look::Pressed);

    // Released over the other button, and then off the window entirely.
    releaseAt(first, QPoint(200, 10));
    EXPECT_EQ(log.take(), texts({"cmdAddCD:ButtonDown", "cmdAddCD:ButtonUp", "cmdAddCD:Click"}));
    pressAt(first, captionCentre(*first));
    releaseAt(first, QPoint(-100, -100));
    EXPECT_EQ(log.take(), texts({"cmdAddCD:ButtonDown", "cmdAddCD:ButtonUp", "cmdAddCD:Click"}));
    EXPECT_EQ(second->look(), Look::Normal);
}

TEST_F(ButtonStates, PointerMovingOntoTheNeighbourTakesOnePollOfEach)
{
    pointer->moveOnto(first, QPoint(first->width() - 1, 10));
    pollAll();
    EXPECT_EQ(log.take(), texts({"cmdAddCD:MouseOver"}));

    pointer->moveOnto(second, QPoint(0, 10));
    first->checkPointer();
    EXPECT_EQ(log.take(), texts({"cmdAddCD:ButtonUp"}));
    second->checkPointer();
    EXPECT_EQ(log.take(), texts({"cmdDelete:MouseOver"}));
    EXPECT_EQ(first->look(), Look::Normal);
    EXPECT_EQ(second->look(), Look::Hover);
}

TEST_F(ButtonStates, WidgetLyingOnTopOfTheButtonCountsAsLeaving)
{
    pointer->moveOnto(first);
    first->checkPointer();
    log.take();

    QWidget cover(&window);
    cover.setGeometry(first->geometry());
    cover.show();
    cover.raise();
    first->checkPointer();
    EXPECT_EQ(log.take(), texts({"cmdAddCD:ButtonUp"}));
    EXPECT_FALSE(first->isOver());
}

TEST(ButtonPolling, TimerRunsOnlyWhileTheProgramRuns)
{
    Button running(QStringLiteral("cmdQuit"));
    EXPECT_TRUE(running.isPolling());
    running.checkPointer();
    EXPECT_TRUE(running.isPolling()) << "a poll restarts the timer it stopped";

    Button designed(QStringLiteral("cmdQuit"), nullptr, controls::HostMode::Designing);
    EXPECT_TRUE(designed.isDesignMode());
    EXPECT_FALSE(designed.isPolling());
    designed.checkPointer();
    EXPECT_FALSE(designed.isPolling()) << "a poll run by hand must not start the timer";

    designed.setDesignMode(false);
    EXPECT_TRUE(designed.isPolling());
    running.setDesignMode(true);
    EXPECT_FALSE(running.isPolling());
}

TEST(ButtonPolling, RealPointerIsReadFromTheDesktop)
{
    // Moves the pointer, which only the offscreen desktop lets a test do harmlessly.
    if (QGuiApplication::platformName() != QLatin1String("offscreen"))
        GTEST_SKIP() << "needs the offscreen platform";
    QWidget window;
    window.resize(200, 60);
    Button button(QStringLiteral("cmdAddCD"), &window);
    button.move(20, 20);
    window.show();
    QApplication::processEvents();
    EventLog log;
    log.watch(&button);

    const QPoint onPicture = button.mapToGlobal(QPoint(2, 2));
    QCursor::setPos(onPicture);
    button.checkPointer();
    EXPECT_EQ(button.lastCursorPos(), onPicture);
    QCursor::setPos(window.mapToGlobal(QPoint(190, 5)));
    button.checkPointer();
    EXPECT_EQ(log.take(), texts({"cmdAddCD:MouseOver", "cmdAddCD:ButtonUp"}));
}

} // namespace
} // namespace platterly::test
