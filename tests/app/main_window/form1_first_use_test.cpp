// The main window as a user first meets it, driven by real focus changes, keys and mouse
// events, so that Qt's own defaults are part of what is tested.
#include "app/windows/application_setup.h"
#include "app/windows/frm_splash.h"
#include "chooser/file_list.h"
#include "chooser/frm_loading.h"
#include "controls/button.h"
#include "main_window_fixture.h"
#include "platform/system/profile_file.h"

#include <QHeaderView>
#include <QRadioButton>

using namespace Qt::StringLiterals;

using namespace platterly;

namespace {

class Form1FirstUseTest : public app::test::MainWindowTest
{
protected:
    void showActive()
    {
        form.showLoaded();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    }
    QString setting(const char* section, const char* key)
    {
        return system::ReadINI(appFile("settings.ini"), QLatin1String(section), QLatin1String(key),
                               QString());
    }
    void typeInto(QComboBox* box, const QString& text)
    {
        box->setFocus(Qt::TabFocusReason);
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(box, text);
        QTest::keyClick(box, Qt::Key_Return);
    }

    app::Form1 form{state, windows};
};

} // namespace

TEST_F(Form1FirstUseTest, NoDiscIsChosenUntilTheUserHighlightsOne)
{
    catalogueSmallDisc(u"Photos"_s);
    catalogueSmallDisc(u"Music"_s);
    // Qt appends an application display name to every title; the program sets none.
    app::setUpApplication();
    showActive();
    EXPECT_EQ(form.windowHandle()->title(), u"Quenlo Platterly"_s);
    discList(form)->setFocus(Qt::TabFocusReason);
    EXPECT_TRUE(form.SelCDName.isEmpty());
    EXPECT_TRUE(textOf(form, "LBLtFILES").isEmpty());
    EXPECT_TRUE(control<QRadioButton>(form, "Option1_0")->isChecked());

    dialogs.answer(ui::Answer::Ok);
    clickOn(control(form, "cmdDelete"));
    EXPECT_EQ(dialogs.shownTexts(), QStringList{u"Select CD to Delete And Press the Button"_qs});
    EXPECT_EQ(dialogs.shown()[0].caption, u"PLATTERLY"_s);
    EXPECT_EQ(discList(form)->count(), 2);

    // The first arrow key lands on the first disc, the next on the second.
    QTest::keyClick(discList(form), Qt::Key_Down);
    EXPECT_EQ(form.SelCDName, u"Photos"_s);
    EXPECT_EQ(textOf(form, "LBLtFILES"), u"Directories: 1 Files: 2"_s);
    EXPECT_TRUE(control<QRadioButton>(form, "Option1_1")->isChecked());
    QTest::keyClick(discList(form), Qt::Key_Down);
    dialogs.answer(ui::Answer::Yes);
    clickOn(control(form, "cmdDelete"));
    ASSERT_EQ(discList(form)->count(), 1);
    EXPECT_EQ(discList(form)->item(0)->text(), u"Photos"_s);

    // Back from another window the window starts afresh, whatever gets the focus.
    form.unload();
    showActive();
    discList(form)->setFocus(Qt::TabFocusReason);
    EXPECT_TRUE(form.SelCDName.isEmpty());
    EXPECT_TRUE(discList(form)->selectedItems().isEmpty());
    EXPECT_FALSE(dialogs.failed()) << dialogs.failures().toStdString();
}

TEST_F(Form1FirstUseTest, WhatIsTypedIsWhatIsSearched)
{
    catalogueSmallDisc(u"Photos"_s);
    ASSERT_TRUE(system::WriteINI(appFile("settings.ini"), u"Strings"_qs, u"Total"_qs, u"1"_qs));
    ASSERT_TRUE(system::WriteINI(appFile("settings.ini"), u"Strings"_qs, u"s1"_qs, u"a9"_qs));
    showActive();
    typeInto(control<QComboBox>(form, "cmbStrs"), u"a"_s);
    EXPECT_EQ(setting("Strings", "s1"), u"a"_s);
    EXPECT_EQ(control<QComboBox>(form, "cmbStrs")->currentText(), u"a"_s);
    EXPECT_EQ(control<QComboBox>(form, "cmbStrs")->count(), 2); // the history still drops down

    typeInto(control<QComboBox>(form, "cmbSearch"), u"f"_s);
    EXPECT_EQ(control<QComboBox>(form, "cmbSearch")->currentText(), u"f"_s);
    EXPECT_EQ(control<QComboBox>(form, "cmbSearch")->count(), 9);
}

