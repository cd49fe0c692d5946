#include "support/doubles/recording_shell_opener.h"

namespace platterly::ui {

bool RecordingShellOpener::open(const QString& nativePath)
{
    m_paths.append(nativePath);
    return m_result;
}

bool RecordingShellOpener::openUrl(const QUrl& url)
{
    if (url.isLocalFile())
        m_paths.append(url.toLocalFile());
    return m_result;
}

} // namespace platterly::ui
