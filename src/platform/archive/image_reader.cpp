#include "platform/archive/image_reader.h"

#include "platform/system/native_name.h"

#include <archive.h>
#include <archive_entry.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platterly::archive {

namespace {

constexpr std::size_t kReadBlock = 64 * 1024;
constexpr qint64 kIsoSector = 2048;
constexpr qint64 kPrimaryDescriptorAt = 16 * kIsoSector;

// libarchive turns the names whose character set the format records (Joliet's UTF-16, 7-Zip's,
// zip's UTF-8 flag) into the character set of the current locale, and gives plain byte names
// (Rock Ridge, tar) as they are. A UTF-8 locale on the reading thread makes the former UTF-8
// whatever locale the program runs in; in the "C" locale they could not be converted at all.
locale_t utf8Locale()
{
    static const locale_t locale = [] {
        for (const char* name : {"C.UTF-8", "C.utf8", "en_US.UTF-8"}) {
            if (const locale_t found = ::newlocale(LC_CTYPE_MASK, name, locale_t{}))
                return found;
        }
        return locale_t{};
    }();
    return locale;
}

QString formatName(int format)
{
    switch (format & ARCHIVE_FORMAT_BASE_MASK) {
    case ARCHIVE_FORMAT_ISO9660:
        return QStringLiteral("iso9660");
    case ARCHIVE_FORMAT_ZIP:
        return QStringLiteral("zip");
    case ARCHIVE_FORMAT_7ZIP:
        return QStringLiteral("7z");
    case ARCHIVE_FORMAT_TAR:
        return QStringLiteral("tar");
    case ARCHIVE_FORMAT_CPIO:
        return QStringLiteral("cpio");
    case ARCHIVE_FORMAT_RAR:
    case ARCHIVE_FORMAT_RAR_V5:
        return QStringLiteral("rar");
    case ARCHIVE_FORMAT_CAB:
        return QStringLiteral("cab");
    case ARCHIVE_FORMAT_LHA:
        return QStringLiteral("lha");
    case ARCHIVE_FORMAT_XAR:
        return QStringLiteral("xar");
    default:
        return QStringLiteral("archive");
    }
}

// "./Music//Old/" -> "Music/Old"; "." and "/" -> "". Written into `path`, whose buffer is
// used again from one entry to the next.
void normalizePath(QByteArrayView raw, QByteArray& path)
{
    path.resize(0);
    qsizetype start = 0;
    while (start <= raw.size()) {
        qsizetype end = raw.indexOf('/', start);
        if (end < 0)
            end = raw.size();
        const QByteArrayView name = raw.sliced(start, end - start);
        if (!name.isEmpty() && name != ".") {
            if (!path.isEmpty())
                path.append('/');
            path.append(name);
        }
        start = end + 1;
    }
}

MemberKind kindOf(archive_entry* entry, QByteArrayView rawPath)
{
    switch (archive_entry_filetype(entry)) {
    case AE_IFDIR:
        return MemberKind::Folder;
    case AE_IFREG:
        return MemberKind::File;
    case AE_IFLNK:
        return MemberKind::Symlink;
    case 0: // the format keeps no type: a final "/" marks a folder
        return rawPath.endsWith('/') ? MemberKind::Folder : MemberKind::File;
    default:
        return MemberKind::Other;
    }
}

// An ISO 9660 image tells its own length: a shorter file was cut off, even where the cut
// spares every directory record (the contents come last).
QString truncationOf(const QByteArray& path)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {}; // libarchive says why, naming the system's error
    unsigned char descriptor[136];
    struct stat info;
    const bool read = ::fstat(fd, &info) == 0 &&
                      ::pread(fd, descriptor, sizeof descriptor, kPrimaryDescriptorAt) ==
                          static_cast<ssize_t>(sizeof descriptor);
    ::close(fd);
    // A device tells no length of its own.
    if (!read || !S_ISREG(info.st_mode) || descriptor[0] != 1 ||
        QByteArrayView(descriptor + 1, 5) != "CD001")
        return {};
    const qint64 blocks = descriptor[80] | descriptor[81] << 8 | descriptor[82] << 16 |
                          static_cast<qint64>(descriptor[83]) << 24;
    const qint64 blockSize = descriptor[128] | descriptor[129] << 8;
    const qint64 length = blocks * blockSize;
    if (length <= info.st_size)
        return {};
    return QStringLiteral("the image is cut short: it holds %1 of its %2 bytes")
        .arg(info.st_size)
        .arg(length);
}

} // namespace

struct ImageReader::State
{
    QString path;
    ::archive* reader = nullptr;
    locale_t previousLocale{};
    bool opened = false;
    bool failed = false;
    qint64 members = 0;
    QString error;

    ImageReader::Step fail(const QString& what)
    {
        failed = true;
        error = QStringLiteral("\"%1\" cannot be read as a disc image or archive: %2")
                    .arg(system::displayedText(path), what);
        return ImageReader::Step::Failed;
    }

    ImageReader::Step failFromLibrary()
    {
        const char* text = archive_error_string(reader);
        return fail(text ? QString::fromUtf8(text) : QStringLiteral("it is damaged"));
    }

