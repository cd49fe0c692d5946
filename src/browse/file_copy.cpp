#include "browse/file_copy.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace platterly::browse {

namespace {

constexpr qint64 kChunk = 1 << 20;

CopyFailure failure(CopyFailure::Code code, const QString& description)
{
    return {code, description};
}

} // namespace

CopyFailure copyFileInto(const QString& sourceFile, const QString& targetFolder,
                         const QString& fileName, const CopyProgress& progress)
{
    const QFileInfo source(sourceFile);
    if (!source.dir().exists())
        return failure(CopyFailure::PathNotFound, QStringLiteral("Path not found"));
    if (!source.exists() || source.isDir())
        return failure(CopyFailure::FileNotFound, QStringLiteral("File not found"));
    QFile in(sourceFile);
    if (!in.open(QIODevice::ReadOnly))
        return failure(CopyFailure::DiskNotReady,
                       QStringLiteral("Disk not ready (%1)").arg(in.errorString()));
    if (!QFileInfo(targetFolder).isDir())
        return failure(CopyFailure::Other,
                       QStringLiteral("The folder %1 does not exist").arg(targetFolder));

    // QSaveFile writes beside the target and renames over it only on commit().
    QSaveFile out(QDir(targetFolder).filePath(fileName));
    // Unbuffered, so that a short write (a full disc) shows at once instead of being lost in a
    // buffer flush.
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return failure(
            CopyFailure::Other,
            QStringLiteral("Cannot write into %1: %2").arg(targetFolder, out.errorString()));
    const qint64 total = in.size();
    qint64 copied = 0;
    QByteArray buffer;
    while (!in.atEnd()) {
        buffer = in.read(kChunk);
        if (buffer.isEmpty() && in.error() != QFileDevice::NoError) {
            out.cancelWriting();
            return failure(CopyFailure::DiskNotReady,
                           QStringLiteral("Disk not ready (%1)").arg(in.errorString()));
        }
        if (out.write(buffer) != buffer.size()) {
            const QString why = out.errorString();
            out.cancelWriting();
            return failure(CopyFailure::Other,
                           QStringLiteral("Cannot write into %1: %2").arg(targetFolder, why));
        }
        copied += buffer.size();
        if (progress && !progress(copied, total)) {
            out.cancelWriting();
            return failure(CopyFailure::Other, QStringLiteral("The copy was stopped"));
        }
    }
    if (!out.commit())
        return failure(
            CopyFailure::Other,
            QStringLiteral("Cannot write into %1: %2").arg(targetFolder, out.errorString()));
    return {};
}

} // namespace platterly::browse
