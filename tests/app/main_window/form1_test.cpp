#include "controls/button.h"
#include "main_window_fixture.h"
#include "platform/system/profile_file.h"

#include <QCheckBox>
#include <QFile>
#include <QMenu>
#include <QRadioButton>
#include <QTimer>
#include <QTreeView>

using namespace Qt::StringLiterals;

using namespace platterly;

namespace {

class Form1Test : public app::test::MainWindowTest
{
protected:
    Form1Test()
    {
        windows.showAbout = [this] { ++m_aboutShown; };
        windows.showChooser = [this] { ++m_chooserShown; };
    }

    QString setting(const char* section, const char* key)
    {
        return system::ReadINI(appFile("settings.ini"), QLatin1String(section), QLatin1String(key),
                               u"(missing)"_s);
    }

    int m_aboutShown = 0;
    int m_chooserShown = 0;
};

} // namespace

TEST_F(Form1Test, LoadShowsDiscsTotalsAndTheChosenDisc)
{
    catalogueSmallDisc(u"Photos"_s, QDate(2006, 3, 5));
    catalogueSmallDisc(u"Music"_s, QDate(2026, 12, 6));
    {
        // A damaged row whose depth no tree can hold is left out, not allocated for.
        sql::SqlError error;
        auto db = sql::Database::open(appFile("db.db2"), &error);
        ASSERT_TRUE(db);
        ASSERT_FALSE(db->exec(u"INSERT INTO CDS (CDNAME, FNAME, PATH, LEVEL, TYPE) "
                              u"VALUES ('Photos', 'deep', 'E:\\', 1e15, 0)"_qs));
    }
    app::Form1 form{state, windows};
    form.showLoaded();
    QListWidget* list = discList(form);
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->item(0)->text(), u"Photos"_s);
    EXPECT_EQ(textOf(form, "lblTotals"),
              u":: Total ::  4 Files   &&  2 Folders  in    :::  2  :::CDs"_s);
    EXPECT_EQ(form.TCDS, 2);

    auto* allDiscs = control<QRadioButton>(form, "Option1_0");
    auto* chosenDisc = control<QRadioButton>(form, "Option1_1");
    chosenDisc->click(); // no disc chosen yet: the scope stays on all discs
    EXPECT_TRUE(allDiscs->isChecked());
    EXPECT_FALSE(form.SelectedOnly);
    // Nor does a right-click below the discs open their menu.
    auto* menu = control<QMenu>(form, "Pop2");
    clickOn(list->viewport(), Qt::RightButton,
            list->viewport()->rect().bottomLeft() + QPoint(10, -10));
    EXPECT_FALSE(menu->isVisible());

    list->setCurrentRow(0);
    EXPECT_EQ(textOf(form, "LBLtFILES"), u"Directories: 1 Files: 2"_s);
    EXPECT_EQ(textOf(form, "LBLdate"), u"This CD Created on : 5/3/2006"_s);
    EXPECT_EQ(form.SelCDName, u"Photos"_s);
    EXPECT_TRUE(chosenDisc->isChecked());
    EXPECT_TRUE(form.SelectedOnly);

    // A right-click on the chosen disc opens it.
    const QPoint disc = list->visualItemRect(list->item(0)).center();
    clickOn(list->viewport(), Qt::RightButton, disc);
    EXPECT_TRUE(menu->isVisible());
    menu->hide();

    doubleClickOn(list->viewport(), disc);
    EXPECT_EQ(form.windowTitle(), u"Quenlo Platterly"_s);
    const QAbstractItemModel* tree = control<QTreeView>(form, "trv")->model();
    ASSERT_EQ(tree->rowCount(), 3); // title, a.txt, Music
    EXPECT_EQ(tree->index(0, 0).data().toString(), u"Photos"_s);
    EXPECT_EQ(tree->rowCount(tree->index(2, 0)), 1);
    EXPECT_FALSE(tree->index(0, 0).data(Qt::DecorationRole).value<QIcon>().isNull());
    EXPECT_TRUE(dialogs.shown().empty());
}