TEST_F(Form1FirstUseTest, HintsFollowThePointerAndShowWhole)
{
    showActive();
    pointAt(control<QLabel>(form, "Image2"));
    EXPECT_EQ(textOf(form, "lblmsg2"), u"Save Database File for Back-up"_s);
    EXPECT_EQ(control<QLabel>(form, "Image2")->frameShape(), QFrame::Box);
    pointAt(control<QLabel>(form, "LBLBACK"),
            QPoint(control<QLabel>(form, "Image1")->geometry().right() + 10, 4));
    EXPECT_EQ(textOf(form, "lblmsg2"), u"Save Database File for Back-up"_s);
    EXPECT_EQ(control<QLabel>(form, "Image2")->frameShape(), QFrame::NoFrame);
    pointAt(control<QLabel>(form, "Image3"));
    EXPECT_EQ(textOf(form, "lblmsg2"), u"Load Another Database File from System"_s);
    EXPECT_EQ(control<QLabel>(form, "Image3")->frameShape(), QFrame::Box);
    pointAt(&form, QPoint(form.width() - 4, form.height() - 4));
    EXPECT_EQ(textOf(form, "lblmsg2"), u"Welcome"_s);
    EXPECT_EQ(control<QLabel>(form, "Image3")->frameShape(), QFrame::NoFrame);

    for (const QString& hint : {u"Click To Add New CD or Loacal Disk To the Database"_qs,
                                u"Delete Selected CD Informaton from the Database"_qs,
                                u"Load Another Database File from System"_qs})
        EXPECT_LE(control<QLabel>(form, "lblmsg2")->fontMetrics().horizontalAdvance(hint),
                  control<QLabel>(form, "lblmsg2")->contentsRect().width())
            << hint.toStdString();
}

TEST_F(Form1FirstUseTest, AKeyOnTheSplashLeadsToTheCatalogueChosenThere)
{
    ASSERT_FALSE(catalogue::createEmptyCatalogue(appFile("other.db2")));
    catalogueSmallDisc(u"Other disc"_s, {}, "other.db2");
    chooser::frmLoading chooser(state, windows);
    app::frmSplash splash(state, windows);
    windows.showMain = [this] { form.showLoaded(); };
    windows.showChooser = [&] { chooser.showLoaded(); };
    splash.setLoaders([this] { form.Load(); }, [&] { chooser.Load(); });
    splash.showLoaded();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&splash));
    QTest::keyClick(&splash, Qt::Key_Space);
    ASSERT_TRUE(chooser.isVisible());

    QListWidget* files = chooser.File1;
    const auto found = files->findItems(u"other.db2"_s, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1);
    clickOn(files->viewport(), Qt::LeftButton, files->visualItemRect(found[0]).center());
    clickOn(chooser.cmdLoad);
    ASSERT_TRUE(form.isVisible());
    ASSERT_EQ(discList(form)->count(), 1);
    EXPECT_EQ(discList(form)->item(0)->text(), u"Other disc"_s);
    EXPECT_EQ(form.MyData().databaseName(), state.DBPath);
}

TEST_F(Form1FirstUseTest, TheAddedRoomGoesToTheListsAndIsRemembered)
{
    showActive();
    auto* grid = control<QTableView>(form, "MSFlexGrid1");
    QWidget* panel = control(form, "fraMore");
    QWidget* more = control(form, "cmdMore");
    const QSize design = form.size();
    const QRect designGrid = grid->geometry();
    const QRect list = discList(form)->geometry();
    const QRect add = control(form, "cmdAddCD")->geometry();
    QHeaderView* header = grid->horizontalHeader();
    const QSize wider(design.width() + header->length() - designGrid.width() + 300,
                      design.height() + 300);
    form.resize(wider);
    EXPECT_EQ(grid->width(), designGrid.width() + wider.width() - design.width());
    EXPECT_EQ(grid->height(), designGrid.height() + 200);
    EXPECT_EQ(discList(form)->height(), list.height() + 100);
    EXPECT_EQ(control(form, "cmdAddCD")->geometry(), add.translated(0, 300));
    // The last column stretches to the grid's right edge.
    const int last = header->count() - 1;
    EXPECT_EQ(header->sectionViewportPosition(last) + header->sectionSize(last),
              grid->viewport()->width());

    // "More..." opens above the grid, which keeps its bottom edge; closed, the window is as
    // it was.
    const QRect wideGrid = grid->geometry();
    clickOn(more);
    ASSERT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->geometry().topLeft(), wideGrid.topLeft());
    EXPECT_EQ(grid->geometry().bottom(), wideGrid.bottom());
    EXPECT_GT(grid->geometry().top(), panel->geometry().bottom());
    clickOn(more);
    EXPECT_FALSE(panel->isVisible());
    EXPECT_EQ(grid->geometry(), wideGrid);

    // The size and place are kept for the next showing.
    const QRect visible = form.screen()->availableGeometry();
    const QRect kept(visible.topLeft() + QPoint(0, 20), design + QSize(0, 100));
    form.setGeometry(kept);
    form.unload();
    EXPECT_EQ(setting("Window", "Height"), QString::number(kept.height()));
    app::Form1 again{state, windows};
    again.showLoaded();
    EXPECT_EQ(again.geometry(), kept);

    // A place off every screen comes back inside the visible one, at its edge.
    again.unload();
    ASSERT_TRUE(system::WriteINI(appFile("settings.ini"), u"Window"_qs, u"Left"_qs, u"-9000"_qs));
    again.showLoaded();
    EXPECT_EQ(again.geometry(), kept);
}
