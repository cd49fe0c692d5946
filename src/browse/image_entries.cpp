#include "browse/image_entries.h"

#include "platform/archive/image_reader.h"
#include "platform/system/native_name.h"

#include <QDir>
#include <QTemporaryDir>

namespace platterly::browse {

namespace {

// The folder that files extracted for opening go to: made on first use, removed with
// everything in it when the program ends. Each file gets a folder of its own, so that entries
// of the same name from different images never meet.
std::optional<QString> newFolderForOpening()
{
    static QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/platterly-opened-XXXXXX"));
    static int made = 0;
    if (!folder.isValid())
        return std::nullopt;
    const QString inner = folder.filePath(QString::number(++made));
    if (!QDir().mkdir(inner))
        return std::nullopt;
    return inner;
}

archive::ContentsWriter counted(const ContentsWriter& write, const CopyProgress& progress,
                                qint64* copied, bool* stopped)
{
    return [&write, &progress, copied, stopped](QByteArrayView piece) {
        if (!write(piece.data(), static_cast<std::size_t>(piece.size())))
            return false;
        *copied += piece.size();
        if (progress && !progress(*copied, 0)) {
            *stopped = true;
            return false;
        }
        return true;
    };
}

} // namespace

ImageMembers::ImageMembers(const QString& image)
{
    archive::ImageReader reader(image);
    archive::Member member;
    m_entries.insert(QString(), {QByteArray(), true});
    while (reader.next(member) == archive::ImageReader::Step::Member) {
        // The stored form joins the names with "\", whatever they hold; folders the image
        // names only through their contents are entries all the same.
        QString stored;
        qsizetype start = 0;
        for (;;) {
            const qsizetype slash = member.path.indexOf('/', start);
            const qsizetype end = slash < 0 ? member.path.size() : slash;
            if (!stored.isEmpty())
                stored.append(u'\\');
            stored.append(system::textFromNativeBytes(
                QByteArrayView(member.path).sliced(start, end - start)));
            if (slash < 0)
                break;
            m_entries.insert(stored, {member.path.left(slash), true});
            start = slash + 1;
        }
        m_entries.insert(stored, {member.path, member.kind == archive::MemberKind::Folder});
    }
}

std::optional<ImageMembers::Entry> ImageMembers::find(const QString& storedPath) const
{
    const auto found = m_entries.constFind(storedPath);
    if (found == m_entries.constEnd())
        return std::nullopt;
    return *found;
}

CopyFailure copyImageEntryInto(const QString& image, const QByteArray& member,
                               const QString& targetFolder, const QString& fileName,
                               const CopyProgress& progress)
{
    return writeFileInto(targetFolder, fileName, [&](const ContentsWriter& write) {
        qint64 copied = 0;
        bool stopped = false;
        const archive::ExtractResult result =
            archive::extractMember(image, member, counted(write, progress, &copied, &stopped));
        switch (result.status) {
        case archive::Extraction::Done:
            return CopyFailure{};
        case archive::Extraction::NotFound:
            return CopyFailure{CopyFailure::FileNotFound, QStringLiteral("File not found")};
        case archive::Extraction::NotAFile:
            return CopyFailure{
                CopyFailure::Other,
                QStringLiteral("'%1' is not a file").arg(system::displayedText(fileName))};
        case archive::Extraction::Stopped:
            return stopped ? CopyFailure{CopyFailure::Other, QStringLiteral("The copy was stopped")}
                           : CopyFailure{}; // the writer failed: writeFileInto says why
        case archive::Extraction::Failed:
            break;
        }
        return CopyFailure{CopyFailure::Other, result.error};
    });
}

std::optional<QString> extractForOpening(const QString& image, const QByteArray& member,
                                         const QString& fileName, QString* error,
                                         const CopyProgress& progress)
{
    const std::optional<QString> folder = newFolderForOpening();
    if (!folder) {
        *error = QStringLiteral("No temporary folder could be made for the file.");
        return std::nullopt;
    }
    // The desktop chooses the program by the name's extension, which is all the name has to
    // keep: bytes that are not UTF-8 are written as the replacement character.
    const QString name = system::displayedText(fileName);
    if (const CopyFailure failed = copyImageEntryInto(image, member, *folder, name, progress)) {
        *error = failed.description;
        return std::nullopt;
    }
    return *folder + u'/' + name;
}

} // namespace platterly::browse
