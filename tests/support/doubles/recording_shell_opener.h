#pragma once

#include "platform/ui/shell_opener.h"
#include "support/doubles/service_override.h"

#include <QString>
#include <QStringList>
#include <QUrl>

namespace platterly::ui {

// An opener for tests: records what it was asked to open and answers `result` (true unless
// changed). Nothing is started.
class RecordingShellOpener final : public ShellOpener
{
public:
    // The answer to every request from now on.
    void setFallbackResult(bool result) { m_result = result; }

    bool open(const QString& nativePath) override
    {
        m_paths.append(nativePath);
        return m_result;
    }
    bool openUrl(const QUrl& url) override
    {
        if (url.isLocalFile())
            m_paths.append(url.toLocalFile());
        return m_result;
    }

    // The paths given to open() and the local files of openUrl(), in order.
    const QStringList& openedPaths() const { return m_paths; }

private:
    bool m_result = true;
    QStringList m_paths;
};

// Installs an opener for the life of the guard.
using ShellOpenerOverride = ServiceOverride<ShellOpener, &setShellOpener>;

} // namespace platterly::ui
