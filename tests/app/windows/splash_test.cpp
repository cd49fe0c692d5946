// The splash window: the start-up options it reads, the sounds, the window it loads hidden and
// the one it shows when it closes.
#include "app/windows/frm_splash.h"
#include "window_test_fixture.h"

#include <QLabel>
#include <QTest>
#include <QTimer>
#include <memory>

namespace platterly::app::test {
namespace {

class Splash : public WindowTest
{
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        splash = std::make_unique<frmSplash>(state, windows);
        splash->setLoaders(
            [this] {
                loaded.append(QStringLiteral("main"));
                catalogueWhenMainLoaded = state.DBPath;
            },
            [this] { loaded.append(QStringLiteral("chooser")); });
    }

    void TearDown() override
    {
        splash.reset();
        WindowTest::TearDown();
    }

    void start(const QString& loadWind, const QString& playSound)
    {
        setOption("loadwind", loadWind);
        setOption("PlaySound", playSound);
        splash->showLoaded();
    }

    void tick(int times)
    {
        for (int i = 0; i < times; ++i)
            splash->Timer1_Timer();
    }

    std::unique_ptr<frmSplash> splash;
    QStringList loaded;
    QString catalogueWhenMainLoaded;
};

TEST_F(Splash, WithoutTheChooserItLoadsTheMainWindowOnTheDefaultCatalogue)
{
    start(QStringLiteral("0"), QStringLiteral("1"));
    EXPECT_EQ(state.LoadWind, 0);
    EXPECT_EQ(state.PlaySnd, 1);
    EXPECT_EQ(loaded, QStringList{QStringLiteral("main")});
    EXPECT_EQ(catalogueWhenMainLoaded, tree.path(QStringLiteral("app/db.db2")));
    EXPECT_EQ(soundsHeard(), QStringList{QStringLiteral("qn")});
    EXPECT_EQ(splash->lblVersion->text(), u"Version 2.1.0");
    EXPECT_TRUE(splash->isVisible());
    EXPECT_TRUE(shown.isEmpty());
}

TEST_F(Splash, TheFifthTickClosesItAndShowsTheMainWindow)
{
    start(QStringLiteral("0"), QStringLiteral("1"));
    EXPECT_TRUE(splash->Timer1->isActive());
    EXPECT_EQ(splash->Timer1->interval(), 500);
    tick(4);
    EXPECT_TRUE(splash->isVisible());
    EXPECT_TRUE(shown.isEmpty());
    EXPECT_EQ(splash->SplashTicks(), 4);

    tick(1);
    EXPECT_FALSE(splash->isVisible());
    EXPECT_FALSE(splash->Timer1->isActive());
    EXPECT_EQ(shown, QStringList{QStringLiteral("main")});
    EXPECT_EQ(soundsHeard(), (QStringList{QStringLiteral("qn"), QStringLiteral("click")}));

    // A tick that was already on its way changes nothing more.
    tick(3);
    EXPECT_EQ(shown, QStringList{QStringLiteral("main")});
    EXPECT_EQ(soundsHeard().size(), 2);
}

TEST_F(Splash, WithTheChooserWantedItLoadsAndThenShowsTheChooserInSilence)
{
    start(QStringLiteral("1"), QStringLiteral("0"));
    EXPECT_EQ(state.LoadWind, 1);
    EXPECT_EQ(loaded, QStringList{QStringLiteral("chooser")});
    EXPECT_EQ(state.DBPath, QString());
    tick(4);
    EXPECT_TRUE(shown.isEmpty());
    tick(1);
    EXPECT_EQ(shown, QStringList{QStringLiteral("chooser")});
    EXPECT_FALSE(splash->isVisible());
    EXPECT_TRUE(sounds.events().empty());
}

TEST_F(Splash, ALogoClickWithSoundOnClicksTwiceAndShowsTheLoadedWindow)
{
    start(QStringLiteral("0"), QStringLiteral("1"));
    tick(2);
    QTest::mouseClick(splash->imgLogo, Qt::LeftButton);
    EXPECT_FALSE(splash->isVisible());
    EXPECT_EQ(shown, QStringList{QStringLiteral("main")});
    EXPECT_EQ(soundsHeard(), (QStringList{QStringLiteral("qn"), QStringLiteral("click"),
                                          QStringLiteral("click")}));
    tick(3);
    EXPECT_EQ(shown.size(), 1);
}

TEST_F(Splash, ALogoClickWithSoundOffShowsTheChooserInSilence)
{
    start(QStringLiteral("1"), QStringLiteral("0"));
    QTest::mouseClick(splash->imgLogo, Qt::LeftButton);
    EXPECT_EQ(shown, QStringList{QStringLiteral("chooser")});
    EXPECT_TRUE(sounds.events().empty());
}

TEST_F(Splash, AKeyOpensTheChooserEvenWhenTheMainWindowWasLoaded)
{
    start(QStringLiteral("0"), QStringLiteral("1"));
    QTest::keyClick(splash.get(), Qt::Key_Space);
    EXPECT_FALSE(splash->isVisible());
    EXPECT_EQ(loaded, QStringList{QStringLiteral("main")});
    EXPECT_EQ(shown, QStringList{QStringLiteral("chooser")});
    EXPECT_EQ(soundsHeard(), (QStringList{QStringLiteral("qn"), QStringLiteral("click")}));
    tick(5);
    EXPECT_EQ(shown, QStringList{QStringLiteral("chooser")});
}

TEST_F(Splash, ClosingItAnyOtherWayStillClicksOnce)
{
    start(QStringLiteral("1"), QStringLiteral("1"));
    splash->close();
    splash->close();
    EXPECT_EQ(soundsHeard(), (QStringList{QStringLiteral("qn"), QStringLiteral("click")}));
    EXPECT_FALSE(splash->Timer1->isActive());
    EXPECT_TRUE(shown.isEmpty());
}

TEST_F(Splash, OptionsThatAreNotNumbersCountAsOff)
{
    start(QStringLiteral("yes"), QStringLiteral("on"));
    EXPECT_EQ(state.LoadWind, 0);
    EXPECT_EQ(state.PlaySnd, 0);
    EXPECT_EQ(loaded, QStringList{QStringLiteral("main")});
    EXPECT_TRUE(sounds.events().empty());
}

TEST_F(Splash, WithoutASettingsFileItStartsSilentlyOnTheMainWindow)
{
    splash->showLoaded();
    EXPECT_EQ(state.LoadWind, 0);
    EXPECT_EQ(state.PlaySnd, 0);
    EXPECT_EQ(loaded, QStringList{QStringLiteral("main")});
    EXPECT_TRUE(sounds.events().empty());
    EXPECT_FALSE(QFile::exists(tree.path(QStringLiteral("app/settings.ini"))));
}

TEST_F(Splash, LooksRight)
{
    start(QStringLiteral("0"), QStringLiteral("0"));
    EXPECT_TRUE(splash->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(splash->lblVersion->font().family(), u"Arial");
    ASSERT_FALSE(splash->imgLogo->pixmap().isNull());
    EXPECT_EQ(splash->imgLogo->pixmap().size(), QSize(420, 260));
    EXPECT_TRUE(splash->rect().contains(splash->lblVersion->geometry()));
    splash->grab().save(QStringLiteral("/tmp/frmSplash.png"));
}

} // namespace
} // namespace platterly::app::test
