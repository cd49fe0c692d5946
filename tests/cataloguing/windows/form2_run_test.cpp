// The cataloguing run started from the new-disc window: what it writes, the window during
// the run, Cancel, unreadable folders, and a run that fails.
#include "new_disc_fixture.h"
#include "support/disc_images.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <chrono>
#include <future>

namespace platterly::cataloguing::test {
namespace {

using namespace Qt::StringLiterals;

class NewDiscRun : public NewDiscTest
{
protected:
    void SetUp() override
    {
        NewDiscTest::SetUp();
        tree.addFile(u"data/A/one.txt"_s, "1");
        tree.addFile(u"data/B/two.mp3"_s, "2");
        tree.addFile(u"data/B/Deeper/README"_s, "3");
        tree.addFile(u"data/C/three.jpg"_s, "4");
        tree.addFile(u"data/top.doc"_s, "5");
        form->setFolderLister(&lister);
        open();
    }

    // Which of the controls that could change a run take input, whether Cancel shows and
    // whether the pointer is busy, with the prompt and the progress line.
    QString momentNow() const
    {
        QStringList on;
        for (QWidget* control :
             {static_cast<QWidget*>(form->cmdGo), static_cast<QWidget*>(form->cmdQuit),
              static_cast<QWidget*>(form->Check1), static_cast<QWidget*>(form->txtName),
              static_cast<QWidget*>(form->cmdSelDir)})
            if (control->isEnabled())
                on.append(control->objectName());
        const QCursor* pointer = QApplication::overrideCursor();
        return QStringList{on.join(u' '), form->cmdCancel->isVisible() ? u"Cancel"_s : QString(),
                           pointer && pointer->shape() == Qt::BusyCursor ? u"busy"_s : QString(),
                           form->LblPrompt->text(), form->lblProgress->text()}
            .join(u'|');
    }

    // When the run comes to list the folder B, `step` is posted to the window's thread and
    // the listing waits until it has run there. The window serves its events only while the
    // run reports progress, so whatever `step` does happens in the middle of the run.
    void duringTheRun(std::function<void()> step)
    {
        lister.beforeListing = [this, step](const QByteArray& path) {
            if (!path.endsWith("/data/B"))
                return;
            std::promise<void> done;
            std::future<void> ran = done.get_future();
            QMetaObject::invokeMethod(
                form.get(),
                [&] {
                    during = momentNow();
                    step();
                    done.set_value();
                },
                Qt::QueuedConnection);
            // A guard against a window that never serves its events: the test then fails
            // instead of hanging.
            stepRan = ran.wait_for(std::chrono::minutes(1)) == std::future_status::ready;
        };
    }

    void expectIdleWindow()
    {
        EXPECT_FALSE(form->isRunning());
        EXPECT_TRUE(form->cmdGo->isEnabled());
        EXPECT_TRUE(form->cmdQuit->isEnabled());
        EXPECT_TRUE(form->Check1->isEnabled());
        EXPECT_TRUE(form->txtName->isEnabled());
        EXPECT_EQ(form->cmdSelDir->isEnabled(), form->Check1->isChecked());
        EXPECT_FALSE(form->cmdCancel->isVisible());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }

    HookedLister lister;
    QString during;
    bool stepRan = false;
};

TEST_F(NewDiscRun, AFinishedRunWritesWhatTheRunItselfWritesForTheFolder)
{
    typePath(tree.path(u"data"_s));
    typeTitle(u"  Data disc "_s);
    clickGo();
    EXPECT_TRUE(dialogs.shown().empty()) << dialogs.shownTexts().join(u'\n').toStdString();
    EXPECT_EQ(form->LblPrompt->text(), u"Finished");
    EXPECT_EQ(form->lblProgress->text(), u"5 folders and 4 files recorded");
    expectIdleWindow();
    // The window keeps its boxes for the next disc.
    EXPECT_EQ(form->txtName->text(), u"  Data disc ");
    EXPECT_EQ(form->txtPath->text(), tree.path(u"data"_s));

    // The same folder catalogued by the run alone, into a second catalogue.
    const QString reference = tree.path(u"reference.db2"_s);
    ASSERT_FALSE(catalogue::createEmptyCatalogue(reference));
    {
        sql::DataControl data;
        data.setDatabaseName(reference);
        const CataloguingRequest request{
            u"Data disc"_s, tree.path(u"data"_s), driveFormOf(u"data"_s), {}};
        ASSERT_EQ(runCataloguing(data, request).outcome, RunOutcome::Finished);
    }
    form->Data().close();
    EXPECT_EQ(snapshot(), snapshotOf(reference));
}

TEST_F(NewDiscRun, CancelOrTheCloseBoxDuringTheRunRollsBack)
{
    typePath(tree.path(u"data"_s));
    typeTitle(u"Stopped"_s);
    const QStringList before = snapshot();
    duringTheRun([this] { QTest::mouseClick(form->cmdCancel, Qt::LeftButton); });
    dialogs.answer(ui::Answer::Ok);
    clickGo();
    ASSERT_TRUE(stepRan);

    // During the run: everything that could change it is off, Cancel is there, the pointer
    // is busy and the prompt says what is going on.
    EXPECT_TRUE(during.startsWith(u"|Cancel|busy|Processing drive...|"_s)) << during.toStdString();
    EXPECT_TRUE(during.contains(u"entries recorded"_s)) << during.toStdString();

    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown()[0].text,
              u"Cataloguing was cancelled: nothing was added to the catalogue.");
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(form->LblPrompt->text(), kInstructionPrompt);
    EXPECT_FALSE(form->lblProgress->isVisible());
    expectIdleWindow();
    EXPECT_TRUE(form->isVisible());

