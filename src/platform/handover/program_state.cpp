#include "platform/handover/program_state.h"

#include "platform/system/application_folder.h"

namespace platterly::handover {

QString defaultCatalogue()
{
    return system::appFile(QStringLiteral("db.db2"));
}

QString versionText()
{
    constexpr int major = 2;
    constexpr int minor = 1;
    constexpr int revision = 0;
    return QStringLiteral("Version %1.%2.%3").arg(major).arg(minor).arg(revision);
}

} // namespace platterly::handover