    bool open()
    {
        opened = true;
        const QByteArray bytes = system::nativeBytesFromText(path);
        if (const QString cut = truncationOf(bytes); !cut.isEmpty()) {
            fail(cut);
            return false;
        }
        reader = archive_read_new();
        // Chosen formats only: libarchive's "all" would also take text files as mtree
        // descriptions, and its external filter programs are not started for a catalogue.
        for (int (*support)(::archive*) :
             {archive_read_support_format_iso9660, archive_read_support_format_zip,
              archive_read_support_format_7zip, archive_read_support_format_tar,
              archive_read_support_format_cpio, archive_read_support_format_rar,
              archive_read_support_format_rar5, archive_read_support_format_cab,
              archive_read_support_format_lha, archive_read_support_format_xar,
              archive_read_support_filter_gzip, archive_read_support_filter_bzip2,
              archive_read_support_filter_xz, archive_read_support_filter_lzma,
              archive_read_support_filter_zstd, archive_read_support_filter_lz4,
              archive_read_support_filter_compress})
            support(reader);
        if (archive_read_open_filename(reader, bytes.constData(), kReadBlock) != ARCHIVE_OK) {
            failFromLibrary();
            return false;
        }
        return true;
    }
};

ImageReader::ImageReader(const QString& nativePath) : m(std::make_unique<State>())
{
    m->path = nativePath;
    if (const locale_t utf8 = utf8Locale())
        m->previousLocale = ::uselocale(utf8);
}

ImageReader::~ImageReader()
{
    if (m->reader)
        archive_read_free(m->reader);
    if (m->previousLocale)
        ::uselocale(m->previousLocale);
}

ImageReader::Step ImageReader::next(Member& member)
{
    if (m->failed || (!m->opened && !m->open()))
        return Step::Failed;
    for (;;) {
        // Whatever was left of the entry before is skipped here, by seeking where the
        // format and the file allow it.
        archive_entry* entry = nullptr;
        const int status = archive_read_next_header(m->reader, &entry);
        if (status == ARCHIVE_EOF) {
            // A run of zero bytes reads as an empty tar archive: so does an image whose
            // beginning is lost. Nothing was read, and that is not taken for a disc.
            if (m->members == 0 && format() == u"tar")
                return m->fail(QStringLiteral("it holds nothing that can be read"));
            return Step::End;
        }
        if (status < ARCHIVE_WARN)
            return m->failFromLibrary();
        // A name that could not be put into the locale's character set (a zip entry marked
        // UTF-8 that is not) has no form to record: the image is refused, not catalogued
        // without it.
        const char* name = archive_entry_pathname(entry);
        if (!name)
            return m->failFromLibrary();
        const QByteArrayView raw(name);
        normalizePath(raw, member.path);
        if (member.path.isEmpty())
            continue; // the root's own record
        member.kind = kindOf(entry, raw);
        member.size.reset();
        member.modified.reset();
        // A link's size is that of the path it holds, as the file system gives it.
        const char* target =
            member.kind == MemberKind::Symlink ? archive_entry_symlink(entry) : nullptr;
        if (target)
            member.size = static_cast<qint64>(std::strlen(target));
        else if (member.kind != MemberKind::Folder && archive_entry_size_is_set(entry))
            member.size = archive_entry_size(entry);
        if (archive_entry_mtime_is_set(entry))
            member.modified = archive_entry_mtime(entry);
        ++m->members;
        return Step::Member;
    }
}

bool ImageReader::readContents(const ContentsWriter& write)
{
    m->error.clear();
    qint64 written = 0;
    static const QByteArray zeros(static_cast<qsizetype>(kReadBlock), '\0');
    for (;;) {
        const void* data = nullptr;
        std::size_t size = 0;
        la_int64_t offset = 0;
        const int status = archive_read_data_block(m->reader, &data, &size, &offset);
        if (status == ARCHIVE_EOF)
            return true;
        if (status < ARCHIVE_WARN) {
            // The directory was read: what fails is this entry's contents (encrypted, say).
            const char* text = archive_error_string(m->reader);
            m->error = QStringLiteral("The file cannot be taken out of \"%1\": %2")
                           .arg(system::displayedText(m->path),
                                text ? QString::fromUtf8(text) : QStringLiteral("it is damaged"));
            return false;
        }
        // A sparse file's holes come as jumps in the offset: they read as zero bytes.
        while (written < offset) {
            const qint64 gap = std::min<qint64>(offset - written, zeros.size());
            if (!write(QByteArrayView(zeros.constData(), gap)))
                return false;
            written += gap;
        }
        if (!write(QByteArrayView(static_cast<const char*>(data), static_cast<qsizetype>(size))))
            return false;
        written += static_cast<qint64>(size);
    }
}

QString ImageReader::format() const
{
    return m->reader && m->opened ? formatName(archive_format(m->reader)) : QString();
}

QString ImageReader::error() const
{
    return m->error;
}

void settleTimeZone()
{
    ::setenv("TZ", ":/etc/localtime", 0);
}

std::optional<QString> probeImage(const QString& nativePath, QString* error)
{
    ImageReader reader(nativePath);
    Member first;
    if (reader.next(first) == ImageReader::Step::Failed) {
        if (error)
            *error = reader.error();
        return std::nullopt;
    }
    return reader.format();
}

ExtractResult extractMember(const QString& image, const QByteArray& memberPath,
                            const ContentsWriter& write)
{
    ImageReader reader(image);
    Member member;
    for (;;) {
        switch (reader.next(member)) {
        case ImageReader::Step::Failed:
            return {Extraction::Failed, reader.error()};
        case ImageReader::Step::End:
            return {Extraction::NotFound, {}};
        case ImageReader::Step::Member:
            break;
        }
        if (member.path != memberPath)
            continue;
        if (member.kind != MemberKind::File)
            return {Extraction::NotAFile, {}};
        if (reader.readContents(write))
            return {Extraction::Done, {}};
        return reader.error().isEmpty() ? ExtractResult{Extraction::Stopped, {}}
                                        : ExtractResult{Extraction::Failed, reader.error()};
    }
}

} // namespace platterly::archive
