#include "cataloguing/drive_list.h"

namespace platterly::cataloguing {

namespace {

bool holdsDiscs(const drives::Drive& drive)
{
    return drive.kind == drives::DriveKind::Optical || drive.kind == drives::DriveKind::Image;
}

QString withoutLeadingBlanks(const QString& text)
{
    qsizetype first = 0;
    while (first < text.size() && text.at(first) == u' ')
        ++first;
    return text.mid(first);
}

} // namespace

std::vector<QString> CDDriveList(const drives::DriveMap& drives)
{
    std::vector<QString> roots;
    for (const drives::Drive& drive : drives.drives()) {
        if (holdsDiscs(drive))
            roots.push_back(drive.root);
    }
    if (!roots.empty())
        roots.insert(roots.begin(), QString());
    return roots;
}

QString DriveLabel(const drives::DriveMap& drives, const QString& root)
{
    const std::optional<QChar> letter = drives::driveLetterOf(root);
    if (!letter)
        return {};
    const drives::Drive* drive = drives.find(*letter);
    if (!drive || !drive->hasMedium())
        return {};
    return withoutLeadingBlanks(drive->label);
}

std::vector<DriveRow> listDrives(const drives::DriveMap& drives)
{
    std::vector<DriveRow> rows;
    rows.reserve(drives.drives().size());
    for (const drives::Drive& drive : drives.drives()) {
        rows.push_back({drive.letter, drive.root, drive.mountPoint, drives::kindName(drive.kind),
                        drive.label});
    }
    return rows;
}

} // namespace platterly::cataloguing
