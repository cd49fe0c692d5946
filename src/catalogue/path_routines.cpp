#include "catalogue/path_routines.h"

#include "catalogue/settings.h"
#include "platform/system/profile_file.h"

namespace platterly::catalogue {

namespace {

constexpr QLatin1Char kSeparator('\\');
constexpr int kFolderIcon = 2;

} // namespace

QString LastFolderName(const QString& path)
{
    if (path.isEmpty())
        return {};
    // The name runs from after the last "\" before the final character up to the final "\".
    const QString folder = path.endsWith(kSeparator) ? path.chopped(1) : path;
    return folder.mid(folder.lastIndexOf(kSeparator) + 1);
}

QString RemoveFname(const QString& path)
{
    return path.left(path.lastIndexOf(kSeparator) + 1);
}

int IconForFile(const QString& settingsFile, const QString& name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return kFolderIcon;
    const QString extension = name.mid(dot + 1).toLower();
    const QString icon =
        system::ReadINI(settingsFile, settings::kSectionExtensions, extension, QString());
    if (!icon.isEmpty())
        return integerPart(icon);
    return integerPart(system::ReadINI(settingsFile, settings::kSectionExtensions,
                                       settings::kKeyDefaultExtension, settings::kDefaultIcon));
}

int IconForFile(const QString& name)
{
    return IconForFile(settingsFile(), name);
}

} // namespace platterly::catalogue
