// The About window: its texts, the music while it is open, and the main window enabled again
// however it closes.
#include "app/windows/frm_qn.h"
#include "window_test_fixture.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <memory>

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

TEST_F(About, ShowsTheTitleVersionAndContact)
{
    EXPECT_EQ(about->windowTitle(), u"Quenlo Platterly");
    EXPECT_EQ(about->lblVersion->text(), u"Version 2.1.0");
    EXPECT_EQ(about->cmdOK->text(), u"OK");
    EXPECT_FALSE(about->lblDisclaimer->text().isEmpty());
    EXPECT_TRUE(about->lblEmail->text().contains(QLatin1Char('@')));
    EXPECT_FALSE(about->Image1->pixmap().isNull());
    EXPECT_TRUE(about->isVisible());
    EXPECT_FALSE(about->isModal());
    EXPECT_FALSE(mainWindow.isEnabled());
    EXPECT_TRUE(sounds.events().empty());
}

TEST_F(About, PlaysTheMusicAtEveryTick)
{
    EXPECT_EQ(about->Timer1->interval(), 7100);
    EXPECT_TRUE(about->Timer1->isActive());
    about->Timer1_Timer();
    EXPECT_EQ(sounds.playing(), soundFile(QStringLiteral("music")));
    about->Timer1_Timer();
    about->Timer1_Timer();
    EXPECT_EQ(soundsHeard(), QStringList(3, QStringLiteral("music")));
}

TEST_F(About, WithoutAMusicFileEachTickGivesTheDefaultSound)
{
    ASSERT_TRUE(QFile::remove(soundFile(QStringLiteral("music"))));
    about->Timer1_Timer();
    about->Timer1_Timer();
    EXPECT_EQ(sounds.beeps(), 2);
    EXPECT_TRUE(sounds.played().isEmpty());
}

TEST_F(About, OkClicksClosesAndEnablesTheMainWindow)
{
    about->Timer1_Timer();
    QTest::mouseClick(about->cmdOK, Qt::LeftButton);
    EXPECT_FALSE(about->isVisible());
    EXPECT_TRUE(mainWindow.isEnabled());
    EXPECT_FALSE(about->Timer1->isActive());
    // The button's click, then the closing one; the click cuts off the music.
    EXPECT_EQ(soundsHeard(), (QStringList{QStringLiteral("music"), QStringLiteral("click"),
                                          QStringLiteral("click")}));
    EXPECT_EQ(sounds.playing(), soundFile(QStringLiteral("click")));
}

TEST_F(About, TheCloseBoxClicksOnceAndEnablesTheMainWindow)
{
    about->close();
    EXPECT_FALSE(about->isVisible());
    EXPECT_TRUE(mainWindow.isEnabled());
    EXPECT_EQ(soundsHeard(), QStringList{QStringLiteral("click")});
    EXPECT_FALSE(about->Timer1->isActive());
}

TEST_F(About, AClickOnTheBackgroundActsLikeOk)
{
    const QPoint bare(about->width() / 2, about->height() - 6);
    ASSERT_EQ(about->childAt(bare), nullptr);
    QTest::mouseClick(about.get(), Qt::LeftButton, {}, bare);
    EXPECT_FALSE(about->isVisible());
    EXPECT_TRUE(mainWindow.isEnabled());
    EXPECT_EQ(soundsHeard(), QStringList(2, QStringLiteral("click")));
}

TEST_F(About, AClickOnATextIsNoClickOnTheWindow)
{
    QTest::mouseClick(about->lblDisclaimer, Qt::LeftButton);
    EXPECT_TRUE(about->isVisible());
    EXPECT_FALSE(mainWindow.isEnabled());
    EXPECT_TRUE(sounds.events().empty());
}

TEST_F(About, ShowingItAgainStartsTheMusicAgain)
{
    about->close();
    mainWindow.setEnabled(false);
    sounds.clear();
    about->showLoaded();
    EXPECT_TRUE(about->Timer1->isActive());
    about->cmdOK_Click();
    EXPECT_TRUE(mainWindow.isEnabled());
    EXPECT_EQ(soundsHeard(), QStringList(2, QStringLiteral("click")));
}

TEST_F(About, ClosesWithoutAMainWindowToEnable)
{
    windows.mainWindow = [] { return static_cast<QWidget*>(nullptr); };
    about->cmdOK_Click();
    EXPECT_FALSE(about->isVisible());
    EXPECT_FALSE(mainWindow.isEnabled());
}

TEST_F(About, LooksRight)
{
    EXPECT_TRUE(about->windowFlags().testFlag(Qt::Dialog));
    EXPECT_EQ(about->minimumSize(), about->maximumSize());
    about->grab().save(QStringLiteral("/tmp/frmQn.png"));
}

} // namespace
} // namespace platterly::app::test
