#include "platform/system/native_name.h"
#include "platform/ui/shell_opener.h"
#include "platform/ui/ui_test_support.h"
#include "support/temp_tree.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace platterly::ui {
namespace {

using test::TempTree;

// A desktop that records what it was asked to start and answers as told, so the opener's
// decisions can be checked without starting any program.
struct FakeDesktop
{
    bool launchAnswer = true;
    std::optional<bool> handlerAnswer;
    QList<QUrl> launched;
    QStringList askedTypes;

    DesktopShellOpener opener()
    {
        return DesktopShellOpener(
            [this](const QUrl& url) {
                launched.append(url);
                return launchAnswer;
            },
            [this](const QString& mimeType) {
                askedTypes.append(mimeType);
                return handlerAnswer;
            });
    }
};

TEST(DesktopShellOpener, RefusesAPathThatDoesNotExistWithoutAskingTheDesktop)
{
    TempTree tree;
    FakeDesktop desktop;
    DesktopShellOpener opener = desktop.opener();

    EXPECT_FALSE(opener.open(tree.path(u"missing.txt"_s)));
    EXPECT_FALSE(opener.openUrl(QUrl::fromLocalFile(tree.path(u"help.pdf"_s))));
    EXPECT_TRUE(desktop.launched.isEmpty());
    EXPECT_TRUE(desktop.askedTypes.isEmpty());

    // The real desktop opener refuses it the same way, before anything is started.
    DesktopShellOpener real;
    EXPECT_FALSE(real.open(tree.path(u"missing.txt"_s)));
}

TEST(DesktopShellOpener, AFileNamedByBytesThatAreNotUtf8GoesToTheDesktopByThoseBytes)
{
    TempTree tree;
    tree.addFolder(u"d"_s);
    const QByteArray path = tree.addRawFile(u"d"_s, "caf\xe9.txt");
    FakeDesktop desktop;
    EXPECT_TRUE(desktop.opener().open(system::textFromNativeBytes(path)));
    ASSERT_EQ(desktop.launched.size(), 1);
    EXPECT_EQ(desktop.launched[0].toEncoded(), "file://" + path.toPercentEncoding("/"));
    EXPECT_EQ(desktop.askedTypes, QStringList{u"text/plain"_s});
}

TEST(DesktopShellOpener, HandsAFileWhoseTypeHasAProgramToTheDesktopAndReportsItsAnswer)
{
    TempTree tree;
    tree.addFile(u"data.pdf"_s, "%PDF-1.4\n");
    const QString pdf = tree.path(u"data.pdf"_s);
    FakeDesktop desktop;
    DesktopShellOpener opener = desktop.opener();

    desktop.handlerAnswer = false;
    EXPECT_FALSE(opener.open(pdf));
    EXPECT_TRUE(desktop.launched.isEmpty());
    EXPECT_EQ(desktop.askedTypes, QStringList{u"application/pdf"_s});
    // When the handler check cannot tell, the desktop's answer decides; its own refusal is
    // passed on.
    desktop.handlerAnswer.reset();
    EXPECT_TRUE(opener.open(pdf));
    desktop.launchAnswer = false;
    desktop.handlerAnswer = true;
    EXPECT_FALSE(opener.openUrl(QUrl::fromLocalFile(pdf)));
    EXPECT_EQ(desktop.launched, (QList<QUrl>{QUrl::fromLocalFile(pdf), QUrl::fromLocalFile(pdf)}));
}

TEST(DesktopShellOpener, OpensFoldersAndOtherAddressesWithoutAHandlerCheck)
{
    TempTree tree;
    tree.addFolder(u"PHOTOS/2004"_s);
    FakeDesktop desktop;
    desktop.handlerAnswer = false;
    DesktopShellOpener opener = desktop.opener();

    EXPECT_TRUE(opener.open(tree.path(u"PHOTOS/2004/"_s)));
    EXPECT_TRUE(opener.openUrl(QUrl(u"https://example.org/help"_s)));
    EXPECT_TRUE(desktop.askedTypes.isEmpty());
    ASSERT_EQ(desktop.launched.size(), 2);
    EXPECT_EQ(desktop.launched[0], QUrl::fromLocalFile(tree.path(u"PHOTOS/2004"_s)));
    EXPECT_EQ(desktop.launched[1], QUrl(u"https://example.org/help"_s));
}

// A stand-in for xdg-mime: a shell script that notes its arguments and answers as told.
QString fakeXdgMime(TempTree& tree, const QByteArray& body)
{
    tree.addFile(u"xdg-mime"_s, "#!/bin/sh\n"
                                "echo \"$@\" > \"$(dirname \"$0\")/arguments\"\n" +
                                    body);
    const QString path = tree.path(u"xdg-mime"_s);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

TEST(DesktopHandlerQuery, ReadsTheAnswerOfXdgMime)
{
    TempTree tree;
    const QString named = fakeXdgMime(tree, "echo org.gnome.Evince.desktop\n");
    EXPECT_EQ(desktopHasHandlerFor(u"application/pdf"_s, named), true);
    QFile arguments(tree.path(u"arguments"_s));
    ASSERT_TRUE(arguments.open(QIODevice::ReadOnly));
    EXPECT_EQ(arguments.readAll().trimmed(), QByteArray("query default application/pdf"));

    const QString silent = fakeXdgMime(tree, "echo\n");
    EXPECT_EQ(desktopHasHandlerFor(u"application/x-foo"_s, silent), false);

    const QString failing = fakeXdgMime(tree, "echo trouble >&2\nexit 4\n");
    EXPECT_EQ(desktopHasHandlerFor(u"application/pdf"_s, failing), std::nullopt);

    EXPECT_EQ(desktopHasHandlerFor(u"application/pdf"_s, tree.path(u"no-such-program"_s)),
              std::nullopt);
    EXPECT_EQ(desktopHasHandlerFor(QString(), named), std::nullopt);
}

} // namespace
} // namespace platterly::ui
