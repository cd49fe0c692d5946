#include "platform/handover/program_state.h"

#include "platform/system/application_folder.h"

namespace platterly::handover {

QString defaultCatalogue()
{
    return system::appFile(QStringLiteral("db.db2"));
}

} // namespace platterly::handover
