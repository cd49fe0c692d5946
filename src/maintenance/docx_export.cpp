#include "maintenance/docx_export.h"

#include "maintenance/docx_parts.h"
#include "maintenance/zip_library.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <memory>

namespace platterly::maintenance {

namespace {

QString zipErrorText(const ZipLibrary& zip, zip_error_t* error)
{
    return QString::fromUtf8(zip.zip_error_strerror(error));
}

// Releases whatever libzip still holds when packing stops half-way.
struct ZipSourceRelease
{
    const ZipLibrary* zip;
    void operator()(zip_source_t* source) const { zip->zip_source_free(source); }
};
using ZipSource = std::unique_ptr<zip_source_t, ZipSourceRelease>;

QByteArray readWholeSource(const ZipLibrary& zip, zip_source_t* source, QString* error)
{
    zip_stat_t stat;
    zip.zip_stat_init(&stat);
    if (zip.zip_source_open(source) < 0) {
        *error = zipErrorText(zip, zip.zip_source_error(source));
        return {};
    }
    QByteArray bytes;
    if (zip.zip_source_stat(source, &stat) == 0 && (stat.valid & ZIP_STAT_SIZE) != 0) {
        bytes.resize(static_cast<qsizetype>(stat.size));
        const zip_int64_t read = zip.zip_source_read(source, bytes.data(), stat.size);
        if (read != static_cast<zip_int64_t>(stat.size)) {
            *error = zipErrorText(zip, zip.zip_source_error(source));
            bytes.clear();
        }
    } else {
        *error = zipErrorText(zip, zip.zip_source_error(source));
    }
    zip.zip_source_close(source);
    return bytes;
}

} // namespace

std::vector<int> resultsGridWeights()
{
    std::vector<int> weights;
    for (const GridColumn& column : parseGridFormat(resultsGridFormat()))
        weights.push_back(column.characters);
    return weights;
}

QByteArray packDocx(const GridText& grid, const std::vector<int>& columnWeights, QString* error)
{
    // The parts must outlive the archive: libzip reads them only when it is closed.
    const std::vector<DocxPart> parts = docxParts(grid, columnWeights);

    const ZipLibrary* loaded = zipLibrary(error);
    if (loaded == nullptr)
        return {};
    const ZipLibrary& zip = *loaded;
    zip_error_t zipError;
    zip.zip_error_init(&zipError);
    ZipSource buffer(zip.zip_source_buffer_create(nullptr, 0, 0, &zipError),
                     ZipSourceRelease{&zip});
    if (!buffer) {
        *error = zipErrorText(zip, &zipError);
        zip.zip_error_fini(&zipError);
        return {};
    }
    zip_t* archive = zip.zip_open_from_source(buffer.get(), ZIP_TRUNCATE, &zipError);
    if (archive == nullptr) {
        *error = zipErrorText(zip, &zipError);
        zip.zip_error_fini(&zipError);
        return {};
    }
    // The archive takes the buffer over; keeping a reference of our own lets the packed
    // bytes be read back after the archive is closed.
    zip.zip_source_keep(buffer.get());

    for (const DocxPart& part : parts) {
        zip_source_t* data = zip.zip_source_buffer(
            archive, part.contents.constData(), static_cast<zip_uint64_t>(part.contents.size()), 0);
        if (data == nullptr ||
            zip.zip_file_add(archive, part.name.toUtf8().constData(), data, ZIP_FL_ENC_UTF_8) < 0) {
            zip.zip_source_free(data);
            *error = zipErrorText(zip, zip.zip_get_error(archive));
            zip.zip_discard(archive);
            return {};
        }
    }
    if (zip.zip_close(archive) < 0) {
        *error = zipErrorText(zip, zip.zip_get_error(archive));
        zip.zip_discard(archive);
        return {};
    }
    return readWholeSource(zip, buffer.get(), error);
}

bool exportTargetExists(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

QString replaceDocumentQuestion(const QString& path)
{
    return QStringLiteral("%1 already exists.\nDo you want to replace it?")
        .arg(QDir::toNativeSeparators(path));
}

ExportResult writeDocx(const QString& path, const GridText& grid, ExistingFile existing,
                       const std::vector<int>& columnWeights)
{
    const QString shown = QDir::toNativeSeparators(path);
    const auto refuseExisting = [&shown] {
        return ExportResult{false, QStringLiteral("%1 already exists; it was left as it is. "
                                                  "Choose another name to export to.")
                                       .arg(shown)};
    };
    if (existing == ExistingFile::Refuse && exportTargetExists(path))
        return refuseExisting();

    QString why;
    const QByteArray packed = packDocx(grid, columnWeights, &why);
    if (packed.isEmpty())
        return {false, QStringLiteral("The document could not be made: %1.").arg(why)};

    // Unbuffered, so that every write reaches the file system at once and its failure (a
    // full disk) shows here: a buffered file flushes on commit() and may miss that it failed.
    QSaveFile file(path);
    const auto failed = [&file, &shown] {
        const QString reason = file.errorString();
        file.cancelWriting();
        return ExportResult{false, QStringLiteral("The document %1 could not be written: %2. "
                                                  "No document was left behind.")
                                       .arg(shown, reason)};
    };
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return failed();
    if (file.write(packed) != packed.size() || !file.flush())
        return failed();
    // Checked once more at the last moment: another program may have made the file meanwhile.
    if (existing == ExistingFile::Refuse && exportTargetExists(path)) {
        file.cancelWriting();
        return refuseExisting();
    }
    if (!file.commit())
        return {false, QStringLiteral("The document %1 could not be written: %2. No document "
                                      "was left behind.")
                           .arg(shown, file.errorString())};
    return {true, {}};
}

QString exportDefaultPath(const QString& documentsFolder, const QDate& date)
{
    const QString stem =
        QDir(documentsFolder)
            .filePath(QStringLiteral("Search results ") + date.toString(Qt::ISODate));
    QString candidate = stem + QStringLiteral(".docx");
    for (int copy = 2; QFileInfo::exists(candidate); ++copy)
        candidate = stem + QStringLiteral(" (%1).docx").arg(copy);
    return candidate;
}

} // namespace platterly::maintenance
