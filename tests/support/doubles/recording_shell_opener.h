#pragma once

#include "platform/ui/shell_opener.h"
#include "support/doubles/service_override.h"

#include <QString>
#include <QStringList>
#include <deque>

namespace platterly::ui {

// An opener for tests: records what it was asked to open and answers with results prepared
// in advance, in order; when none is left it answers `fallbackResult` (true unless changed).
// Nothing is started.
class RecordingShellOpener final : public ShellOpener
{
public:
    // The next request is answered with `result`.
    void queueResult(bool result) { m_results.push_back(result); }
    // The answer once the queued results are used up.
    void setFallbackResult(bool result) { m_fallback = result; }

    bool open(const QString& nativePath) override;
    bool openUrl(const QUrl& url) override;

    // The paths given to open() and the local files of openUrl(), in order.
    const QStringList& openedPaths() const { return m_paths; }
    // The addresses given to openUrl(), in order.
    const QList<QUrl>& openedUrls() const { return m_urls; }
    void clear();

private:
    bool nextResult();

    std::deque<bool> m_results;
    bool m_fallback = true;
    QStringList m_paths;
    QList<QUrl> m_urls;
};

// Installs an opener for the life of the guard.
using ShellOpenerOverride = ServiceOverride<ShellOpener, &setShellOpener>;

} // namespace platterly::ui
