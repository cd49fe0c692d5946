// The new-disc window around the run: its drive list, its boxes, the checks that refuse a
// title or a path before anything is written, closing, and its look.
#include "new_disc_fixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <optional>

using namespace Qt::StringLiterals;

namespace platterly::cataloguing::test {
namespace {

using NewDiscWindow = NewDiscTest;

TEST_F(NewDiscWindow, TheDrivesHoldingALabelledDiscAreListedAndScannedAgain)
{
    open();
    EXPECT_EQ(form->windowTitle(), u"Creat New CD From A CD Drive or From Local Disk");
    // D:, E: and F: are CD drives; only D: holds a disc with a label.
    ASSERT_EQ(form->Combo1->count(), 1);
    EXPECT_EQ(form->Combo1->itemText(0), u"D:\\  -  PHOTOS_2004");
    EXPECT_EQ(form->Combo1->currentText(), u"D:\\  -  PHOTOS_2004");
    EXPECT_EQ(form->txtPath->text(), u"D:\\");
    EXPECT_EQ(form->txtName->text(), u"PHOTOS_2004");
    EXPECT_EQ(form->Data().databaseName(), catalogueFile());
    EXPECT_EQ(form->LblPrompt->text(),
              u"INSERT CD IN CD DRIVE AND Select CD Drive And Give Appropriate Title to the CD "
              u"and Click Create CD Database");

    // Scanning again finds a disc put in since, and choosing it fills the boxes.
    typeTitle(u"My own title"_s);
    discInDriveF = true;
    const int readsBefore = driveReads;
    QTest::mouseClick(form->cmdScanDrives, Qt::LeftButton);
    EXPECT_EQ(driveReads, readsBefore + 1);
    ASSERT_EQ(form->Combo1->count(), 2);
    EXPECT_EQ(form->Combo1->itemText(1), u"F:\\  -  NEW_DISC");
    // The scan proposes the first drive again.
    EXPECT_EQ(form->txtName->text(), u"PHOTOS_2004");

    form->Combo1->setCurrentIndex(1);
    form->Combo1_Click();
    EXPECT_EQ(form->txtPath->text(), u"F:\\");
    EXPECT_EQ(form->txtName->text(), u"NEW_DISC");
    form->Combo1->setCurrentIndex(0);
    form->Combo1_Click();
    EXPECT_EQ(form->txtPath->text(), u"D:\\");
    EXPECT_EQ(form->txtName->text(), u"PHOTOS_2004");
}

TEST_F(NewDiscWindow, WithoutAnyLabelledDiscTheBoxesStayEmpty)
{
    form = std::make_unique<Form2>(state, windows, [] {
        return drives::DriveMap(drives::FixedVolumeSource(
            QByteArrayLiteral("22 1 8:2 / / rw,relatime shared:1 - ext4 /dev/sda2 rw\n")));
    });
    open();
    EXPECT_EQ(form->Combo1->count(), 0);
    EXPECT_TRUE(form->txtPath->text().isEmpty());
    EXPECT_TRUE(form->txtName->text().isEmpty());

    // Nothing to catalogue until a path is given.
    typeTitle(u"Nothing"_s);
    dialogs.answer(ui::Answer::Ok);
    clickGo();
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_TRUE(dialogs.shown()[0].text.contains(u"Selected Drive"_s));
}

TEST_F(NewDiscWindow, Check1UnlocksThePathBoxAndTheFolderButton)
{
    open();
    const auto background = [this] { return form->txtPath->palette().color(QPalette::Base); };
    EXPECT_FALSE(form->Check1->isChecked());
    EXPECT_TRUE(form->txtPath->isReadOnly());
    EXPECT_EQ(background(), QColor(224, 224, 224));
    EXPECT_FALSE(form->cmdSelDir->isEnabled());
    EXPECT_FALSE(form->cmdSelFile->isEnabled());
    QTest::keyClicks(form->txtPath, u"xyz"_s);
    EXPECT_EQ(form->txtPath->text(), u"D:\\");

    QTest::mouseClick(form->Check1, Qt::LeftButton);
    EXPECT_TRUE(form->Check1->isChecked());
    EXPECT_FALSE(form->txtPath->isReadOnly());
    EXPECT_EQ(background(), QColor(255, 255, 255));
    EXPECT_TRUE(form->cmdSelDir->isEnabled());
    QTest::keyClicks(form->txtPath, u"DATA"_s);
    EXPECT_EQ(form->txtPath->text(), u"D:\\DATA");
    QTest::mouseClick(form->Check1, Qt::LeftButton);
    EXPECT_TRUE(form->txtPath->isReadOnly());
    EXPECT_FALSE(form->cmdSelDir->isEnabled());
}

TEST_F(NewDiscWindow, RefusedTitlesAndPathsSaySoLeaveTheWindowAndWriteNothing)
{
    tree.addFile(u"data/notes.txt"_s, "text");
    open();
    typeTitle(u"12345678901234567890123456789"_s);
    EXPECT_EQ(form->txtName->text(), u"1234567890123456789012345"); // 25 characters at most
    typeTitle(u"Photos 2004"_s);
    clickGo();
    ASSERT_EQ(form->LblPrompt->text(), u"Finished");
    const QStringList before = snapshot();

    const QString exists = u"CD Title Already Exists Please Enter Another Title "_s;
    const QString noFolder = u"does not exist"_s;
    const QString noImage = u"cannot be read as a disc image or archive"_s;
    struct Case
    {
        QString title;
        QString path;    // empty: the drive proposed
        QString message; // the whole text, or part of it for a path
        std::optional<ui::Icon> icon;
    };
    const Case cases[] = {
        {QString(), {}, u"Enter CD Title"_s, {}},
        {u"PHOTOS 2004"_s, {}, exists, ui::Icon::Information},
        {u"Anything"_s, driveFormOf(u"data/MISSING"_s), noFolder, ui::Icon::Warning},
        {u"Anything"_s, tree.path(u"data/notes.txt"_s), noImage, ui::Icon::Warning},
        {u"Anything"_s, u"F:\\"_s, u"Drive F: holds no disc"_s, ui::Icon::Warning},
        {u"Anything"_s, u"Q:\\MUSIC"_s, u"There is no drive Q:"_s, ui::Icon::Warning},
    };
    for (const Case& each : cases) {
        SCOPED_TRACE((each.title + u' ' + each.path).toStdString());
        dialogs.clear();
        typeTitle(each.title);
        if (!each.path.isEmpty())
            typePath(each.path);
        const QString prompt = form->LblPrompt->text();
        dialogs.answer(ui::Answer::Ok);
        clickGo();
        ASSERT_EQ(dialogs.shown().size(), 1u);
        const ui::ShownDialog& shown = dialogs.shown()[0];
        if (each.path.isEmpty()) {
            EXPECT_EQ(shown.text, each.message);
            EXPECT_EQ(shown.caption, u"PLATTERLY");
            EXPECT_EQ(shown.buttons, ui::Buttons::Ok);
        } else {
            EXPECT_TRUE(shown.text.contains(each.message)) << shown.text.toStdString();
        }
        if (each.icon) {
            EXPECT_EQ(shown.icon, *each.icon);
        }
        // The refusal leaves the window as it was.
        EXPECT_EQ(form->LblPrompt->text(), prompt);
        EXPECT_TRUE(form->cmdGo->isEnabled());
    }
    EXPECT_EQ(snapshot(), before);
}

TEST_F(NewDiscWindow, ClosingByEitherWayShowsTheMainWindowAndLetsTheCatalogueGo)
{
    open();
    clickGo();
    ASSERT_EQ(form->LblPrompt->text(), u"Finished");
    ASSERT_NE(form->Data().recordset(), nullptr);
    EXPECT_EQ(mainShown, 0);
    QTest::mouseClick(form->cmdQuit, Qt::LeftButton);
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(form->isLoaded());
    EXPECT_EQ(mainShown, 1);
    EXPECT_EQ(form->Data().recordset(), nullptr);

    // The next showing loads afresh: a box changed before is proposed again.
    open();
    typeTitle(u"Changed"_s);
    QTest::mouseClick(form->Check1, Qt::LeftButton);
    form->close(); // the close box
    EXPECT_EQ(mainShown, 2);
    open();
    EXPECT_EQ(form->txtName->text(), u"PHOTOS_2004");
    EXPECT_EQ(form->LblPrompt->text(), kInstructionPrompt);
    EXPECT_FALSE(form->lblProgress->isVisible());
    EXPECT_FALSE(form->Check1->isChecked());
    EXPECT_TRUE(form->txtPath->isReadOnly());
}

TEST_F(NewDiscWindow, TextsAreTheProgramsOwnAndTabFollowsTheBoxes)
{
    open();
    EXPECT_EQ(form->Label3->text(), u"Select  CD Drive");
    EXPECT_EQ(form->Label1->text(), u"Selected Drive");
    EXPECT_EQ(form->Label2->text(), u"Name of The CD");
    EXPECT_EQ(form->cmdScanDrives->text(), u"&Scan Drives");
    EXPECT_EQ(form->cmdGo->text(), u"Create CD Database");
    EXPECT_EQ(form->cmdQuit->text(), u"&Close");
    EXPECT_EQ(form->Check1->text(),
              u"Other Than CD Path (To Select Drive or Directory Other than CD");
    EXPECT_EQ(form->Label4->text(), u"<<<HOLD SHIFT TO STOP CD AUTORUN>>>");
    EXPECT_EQ(form->Label4->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    // Tab leads from the drive list through the boxes to the buttons.
    EXPECT_EQ(form->Combo1->nextInFocusChain(), form->cmdScanDrives);
    EXPECT_EQ(form->txtPath->nextInFocusChain(), form->cmdSelFile);
    EXPECT_EQ(form->cmdSelFile->nextInFocusChain(), form->cmdSelDir);
    EXPECT_EQ(form->txtName->nextInFocusChain(), form->cmdGo);
}

} // namespace
} // namespace platterly::cataloguing::test
