// PropertyBag: named values with defaults left out, and the layout file a window keeps its
// controls' bags in.
#include "controls/button.h"
#include "controls/property_bag.h"
#include "support/temp_tree.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

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
    const QString path = folder.path(u"Form1.layout"_s);
    PropertyBag layout;
    layout.write(u"Title"_s, u"Quenlo Platterly"_s, {});
    PropertyBag& add = layout.section(u"cmdAddCD"_s);
    add.write(u"Caption"_s, u"&ADD New CD"_s, {});
    add.write(u"ForeColor"_s, 0x80000012u, 0u);
    PropertyBag& quit = layout.section(u"CmdQuit"_s);
    const QString awkward = u"  a=b\\c\nline two\r\u00e9\u4e2d [x] #  "_s;
    quit.write(u"Caption"_s, awkward, {});
    quit.write(u"Empty"_s, QString(), u"x"_s);
    quit.section(u"inner"_s).write(u"Deep"_s, 1, 0);
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
    read.write(u"Stale"_s, 1, 0);
    ASSERT_FALSE(read.readFile(path));
    EXPECT_EQ(read.names(), QStringList{u"Title"_qs});
    EXPECT_EQ(read.sectionNames(), (QStringList{u"cmdAddCD"_qs, u"CmdQuit"_qs}));
    EXPECT_EQ(read.section(u"CmdQuit"_s).read(u"Caption"_s, {}).toString(), awkward);
    EXPECT_EQ(read.findSection(u"cmdDelete"_s), nullptr);
    // Written again, what was read gives the same file, the empty text and the deeper
    // section included.
    const QString again = folder.path(u"again.layout"_s);
    ASSERT_FALSE(read.writeFile(again));
    EXPECT_EQ(fileContents(again), fileContents(path));
}

TEST(PropertyBag, ProblemsComeBackAsErrorsAndLeaveTheBagAlone)
{
    TempTree folder;
    PropertyBag bag;
    bag.write(u"Caption"_s, u"kept"_s, {});

    const QString missing = folder.path(u"none.layout"_s);
    const controls::BagFileError notFound = bag.readFile(missing);
    ASSERT_TRUE(notFound);
    EXPECT_TRUE(notFound.message.contains(missing)) << notFound.message.toStdString();

    folder.addFile(u"bad.layout"_s, "[ok]\nA=1\nno equals sign\n");
    const controls::BagFileError malformed = bag.readFile(folder.path(u"bad.layout"_s));
    ASSERT_TRUE(malformed);
    EXPECT_TRUE(malformed.message.contains(u"line 3"_s)) << malformed.message.toStdString();
    folder.addFile(u"section.layout"_s, "[open\n");
    EXPECT_TRUE(bag.readFile(folder.path(u"section.layout"_s)));
    EXPECT_EQ(bag.names(), QStringList{u"Caption"_qs});
    EXPECT_TRUE(bag.sectionNames().isEmpty());

    EXPECT_TRUE(bag.writeFile(folder.path(u"no/such/folder/x.layout"_s)));
    PropertyBag badName;
    badName.write(u"A=B"_s, 1, 0);
    EXPECT_TRUE(badName.writeFile(folder.path(u"x.layout"_s)));
    PropertyBag badSection;
    badSection.section(u"a/b"_s);
    EXPECT_TRUE(badSection.writeFile(folder.path(u"x.layout"_s)));
    EXPECT_FALSE(QFile::exists(folder.path(u"x.layout"_s)));
}

TEST(PropertyBag, ButtonsComeBackFromTheWindowsLayoutFileAsTheyWereSaved)
{
    using controls::Button;
    TempTree folder;
    const QString path = folder.path(u"Form1.layout"_s);
    Button add(u"cmdAddCD"_s, nullptr, controls::HostMode::Designing);
    Button quit(u"CmdQuit"_s, nullptr, controls::HostMode::Designing);
    add.setCaption(u"&ADD New CD"_s);
    quit.setCaption(u"&Quit"_s);
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
    Button addAgain(u"cmdAddCD"_s);
    Button quitAgain(u"CmdQuit"_s);
    addAgain.load(*read.findSection(u"cmdAddCD"_s));
    quitAgain.load(*read.findSection(u"CmdQuit"_s));
    EXPECT_EQ(addAgain.caption(), u"&ADD New CD"_s);
    EXPECT_EQ(addAgain.foreColor(), controls::kSystemButtonText);
    EXPECT_FALSE(addAgain.isBold());
    EXPECT_EQ(addAgain.fontSize(), 8);
    EXPECT_EQ(quitAgain.caption(), u"&Quit"_s);
    EXPECT_TRUE(quitAgain.isBold());
    EXPECT_EQ(quitAgain.fontSize(), 11);
    EXPECT_EQ(quitAgain.foreColor(), 0x123456u);
}

} // namespace
} // namespace platterly::test
