#include "support/doubles/recording_shell_opener.h"

namespace platterly::ui {

bool RecordingShellOpener::open(const QString& nativePath)
{
    m_paths.append(nativePath);
    return nextResult();
}

bool RecordingShellOpener::openUrl(const QUrl& url)
{
    m_urls.append(url);
    if (url.isLocalFile())
        m_paths.append(url.toLocalFile());
    return nextResult();
}

void RecordingShellOpener::clear()
{
    m_results.clear();
    m_paths.clear();
    m_urls.clear();
}

bool RecordingShellOpener::nextResult()
{
    if (m_results.empty())
        return m_fallback;
    const bool result = m_results.front();
    m_results.pop_front();
    return result;
}

} // namespace platterly::ui
