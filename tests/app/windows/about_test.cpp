// The About window: its texts, the music while it is open, and the main window enabled again
// however it closes.
#include "app/windows/frm_qn.h"
#include "window_test_fixture.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

using namespace Qt::StringLiterals;

namespace platterly::app::test {
namespace {

class About : public WindowTest
{
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        windows.mainWindow = [this] { return &mainWindow; };
        // The main window disables itself before it shows the About window.
        mainWindow.setEnabled(false);
        about = std::make_unique<frmQn>(windows);
        about->showLoaded();
    }

    void TearDown() override
    {
        about.reset();
        WindowTest::TearDown();
    }

    QWidget mainWindow;
    std::unique_ptr<frmQn> about;
};

TEST_F(About, ShowsItsTextsAndPlaysTheMusicAtEveryTickWhileTextsTakeNoClicks)
{
    EXPECT_EQ(about->windowTitle(), u"Quenlo Platterly");
    EXPECT_EQ(about->lblVersion->text(), u"Version 2.1.0");
    EXPECT_EQ(about->cmdOK->text(), u"OK");
    EXPECT_TRUE(about->lblEmail->text().contains(QLatin1Char('@')));
    EXPECT_FALSE(about->Image1->pixmap().isNull());
    EXPECT_FALSE(about->isModal());
    QTest::mouseClick(about->lblDisclaimer, Qt::LeftButton); // no click on the window
    EXPECT_TRUE(about->isVisible());
    EXPECT_FALSE(mainWindow.isEnabled());
    EXPECT_TRUE(sounds.events().empty());

    EXPECT_EQ(about->Timer1->interval(), 7100);
    about->Timer1_Timer();
    about->Timer1_Timer();
    EXPECT_EQ(soundsHeard(), QStringList(2, u"music"_s));
    // Without a music file each tick gives the default sound.
    ASSERT_TRUE(QFile::remove(soundFile(u"music"_s)));
    about->Timer1_Timer();
    EXPECT_EQ(sounds.beeps(), 1);

    // Without a main window to enable, OK still closes it.
    windows.mainWindow = [] { return static_cast<QWidget*>(nullptr); };
    about->cmdOK_Click();
    EXPECT_FALSE(about->isVisible());
    EXPECT_FALSE(mainWindow.isEnabled());
}

// OK clicks, then the window clicks as it closes; the close box and a click on the bare
// background close it the same way, the close box clicking once.
TEST_F(About, EveryWayOfClosingClicksAndEnablesTheMainWindow)
{
    struct Case
    {
        const char* way;
        std::function<void(frmQn&)> close;
        int clicks;
    };
    const Case cases[] = {
        {"OK", [](frmQn& window) { QTest::mouseClick(window.cmdOK, Qt::LeftButton); }, 2},
        {"close box", [](frmQn& window) { window.close(); }, 1},
        {"background",
         [](frmQn& window) {
             const QPoint bare(window.width() / 2, window.height() - 6);
             ASSERT_EQ(window.childAt(bare), nullptr);
             QTest::mouseClick(&window, Qt::LeftButton, {}, bare);
         },
         2},
    };
    for (const Case& each : cases) {
        SCOPED_TRACE(each.way);
        mainWindow.setEnabled(false);
        about->showLoaded(); // shown again, the music starts again
        EXPECT_TRUE(about->Timer1->isActive());
        sounds.clear();
        about->Timer1_Timer();
        each.close(*about);
        EXPECT_FALSE(about->isVisible());
        EXPECT_TRUE(mainWindow.isEnabled());
        EXPECT_FALSE(about->Timer1->isActive());
        // The click cuts off the music.
        EXPECT_EQ(soundsHeard(), QStringList{u"music"_qs} + QStringList(each.clicks, u"click"_qs));
        EXPECT_EQ(sounds.playing(), soundFile(u"click"_s));
    }
}

} // namespace
} // namespace platterly::app::test
