// drives: the volumes of this machine as the catalogue names them.
#include "app/cli/cli.h"
#include "app/cli/json_line.h"
#include "cataloguing/drive_list.h"
#include "platform/drives/system_volume_source.h"

namespace platterly::cli {

namespace {

int drives(const Invocation& call)
{
    if (!call.arguments.isEmpty())
        return call.usage(QStringLiteral("platterly-cli: drives takes no arguments\n") +
                          commandUsage(*driveCommands(nullptr)));
    for (const cataloguing::DriveRow& row : cataloguing::listDrives(drives::systemDriveMap())) {
        if (call.json)
            call.out << JsonLine()
                            .add(QStringLiteral("LETTER"), QString(row.letter))
                            .add(QStringLiteral("ROOT"), row.root)
                            .add(QStringLiteral("MOUNTPOINT"), row.mountPoint)
                            .add(QStringLiteral("KIND"), row.kind)
                            .add(QStringLiteral("LABEL"), row.label)
                            .text()
                     << '\n';
        else
            call.out << row.root << '\t'
                     << (row.mountPoint.isEmpty() ? QStringLiteral("(no medium)") : row.mountPoint)
                     << '\t' << row.kind << '\t' << row.label << '\n';
    }
    call.out.flush();
    return kSuccess;
}

const Command kCommands[] = {
    {"drives", "[--json]", "List the drives: letter, mount point, kind and volume label.", drives},
};

} // namespace

const Command* driveCommands(int* count)
{
    if (count)
        *count = static_cast<int>(std::size(kCommands));
    return kCommands;
}

} // namespace platterly::cli
