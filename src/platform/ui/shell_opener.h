#pragma once

#include <QString>
#include <QUrl>
#include <functional>
#include <optional>

namespace platterly::ui {

// Hands files, folders and addresses to the program the desktop associates with them: a file
// to its viewer or editor, a folder to the file manager. The answer is true only when the
// path really went to a program; a caller that gets false tells the user (for a catalogued
// file: insert the disc).
class ShellOpener
{
public:
    virtual ~ShellOpener() = default;

    // Opens a file or folder given as a native path of this system, in the text form of
    // native names (platform/system/native_name.h).
    virtual bool open(const QString& nativePath) = 0;
    // Opens an address; a "file:///" address is a local file like open()'s.
    virtual bool openUrl(const QUrl& url) = 0;
};

// The opener the program uses now: the one installed with setShellOpener(), or else the
// desktop's.
ShellOpener& shellOpener();

// Installs `replacement` as the process-wide opener (nullptr goes back to the desktop's)
// and returns the one installed before (nullptr for the desktop's). The caller keeps
// ownership.
ShellOpener* setShellOpener(ShellOpener* replacement);

// Whether the desktop has a program for files of `mimeType`, asked of `xdg-mime query
// default` (the program at `xdgMime`, or found on the search path when empty). Nothing when
// the question cannot be asked or gets no clear answer: xdg-mime missing, failing, or
// taking more than a few seconds.
std::optional<bool> desktopHasHandlerFor(const QString& mimeType, const QString& xdgMime = {});

// Opens through QDesktopServices. A path that does not exist is refused before the desktop
// is asked: the desktop's opener often reports success for any path and shows its own
// error later. For a file, a type with no program is refused too when the handler check
// says so (by default desktopHasHandlerFor); when that check has no answer, the desktop's
// own answer decides.
class DesktopShellOpener final : public ShellOpener
{
public:
    // Hands an address to the desktop; true when it was accepted.
    using Launcher = std::function<bool(const QUrl&)>;
    // Whether a program exists for a MIME type; nothing when unknown.
    using HandlerCheck = std::function<std::optional<bool>(const QString& mimeType)>;

    // The desktop's own launcher and handler check.
    DesktopShellOpener();
    // Replaceable parts, so the decisions above can be tried without starting programs.
    DesktopShellOpener(Launcher launcher, HandlerCheck handlerCheck);

    bool open(const QString& nativePath) override;
    bool openUrl(const QUrl& url) override;

private:
    bool openByBytes(const QString& nativePath);

    Launcher m_launch;
    HandlerCheck m_hasHandler;
};

} // namespace platterly::ui
