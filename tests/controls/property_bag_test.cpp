// PropertyBag: named values with defaults left out, and the layout file a window keeps its
// controls' bags in.
#include "controls/button.h"
#include "controls/property_bag.h"
#include "support/temp_tree.h"

#include <QFile>
#include <gtest/gtest.h>

namespace platterly::test {
namespace {

using controls::PropertyBag;

QByteArray fileContents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(PropertyBag, LayoutFileKeepsSectionsOrderAndAwkwardTexts)
{
    TempTree folder;
    const QString path = folder.path(QStringLiteral("Form1.layout"));
    PropertyBag layout;
    layout.write(QStringLiteral("Title"), QStringLiteral("Quenlo Platterly"), {});
    PropertyBag& add = layout.section(QStringLiteral("cmdAddCD"));
    add.write(QStringLiteral("Caption"), QStringLiteral("&ADD New CD"), {});
    add.write(QStringLiteral("ForeColor"), 0x80000012u, 0u);
    PropertyBag& quit = layout.section(QStringLiteral("CmdQuit"));
    const QString awkward = QStringLiteral("  a=b\\c\nline two\r\u00e9\u4e2d [x] #  ");
    quit.write(QStringLiteral("Caption"), awkward, {});
    quit.write(QStringLiteral("Empty"), QString(), QStringLiteral("x"));
    quit.section(QStringLiteral("inner")).write(QStringLiteral("Deep"), 1, 0);
    ASSERT_FALSE(layout.writeFile(path));

    EXPECT_EQ(fileContents(path),
              QByteArray("Title=Quenlo Platterly\n"
                         "[cmdAddCD]\n"
                         "Caption=&ADD New CD\n"
                         "ForeColor=2147483666\n"
                         "[CmdQuit]\n"
                         "Caption=  a=b\\\\c\\nline two\\r\xc3\xa9\xe4\xb8\xad [x] #  \n"
                         "Empty=\n"
                         "[CmdQuit/inner]\n"
                         "Deep=1\n"));

    PropertyBag read;
    read.write(QStringLiteral("Stale"), 1, 0);
    ASSERT_FALSE(read.readFile(path));
    EXPECT_EQ(read.names(), QStringList{u"Title"_qs});
    EXPECT_EQ(read.sectionNames(), (QStringList{u"cmdAddCD"_qs, u"CmdQuit"_qs}));
    EXPECT_EQ(
        read.section(QStringLiteral("CmdQuit")).read(QStringLiteral("Caption"), {}).toString(),
        awkward);
    EXPECT_EQ(read.findSection(QStringLiteral("cmdDelete")), nullptr);
    // Written again, what was read gives the same file, the empty text and the deeper
    // section included.
    const QString again = folder.path(QStringLiteral("again.layout"));
    ASSERT_FALSE(read.writeFile(again));
    EXPECT_EQ(fileContents(again), fileContents(path));
}

TEST(PropertyBag, ProblemsComeBackAsErrorsAndLeaveTheBagAlone)
{
    TempTree folder;
    PropertyBag bag;
    bag.write(QStringLiteral("Caption"), QStringLiteral("kept"), {});

    const QString missing = folder.path(QStringLiteral("none.layout"));
    const controls::BagFileError notFound = bag.readFile(missing);
    ASSERT_TRUE(notFound);
    EXPECT_TRUE(notFound.message.contains(missing)) << notFound.message.toStdString();

    folder.addFile(QStringLiteral("bad.layout"), "[ok]\nA=1\nno equals sign\n");
    const controls::BagFileError malformed =
        bag.readFile(folder.path(QStringLiteral("bad.layout")));
    ASSERT_TRUE(malformed);
    EXPECT_TRUE(malformed.message.contains(QStringLiteral("line 3")))
        << malformed.message.toStdString();
    folder.addFile(QStringLiteral("section.layout"), "[open\n");
    EXPECT_TRUE(bag.readFile(folder.path(QStringLiteral("section.layout"))));
    EXPECT_EQ(bag.names(), QStringList{u"Caption"_qs});
    EXPECT_TRUE(bag.sectionNames().isEmpty());

    EXPECT_TRUE(bag.writeFile(folder.path(QStringLiteral("no/such/folder/x.layout"))));
    PropertyBag badName;
    badName.write(QStringLiteral("A=B"), 1, 0);
    EXPECT_TRUE(badName.writeFile(folder.path(QStringLiteral("x.layout"))));
    PropertyBag badSection;
    badSection.section(QStringLiteral("a/b"));
    EXPECT_TRUE(badSection.writeFile(folder.path(QStringLiteral("x.layout"))));
    EXPECT_FALSE(QFile::exists(folder.path(QStringLiteral("x.layout"))));
}

TEST(PropertyBag, ButtonsComeBackFromTheWindowsLayoutFileAsTheyWereSaved)
{
    using controls::Button;
    TempTree folder;
    const QString path = folder.path(QStringLiteral("Form1.layout"));
    Button add(QStringLiteral("cmdAddCD"), nullptr, controls::HostMode::Designing);
    Button quit(QStringLiteral("CmdQuit"), nullptr, controls::HostMode::Designing);
    add.setCaption(QStringLiteral("&ADD New CD"));
    quit.setCaption(QStringLiteral("&Quit"));
    quit.setBold(true);
    quit.setFontSize(11);
    quit.setForeColor(0x123456);

    PropertyBag layout;
    add.save(layout.section(add.objectName()));
    quit.save(layout.section(quit.objectName()));
    // What is left at its default is not stored.
    EXPECT_EQ(layout.section(add.objectName()).names(),
              (QStringList{u"Caption"_qs, u"ForeColor"_qs}));
    ASSERT_FALSE(layout.writeFile(path));

    PropertyBag read;
    ASSERT_FALSE(read.readFile(path));
    Button addAgain(QStringLiteral("cmdAddCD"));
    Button quitAgain(QStringLiteral("CmdQuit"));
    addAgain.load(*read.findSection(QStringLiteral("cmdAddCD")));
    quitAgain.load(*read.findSection(QStringLiteral("CmdQuit")));
    EXPECT_EQ(addAgain.caption(), QStringLiteral("&ADD New CD"));
    EXPECT_EQ(addAgain.foreColor(), controls::kSystemButtonText);
    EXPECT_FALSE(addAgain.isBold());
    EXPECT_EQ(addAgain.fontSize(), 8);
    EXPECT_EQ(quitAgain.caption(), QStringLiteral("&Quit"));
    EXPECT_TRUE(quitAgain.isBold());
    EXPECT_EQ(quitAgain.fontSize(), 11);
    EXPECT_EQ(quitAgain.foreColor(), 0x123456u);
}

} // namespace
} // namespace platterly::test
