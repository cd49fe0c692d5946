#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace platterly::archive {

enum class MemberKind : std::uint8_t
{
    Folder,
    File,
    Symlink,
    Other
};

// One entry of an image's directory.
struct Member
{
    // The names leading to the entry joined with '/', as the image holds them: bytes, except
    // that names the format keeps in a known character set (Joliet, 7-Zip, zip's UTF-8 flag)
    // come as UTF-8. No leading "/" or "./", no final "/", no empty or "." names.
    QByteArray path;
    MemberKind kind = MemberKind::File;
    // Bytes, where the image records them: for files, for other entries that are not folders,
    // and for links the length of the path they hold, as the file system counts it.
    std::optional<qint64> size;
    std::optional<qint64> modified; // seconds since 1970-01-01 UTC, where the image records it
};

// Takes one piece of a member's contents; returns false to stop.
using ContentsWriter = std::function<bool(QByteArrayView piece)>;

// Reads a disc image or an archive without mounting it: ISO 9660 with Rock Ridge and Joliet,
// zip, 7-Zip, tar and cpio (plain or compressed), rar, cab, lha and xar. The directory is read
// without the contents where the format allows it: the reader seeks over them.
//
// A reader sets the character set of names for the thread that made it, for its lifetime:
// make it, use it and destroy it on one thread. It reads one image once, front to back.
class ImageReader
{
public:
    // The image as a native path in the text form of native names.
    explicit ImageReader(const QString& nativePath);
    ~ImageReader();
    ImageReader(const ImageReader&) = delete;
    ImageReader& operator=(const ImageReader&) = delete;

    enum class Step
    {
        Member,
        End,
        Failed
    };
    // The next entry of the directory; the contents of the one before are skipped. The image
    // is opened by the first call. An entry that stands for the root itself is left out.
    [[nodiscard]] Step next(Member& member);

    // Hands the contents of the entry last given by next() to `write`, piece by piece. False
    // when reading fails (error() says why) or when `write` stops it (error() stays empty).
    [[nodiscard]] bool readContents(const ContentsWriter& write);

    // The image's format once next() has given an entry or the end: "iso9660", "zip", "7z",
    // "tar", "cpio", "rar", ...; empty before.
    QString format() const;
    // Why the last step failed, naming the image and what is wrong with it.
    QString error() const;

private:
    struct State;
    std::unique_ptr<State> m;
};

// For a program's main() to call before it starts other threads. Reading a zip file converts
// every entry's time with mktime(), which, when TZ is not set, looks at /etc/localtime afresh
// each time: two system calls per entry, most of the time a large zip file takes. When TZ is
// not set, it is set to ":/etc/localtime", the same zone, which the C library then reads once.
void settleTimeZone();

// The format of an image, read from its beginning and its first entry; nullopt when the
// file is no image or archive that can be read (`error` then says why).
std::optional<QString> probeImage(const QString& nativePath, QString* error);

enum class Extraction
{
    Done,
    NotFound, // the image holds no entry of that path
    NotAFile, // the entry is a folder, a link or a device
    Failed,   // the image cannot be read: the error says why
    Stopped,  // the writer stopped it
};

struct ExtractResult
{
    Extraction status = Extraction::Failed;
    QString error;
};

// Hands the contents of the entry `memberPath` (as Member::path gives it) to `write`.
ExtractResult extractMember(const QString& image, const QByteArray& memberPath,
                            const ContentsWriter& write);

} // namespace platterly::archive