TEST_F(Form1Test, AFileThatIsNotACatalogueFallsBackToTheDefaultOnce)
{
    catalogueSmallDisc(u"Default disc"_s, QDate(2020, 1, 1));
    sql::SqlError error;
    const QString other = appFile("other.db2");
    sql::Database::create(other, &error)->exec(u"CREATE TABLE X (A)"_s);
    state.DBPath = other;
    app::Form1 form{state, windows};
    form.Load();
    ASSERT_EQ(dialogs.shown().size(), 1);
    EXPECT_EQ(dialogs.shown()[0].text,
              QStringLiteral(
                  "You have selected an invalid Databse File, Default DATABASE will be LOADED"));
    EXPECT_EQ(dialogs.shown()[0].caption, u"DEFAULT DATABASE Loaded"_s);
    EXPECT_EQ(state.DBPath, appFile("db.db2"));
    ASSERT_EQ(discList(form)->count(), 1);
    EXPECT_EQ(discList(form)->item(0)->text(), u"Default disc"_s);

    // A missing file is reported too, and the default catalogue is shown.
    state.DBPath = appFile("gone.db2");
    form.Load();
    ASSERT_EQ(dialogs.shown().size(), 2);
    EXPECT_TRUE(dialogs.shown()[1].text.contains(u"gone.db2"_s));
    EXPECT_EQ(discList(form)->count(), 1);

    // The default unusable too: said once more, without looping, and nothing listed.
    QFile::remove(appFile("db.db2"));
    sql::Database::create(appFile("db.db2"), &error)->exec(u"CREATE TABLE X (A)"_s);
    state.DBPath = other;
    form.Load();
    ASSERT_EQ(dialogs.shown().size(), 4);
    EXPECT_TRUE(dialogs.shown()[3].text.contains(u"cannot be used"_s));
    EXPECT_EQ(discList(form)->count(), 0);
    EXPECT_EQ(textOf(form, "lblTotals"),
              u":: Total ::  0 Files   &&  0 Folders  in    :::  0  :::CDs"_s);
}

TEST_F(Form1Test, OptionsAndDriveLetterGoToTheSettingsFile)
{
    QFile file(appFile("settings.ini"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Settings]\nloadwind=abc\nPlaySound=1\nDriveLetter=G\n"
               "[Strings]\nTotal=3\ns1=*.mp3\ns3=holiday\ns4=stale\n");
    file.close();
    state.LoadWind = 0;
    state.PlaySnd = 1;
    app::Form1 form{state, windows};
    form.showLoaded();
    EXPECT_EQ(control<app::DriveLetterBox>(form, "cmbDrive")->letter(), u'G');
    auto* history = control<QComboBox>(form, "cmbStrs");
    ASSERT_EQ(history->count(), 3);
    EXPECT_EQ(history->itemText(0), u"*.mp3"_s);
    EXPECT_EQ(history->currentText(), u"*"_s);
    auto* startWithChooser = control<QCheckBox>(form, "Check1");
    auto* playSound = control<QCheckBox>(form, "Check2");
    EXPECT_FALSE(startWithChooser->isChecked());
    EXPECT_TRUE(playSound->isChecked());

    QTest::mouseClick(startWithChooser, Qt::LeftButton);
    EXPECT_EQ(setting("Settings", "loadwind"), u"1"_s);
    EXPECT_EQ(state.LoadWind, 1);
    QTest::mouseClick(playSound, Qt::LeftButton);
    EXPECT_EQ(setting("Settings", "PlaySound"), u"0"_s);
    EXPECT_EQ(setting("Strings", "s4"), u"stale"_s);
}

TEST_F(Form1Test, PictureButtonsLeadToTheOtherWindows)
{
    app::Form1 form{state, windows};
    form.showLoaded();
    clickOn(control(form, "Image1"));
    EXPECT_EQ(m_aboutShown, 1);
    EXPECT_FALSE(form.isEnabled()); // until the About window closes
    form.setEnabled(true);

    clickOn(control(form, "Image3"));
    EXPECT_EQ(m_chooserShown, 1);
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(form.isLoaded());

    // The help label plays the click whatever the start-up sound setting, and a missing
    // help document is reported.
    form.showLoaded();
    QFile click(appFile("click.qns"));
    ASSERT_TRUE(click.open(QIODevice::WriteOnly));
    click.write("RIFF");
    click.close();
    shell.setFallbackResult(false);
    clickOn(control(form, "Label5"));
    ASSERT_FALSE(sound.played().isEmpty()) << sound.beeps();
    EXPECT_TRUE(sound.played().last().endsWith(u"click.qns"_s));
    ASSERT_EQ(dialogs.shown().size(), 1);
    EXPECT_EQ(dialogs.shown()[0].caption, u"Unable to Open File"_s);
    EXPECT_TRUE(dialogs.shown()[0].text.contains(u"help.pdf"_s));
}

TEST_F(Form1Test, QuitClosesFilesThenWindowsThenEndsTheEventLoop)
{
    QStringList steps;
    windows.CloseAllFiles = [&] { steps.append(u"close files"_s); };
    windows.UnloadAllForms = [&] { steps.append(u"unload windows"_s); };
    app::Form1 form{state, windows};
    form.showLoaded();
    QTimer::singleShot(0, &form, [&] { clickOn(control(form, "CmdQuit")); });
    // A safety net only: if quitting did not end the loop, the test fails instead of hanging.
    QTimer::singleShot(std::chrono::seconds(60), &form, [] { QCoreApplication::exit(2); });
    EXPECT_EQ(QCoreApplication::exec(), 0);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(steps, (QStringList{u"close files"_s, u"unload windows"_s}));
}
