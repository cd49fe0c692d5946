#include "platform/ui/shell_opener.h"

#include "platform/system/native_name.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <sys/stat.h>
#include <utility>

namespace platterly::ui {

namespace {

ShellOpener* g_installed = nullptr;

ShellOpener& realOpener()
{
    static DesktopShellOpener instance;
    return instance;
}

// xdg-mime reads a few small files; a query that takes longer than this has hung.
constexpr int kQueryLimitMs = 5000;

} // namespace

ShellOpener& shellOpener()
{
    return g_installed ? *g_installed : realOpener();
}

ShellOpener* setShellOpener(ShellOpener* replacement)
{
    return std::exchange(g_installed, replacement);
}

std::optional<bool> desktopHasHandlerFor(const QString& mimeType, const QString& xdgMime)
{
    const QString program =
        xdgMime.isEmpty() ? QStandardPaths::findExecutable(QStringLiteral("xdg-mime")) : xdgMime;
    if (program.isEmpty() || mimeType.isEmpty())
        return std::nullopt;

    QProcess query;
    query.setProcessChannelMode(QProcess::SeparateChannels);
    query.start(program, {QStringLiteral("query"), QStringLiteral("default"), mimeType});
    if (!query.waitForStarted(kQueryLimitMs))
        return std::nullopt;
    query.closeWriteChannel();
    if (!query.waitForFinished(kQueryLimitMs)) {
        query.kill();
        query.waitForFinished(kQueryLimitMs);
        return std::nullopt;
    }
    if (query.exitStatus() != QProcess::NormalExit || query.exitCode() != 0)
        return std::nullopt;
    // The answer is the name of the handler's .desktop file, or nothing at all.
    return !query.readAllStandardOutput().trimmed().isEmpty();
}

DesktopShellOpener::DesktopShellOpener()
    : DesktopShellOpener([](const QUrl& url) { return QDesktopServices::openUrl(url); },
                         [](const QString& mimeType) { return desktopHasHandlerFor(mimeType); })
{
}

DesktopShellOpener::DesktopShellOpener(Launcher launcher, HandlerCheck handlerCheck)
    : m_launch(std::move(launcher)), m_hasHandler(std::move(handlerCheck))
{
}

bool DesktopShellOpener::open(const QString& nativePath)
{
    if (nativePath.isEmpty())
        return false;
    if (system::holdsEscapedBytes(nativePath))
        return openByBytes(nativePath);
    const QFileInfo entry(nativePath);
    if (!entry.exists())
        return false;
    if (!entry.isDir() && m_hasHandler) {
        const QString mimeType = QMimeDatabase().mimeTypeForFile(entry).name();
        if (m_hasHandler(mimeType) == false)
            return false;
    }
    // cleanPath drops the final separator of a folder typed as "PHOTOS/2004/", which some
    // file managers would take for an empty name inside it.
    return m_launch && m_launch(QUrl::fromLocalFile(QDir::cleanPath(entry.absoluteFilePath())));
}

bool DesktopShellOpener::openByBytes(const QString& nativePath)
{
    // Qt's file functions would encode the name as UTF-8 and miss the file: the system is
    // asked with its bytes, and the address carries them percent-encoded.
    const QString clean = QDir::cleanPath(nativePath);
    const QByteArray bytes = system::nativeBytesFromText(clean);
    struct stat info;
    if (!clean.startsWith(u'/') || ::stat(bytes.constData(), &info) != 0)
        return false;
    if (!S_ISDIR(info.st_mode) && m_hasHandler) {
        const QString mimeType =
            QMimeDatabase()
                .mimeTypeForFile(system::displayedText(clean), QMimeDatabase::MatchExtension)
                .name();
        if (m_hasHandler(mimeType) == false)
            return false;
    }
    const QUrl url = QUrl::fromEncoded("file://" + bytes.toPercentEncoding("/"));
    return m_launch && m_launch(url);
}

bool DesktopShellOpener::openUrl(const QUrl& url)
{
    if (url.isLocalFile())
        return open(url.toLocalFile());
    return url.isValid() && m_launch && m_launch(url);
}

} // namespace platterly::ui