    // The close box during the run cancels it too (the title is not taken, so the run
    // starts), then closes the window.
    stepRan = false;
    duringTheRun([this] { form->close(); });
    dialogs.answer(ui::Answer::Ok);
    clickGo();
    ASSERT_TRUE(stepRan);
    EXPECT_EQ(dialogs.shown().size(), 2u);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(mainShown, 1);
    EXPECT_EQ(snapshot(), before);
}

TEST_F(NewDiscRun, UnreadableFoldersAreNamedAfterAFinishedRun)
{
    lister.failing = {"/data/B"};
    typePath(tree.path(u"data"_s));
    typeTitle(u"Partly"_s);
    dialogs.answer(ui::Answer::Ok);
    clickGo();
    EXPECT_EQ(form->LblPrompt->text(), u"Finished");
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown()[0].icon, ui::Icon::Warning);
    EXPECT_EQ(dialogs.shown()[0].text,
              QStringLiteral("1 folder could not be read. It is in the catalogue, without its "
                             "contents:\n\n") +
                  driveFormOf(u"data/B"_s) + u"\\ (Permission denied)"_s);
    // B itself is recorded; two.mp3, Deeper and README are not.
    EXPECT_EQ(form->lblProgress->text(), u"3 folders and 3 files recorded");

    // Many unreadable folders: all are counted, the first few named.
    for (int i = 1; i <= 7; ++i)
        tree.addFile(u"many/F%1/x.txt"_s.arg(i));
    lister.failing = {"/F1", "/F2", "/F3", "/F4", "/F5", "/F6", "/F7"};
    typePath(tree.path(u"many"_s));
    typeTitle(u"Many"_s);
    dialogs.clear();
    dialogs.answer(ui::Answer::Ok);
    clickGo();
    ASSERT_EQ(dialogs.shown().size(), 1u);
    const QString text = dialogs.shown()[0].text;
    EXPECT_TRUE(text.startsWith(u"7 folders could not be read."_s)) << text.toStdString();
    EXPECT_TRUE(text.contains(driveFormOf(u"many/F5"_s)));
    EXPECT_FALSE(text.contains(driveFormOf(u"many/F6"_s)));
    EXPECT_TRUE(text.endsWith(u"... and 2 more."_s));
}

TEST_F(NewDiscRun, AFailedRunRestoresTheWindowAndSaysWhyWithoutFinished)
{
    // A catalogue that has lost its totals row cannot take the disc's counts.
    {
        sql::SqlError error;
        auto db = sql::Database::open(catalogueFile(), &error);
        ASSERT_TRUE(db);
        ASSERT_FALSE(db->exec(u"DELETE FROM TOTALS"_s));
    }
    const QStringList before = snapshot();
    typePath(tree.path(u"data"_s));
    typeTitle(u"Lost"_s);
    dialogs.answer(ui::Answer::Ok);
    clickGo();
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown()[0].icon, ui::Icon::Critical);
    EXPECT_TRUE(dialogs.shown()[0].text.contains(u"totals row"_s))
        << dialogs.shown()[0].text.toStdString();
    EXPECT_NE(form->LblPrompt->text(), u"Finished");
    EXPECT_EQ(form->LblPrompt->text(), kInstructionPrompt);
    expectIdleWindow();
    EXPECT_EQ(snapshot(), before);
}

TEST_F(NewDiscRun, AnImageChosenOrTypedIsCataloguedAsADiscUnderItsLabel)
{
    platterly::test::addDiscContents(tree, u"disc"_s);
    const QString iso = tree.path(u"photos.iso"_s);
    if (const QString error = platterly::test::makeIso(tree.path(u"disc"_s), iso, u"MY PHOTOS"_s);
        !error.isEmpty())
        GTEST_SKIP() << error.toStdString();
    ASSERT_EQ(platterly::test::makeZip(tree.path(u"disc"_s), tree.path(u"backup.zip"_s)),
              QString());

    QTest::mouseClick(form->Check1, Qt::LeftButton);
    ASSERT_TRUE(form->cmdSelFile->isEnabled());
    dialogs.chooseFile(iso);
    QTest::mouseClick(form->cmdSelFile, Qt::LeftButton);
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown()[0].kind, ui::ShownDialog::Kind::File);
    EXPECT_EQ(form->txtPath->text(), driveFormOf(u"photos.iso"_s));
    EXPECT_EQ(form->txtName->text(), u"MY PHOTOS");
    clickGo();
    EXPECT_EQ(dialogs.shown().size(), 1u) << dialogs.shownTexts().join(u'\n').toStdString();
    EXPECT_EQ(form->LblPrompt->text(), u"Finished");
    EXPECT_EQ(form->lblProgress->text(), u"7 folders and 9 files recorded");

    // Typed, an archive proposes its file name when the path box is left.
    typePath(tree.path(u"backup.zip"_s));
    QTest::keyClick(form->txtPath, Qt::Key_Return);
    EXPECT_EQ(form->txtName->text(), u"backup");
}

} // namespace
} // namespace platterly::cataloguing::test
