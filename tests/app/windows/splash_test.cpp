// The splash window: the start-up options it reads, the sounds, the window it loads hidden and
// the one it shows when it closes.
#include "app/windows/frm_splash.h"
#include "window_test_fixture.h"

#include <QFile>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <memory>

using namespace Qt::StringLiterals;

namespace platterly::app::test {
namespace {

class Splash : public WindowTest
{
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        makeSplash();
    }

    // A new splash whose loaders record the window loaded (and the catalogue then in force).
    void makeSplash()
    {
        splash = std::make_unique<frmSplash>(state, windows);
        splash->setLoaders(
            [this] {
                loaded.append(u"main"_s);
                catalogueWhenMainLoaded = state.DBPath;
            },
            [this] { loaded.append(u"chooser"_s); });
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

// The two start-up options, as stored: the window loaded hidden, the one shown after the
// fifth tick, and the sounds heard.
TEST_F(Splash, TheOptionsChooseTheWindowLoadedAndShownAndTheSound)
{
    struct Case
    {
        const char* loadWind;
        const char* playSound;
        const char* window; // loaded at once, shown at the fifth tick
        QStringList heard;
    };
    const Case cases[] = {
        {"0", "1", "main", {u"qn"_qs, u"click"_qs}},
        {"1", "0", "chooser", {}},
        {"yes", "on", "main", {}},      // not numbers: off
        {nullptr, nullptr, "main", {}}, // no settings file
    };
    for (const Case& each : cases) {
        SCOPED_TRACE(each.window);
        loaded.clear();
        shown.clear();
        sounds.clear();
        state = {};
        QFile::remove(tree.path(u"app/settings.ini"_s));
        makeSplash();
        if (each.loadWind)
            start(QLatin1String(each.loadWind), QLatin1String(each.playSound));
        else
            splash->showLoaded();
        const QString window = QLatin1String(each.window);
        EXPECT_EQ(state.LoadWind, window == u"chooser" ? 1 : 0);
        EXPECT_EQ(loaded, QStringList{window});
        if (window == u"main") {
            EXPECT_EQ(catalogueWhenMainLoaded, tree.path(u"app/db.db2"_s));
        }
        EXPECT_EQ(splash->lblVersion->text(), u"Version 2.1.0");
        tick(4);
        EXPECT_TRUE(splash->isVisible());
        EXPECT_TRUE(shown.isEmpty());
        tick(1);
        EXPECT_FALSE(splash->isVisible());
        EXPECT_FALSE(splash->Timer1->isActive());
        EXPECT_EQ(shown, QStringList{window});
        // A tick that was already on its way changes nothing more.
        tick(3);
        EXPECT_EQ(shown, QStringList{window});
        EXPECT_EQ(soundsHeard(), each.heard);
    }
}

TEST_F(Splash, ALogoClickShowsTheLoadedWindowClickingOnlyWithSoundOn)
{
    start(u"0"_s, u"1"_s);
    tick(2);
    QTest::mouseClick(splash->imgLogo, Qt::LeftButton);
    EXPECT_FALSE(splash->isVisible());
    EXPECT_EQ(shown, QStringList{u"main"_s});
    EXPECT_EQ(soundsHeard(), (QStringList{u"qn"_s, u"click"_s, u"click"_s}));
    tick(3);
    EXPECT_EQ(shown.size(), 1);

    shown.clear();
    sounds.clear();
    makeSplash();
    start(u"1"_s, u"0"_s);
    QTest::mouseClick(splash->imgLogo, Qt::LeftButton);
    EXPECT_EQ(shown, QStringList{u"chooser"_s});
    EXPECT_TRUE(sounds.events().empty());
}

TEST_F(Splash, AKeyOpensTheChooserEvenWhenTheMainWindowWasLoadedAnyCloseClicksOnce)
{
    start(u"0"_s, u"1"_s);
    QTest::keyClick(splash.get(), Qt::Key_Space);
    EXPECT_FALSE(splash->isVisible());
    EXPECT_EQ(loaded, QStringList{u"main"_s});
    EXPECT_EQ(shown, QStringList{u"chooser"_s});
    EXPECT_EQ(soundsHeard(), (QStringList{u"qn"_s, u"click"_s}));
    tick(5);
    EXPECT_EQ(shown, QStringList{u"chooser"_s});

    // Closed any other way, it still clicks once.
    shown.clear();
    sounds.clear();
    makeSplash();
    start(u"1"_s, u"1"_s);
    splash->close();
    splash->close();
    EXPECT_EQ(soundsHeard(), (QStringList{u"qn"_s, u"click"_s}));
    EXPECT_FALSE(splash->Timer1->isActive());
    EXPECT_TRUE(shown.isEmpty());
}

} // namespace
} // namespace platterly::app::test
