#include "platform/system/native_name.h"
#include "platform/ui/shell_opener.h"
#include "platform/ui/ui_test_support.h"
#include "support/temp_tree.h"

#include <QFile>
#include <gtest/gtest.h>

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

    EXPECT_FALSE(opener.open(tree.path(QStringLiteral("missing.txt"))));
    EXPECT_FALSE(opener.open(tree.path(QStringLiteral("missing/"))));
    EXPECT_FALSE(opener.open(QString()));
    EXPECT_FALSE(opener.openUrl(QUrl::fromLocalFile(tree.path(QStringLiteral("help.pdf")))));
    EXPECT_TRUE(desktop.launched.isEmpty());
    EXPECT_TRUE(desktop.askedTypes.isEmpty());

    // The real desktop opener refuses it the same way, before anything is started.
    DesktopShellOpener real;
    EXPECT_FALSE(real.open(tree.path(QStringLiteral("missing.txt"))));
}

TEST(DesktopShellOpener, AFileNamedByBytesThatAreNotUtf8GoesToTheDesktopByThoseBytes)
{
    TempTree tree;
    tree.addFolder(QStringLiteral("d"));
    const QByteArray path = tree.addRawFile(QStringLiteral("d"), "caf\xe9.txt");
    FakeDesktop desktop;
    EXPECT_TRUE(desktop.opener().open(system::textFromNativeBytes(path)));
    ASSERT_EQ(desktop.launched.size(), 1);
    EXPECT_EQ(desktop.launched[0].toEncoded(), "file://" + path.toPercentEncoding("/"));
    EXPECT_EQ(desktop.askedTypes, QStringList{QStringLiteral("text/plain")});
}

TEST(DesktopShellOpener, HandsAFileWhoseTypeHasAProgramToTheDesktopAndReportsItsAnswer)
{
    TempTree tree;
    tree.addFile(QStringLiteral("docs/a.txt"), "text");
    tree.addFile(QStringLiteral("data.pdf"), "%PDF-1.4\n");
    const QString file = tree.path(QStringLiteral("docs/a.txt"));
    const QString pdf = tree.path(QStringLiteral("data.pdf"));
    FakeDesktop desktop;
    DesktopShellOpener opener = desktop.opener();

    EXPECT_TRUE(opener.open(file));
    ASSERT_EQ(desktop.launched.size(), 1);
    EXPECT_EQ(desktop.launched[0], QUrl::fromLocalFile(file));
    // The desktop's own refusal is passed on.
    desktop.launchAnswer = false;
    EXPECT_FALSE(opener.open(file));
    EXPECT_EQ(desktop.launched.size(), 2);

    desktop.launchAnswer = true;
    desktop.handlerAnswer = false;
    EXPECT_FALSE(opener.open(pdf));
    EXPECT_EQ(desktop.launched.size(), 2);
    EXPECT_EQ(desktop.askedTypes,
              (QStringList{QStringLiteral("text/plain"), QStringLiteral("text/plain"),
                           QStringLiteral("application/pdf")}));
    // When the handler check cannot tell, the desktop's answer decides.
    desktop.handlerAnswer.reset();
    EXPECT_TRUE(opener.open(pdf));
    desktop.handlerAnswer = true;
    EXPECT_TRUE(opener.openUrl(QUrl::fromLocalFile(pdf)));
    EXPECT_EQ(desktop.launched.size(), 4);
}

TEST(DesktopShellOpener, OpensFoldersAndOtherAddressesWithoutAHandlerCheck)
{
    TempTree tree;
    tree.addFolder(QStringLiteral("PHOTOS/2004"));
    FakeDesktop desktop;
    desktop.handlerAnswer = false;
    DesktopShellOpener opener = desktop.opener();

    EXPECT_TRUE(opener.open(tree.path(QStringLiteral("PHOTOS/2004/"))));
    EXPECT_TRUE(opener.openUrl(QUrl(QStringLiteral("https://example.org/help"))));
    EXPECT_FALSE(opener.openUrl(QUrl()));
    EXPECT_TRUE(desktop.askedTypes.isEmpty());
    ASSERT_EQ(desktop.launched.size(), 2);
    EXPECT_EQ(desktop.launched[0], QUrl::fromLocalFile(tree.path(QStringLiteral("PHOTOS/2004"))));
    EXPECT_EQ(desktop.launched[1], QUrl(QStringLiteral("https://example.org/help")));
}

// A stand-in for xdg-mime: a shell script that notes its arguments and answers as told.
QString fakeXdgMime(TempTree& tree, const QByteArray& body)
{
    tree.addFile(QStringLiteral("xdg-mime"), "#!/bin/sh\n"
                                             "echo \"$@\" > \"$(dirname \"$0\")/arguments\"\n" +
                                                 body);
    const QString path = tree.path(QStringLiteral("xdg-mime"));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

TEST(DesktopHandlerQuery, ReadsTheAnswerOfXdgMime)
{
    TempTree tree;
    const QString named = fakeXdgMime(tree, "echo org.gnome.Evince.desktop\n");
    EXPECT_EQ(desktopHasHandlerFor(QStringLiteral("application/pdf"), named), true);
    QFile arguments(tree.path(QStringLiteral("arguments")));
    ASSERT_TRUE(arguments.open(QIODevice::ReadOnly));
    EXPECT_EQ(arguments.readAll().trimmed(), QByteArray("query default application/pdf"));

    const QString silent = fakeXdgMime(tree, "echo\n");
    EXPECT_EQ(desktopHasHandlerFor(QStringLiteral("application/x-foo"), silent), false);

    const QString failing = fakeXdgMime(tree, "echo trouble >&2\nexit 4\n");
    EXPECT_EQ(desktopHasHandlerFor(QStringLiteral("application/pdf"), failing), std::nullopt);

    EXPECT_EQ(desktopHasHandlerFor(QStringLiteral("application/pdf"),
                                   tree.path(QStringLiteral("no-such-program"))),
              std::nullopt);
    EXPECT_EQ(desktopHasHandlerFor(QString(), named), std::nullopt);
}

} // namespace
} // namespace platterly::ui
