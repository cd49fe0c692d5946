#include "platform/system/application_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <mutex>
#include <optional>

namespace platterly::system {

namespace {

const QString kCatalogueFileName = QStringLiteral("db.db2");
const QString kSettingsFileName = QStringLiteral("settings.ini");

QString withoutTrailingSeparator(const QString& folder)
{
    // cleanPath drops a trailing '/' except for the root folder itself.
    return QDir::cleanPath(folder);
}

// Copies a file through a temporary file that is renamed at the end, so an interrupted or
// failed copy leaves no half-written catalogue behind. Unbuffered, so that a short write
// shows in the count written. The copy gets the user's default permissions, not those of
// the installed file, which are often read-only.
bool copyWhole(const QString& source, const QString& target)
{
    QFile input(source);
    QSaveFile output(target);
    if (!input.open(QIODevice::ReadOnly) ||
        !output.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    constexpr qint64 kChunk = 1 << 16;
    while (!input.atEnd()) {
        const QByteArray chunk = input.read(kChunk);
        if (chunk.isEmpty() || output.write(chunk) != chunk.size()) {
            output.cancelWriting();
            return false;
        }
    }
    return output.commit();
}

// Copies one shipped file into the data folder unless the user already has it. Returns an
// error text, empty on success or when there is nothing to copy.
QString seedFile(const QString& shippedFolder, const QString& dataFolder, const QString& name)
{
    const QString target = dataFolder + QLatin1Char('/') + name;
    if (QFileInfo::exists(target))
        return {};
    const QString source = shippedFolder + QLatin1Char('/') + name;
    if (!QFileInfo(source).isFile())
        return {};
    if (!copyWhole(source, target))
        return QCoreApplication::translate("ApplicationFolder", "Cannot copy %1 to %2.")
            .arg(source, target);
    return {};
}

struct CachedFolder
{
    std::mutex mutex;
    std::optional<ApplicationFolder> resolved;
    QString override;
};

CachedFolder& cache()
{
    static CachedFolder instance;
    return instance;
}

// The resolution for the running program, made on first use. The caller holds the lock.
const ApplicationFolder& resolvedFolder(CachedFolder& cached)
{
    if (!cached.resolved) {
        const QString programFolder = QCoreApplication::applicationDirPath();
        cached.resolved = resolveApplicationFolder(programFolder, userDataFolder(),
                                                   shippedFolderFor(programFolder));
    }
    return *cached.resolved;
}

} // namespace

QStringList shippedFileNames()
{
    return {kCatalogueFileName,          kSettingsFileName,           QStringLiteral("qn.qns"),
            QStringLiteral("click.qns"), QStringLiteral("music.qns"), QStringLiteral("help.pdf")};
}

ApplicationFolder resolveApplicationFolder(const QString& programFolder, const QString& dataFolder,
                                           const QString& shippedFolder)
{
    // A portable copy keeps its own files beside it; an installed program has neither of them
    // in its folder, even when the user could write there.
    const QFileInfo program(programFolder);
    const QDir programDir(programFolder);
    const bool hasCatalogue = QFileInfo(programDir.filePath(kCatalogueFileName)).isFile();
    const bool hasSettings = QFileInfo(programDir.filePath(kSettingsFileName)).isFile();
    if (!programFolder.isEmpty() && program.isDir() && program.isWritable() &&
        (hasCatalogue || hasSettings)) {
        ApplicationFolder portable{withoutTrailingSeparator(programFolder), {}};
        if (!hasCatalogue)
            portable.error =
                QCoreApplication::translate("ApplicationFolder",
                                            "The catalogue %1 is missing from the program's "
                                            "folder.")
                    .arg(QDir::toNativeSeparators(programDir.filePath(kCatalogueFileName)));
        return portable;
    }

    ApplicationFolder result{withoutTrailingSeparator(dataFolder), {}};
    if (!QDir().mkpath(result.folder)) {
        result.error =
            QCoreApplication::translate("ApplicationFolder", "Cannot create the folder %1.")
                .arg(result.folder);
        return result;
    }
    const QString source = withoutTrailingSeparator(shippedFolder);
    QStringList errors;
    for (const QString& name : shippedFileNames()) {
        const QString error = seedFile(source, result.folder, name);
        if (!error.isEmpty())
            errors.append(error);
    }
    result.error = errors.join(QLatin1Char('\n'));
    return result;
}

QString shippedFolderFor(const QString& programFolder)
{
    const QString installed =
        QDir::cleanPath(programFolder + QStringLiteral("/../share/platterly"));
    if (QFileInfo(installed).isDir())
        return installed;
    return withoutTrailingSeparator(programFolder);
}

QString userDataFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/platterly");
}

QString applicationFolder()
{
    CachedFolder& cached = cache();
    const std::lock_guard lock(cached.mutex);
    if (!cached.override.isEmpty())
        return cached.override;
    return resolvedFolder(cached).folder;
}

QString applicationFolderError()
{
    CachedFolder& cached = cache();
    const std::lock_guard lock(cached.mutex);
    if (!cached.override.isEmpty())
        return {};
    return resolvedFolder(cached).error;
}

void setApplicationFolderOverride(const QString& folder)
{
    CachedFolder& cached = cache();
    const std::lock_guard lock(cached.mutex);
    cached.override = folder.isEmpty() ? QString() : withoutTrailingSeparator(folder);
}

QString appFile(const QString& fileName)
{
    return applicationFolder() + QLatin1Char('/') + fileName;
}

QString defaultCatalogue()
{
    return appFile(kCatalogueFileName);
}

} // namespace platterly::system
