#include "browse/file_copy.h"

#include "platform/system/native_name.h"

#include <QRandomGenerator>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace platterly::browse {

namespace {

constexpr std::size_t kChunk = 1 << 20;
constexpr int kTemporaryNameTries = 16;

CopyFailure failure(CopyFailure::Code code, const QString& description)
{
    return {code, description};
}

QString systemWords(int error)
{
    return qt_error_string(error);
}

// Closes a descriptor when it goes out of scope.
struct FileDescriptor
{
    int fd = -1;
    ~FileDescriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

QByteArray parentOf(const QByteArray& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

// Makes a new file beside the target under a name no one else uses (its mode, 0666 less the
// umask, as for the user's other new files); returns its descriptor and name, or -1.
int createTemporaryIn(const QByteArray& folder, QByteArray* name)
{
    for (int attempt = 0; attempt < kTemporaryNameTries; ++attempt) {
        *name = folder + "/.platterly-copy-" +
                QByteArray::number(QRandomGenerator::global()->generate64(), 36);
        const int fd = ::open(name->constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

bool writeAll(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

} // namespace

CopyFailure writeFileInto(const QString& targetFolder, const QString& fileName,
                          const ContentsFiller& fill)
{
    const QByteArray folder = system::nativeBytesFromText(targetFolder);
    const QString shownFolder = system::displayedText(targetFolder);
    if (fileName.isEmpty() || fileName == u"." || fileName == u".." || fileName.contains(u'/'))
        return failure(
            CopyFailure::Other,
            QStringLiteral("\"%1\" is not a file name").arg(system::displayedText(fileName)));
    struct stat folderInfo;
    if (::stat(folder.constData(), &folderInfo) != 0 || !S_ISDIR(folderInfo.st_mode))
        return failure(CopyFailure::Other,
                       QStringLiteral("The folder %1 does not exist").arg(shownFolder));

    // The file is written under a temporary name and renamed over the target only when
    // complete, so a failed or stopped copy leaves the folder as it was.
    QByteArray temporary;
    FileDescriptor out{createTemporaryIn(folder, &temporary)};
    const auto cannotWrite = [&shownFolder](int error) {
        return failure(
            CopyFailure::Other,
            QStringLiteral("Cannot write into %1: %2").arg(shownFolder, systemWords(error)));
    };
    if (out.fd < 0)
        return cannotWrite(errno);
    auto abandon = [&](const CopyFailure& why) {
        ::unlink(temporary.constData());
        return why;
    };
    int writeError = 0;
    const CopyFailure filled = fill([&](const char* data, std::size_t size) {
        if (writeAll(out.fd, data, size))
            return true;
        writeError = errno;
        return false;
    });
    if (writeError != 0)
        return abandon(cannotWrite(writeError));
    if (filled)
        return abandon(filled);
    // A full disc may show only when the data reach it.
    if (::fsync(out.fd) != 0 || ::close(out.fd) != 0) {
        out.fd = -1;
        return abandon(cannotWrite(errno));
    }
    out.fd = -1;
    const QByteArray target = folder + '/' + system::nativeBytesFromText(fileName);
    if (::rename(temporary.constData(), target.constData()) != 0)
        return abandon(cannotWrite(errno));
    return {};
}

CopyFailure copyFileInto(const QString& sourceFile, const QString& targetFolder,
                         const QString& fileName, const CopyProgress& progress)
{
    // Names go to the system as their bytes: a name that is not UTF-8 is copied under the
    // very same name.
    const QByteArray source = system::nativeBytesFromText(sourceFile);
    struct stat sourceInfo;
    if (::stat(parentOf(source).constData(), &sourceInfo) != 0)
        return failure(CopyFailure::PathNotFound, QStringLiteral("Path not found"));
    if (::stat(source.constData(), &sourceInfo) != 0 || S_ISDIR(sourceInfo.st_mode))
        return failure(CopyFailure::FileNotFound, QStringLiteral("File not found"));
    FileDescriptor in{::open(source.constData(), O_RDONLY | O_CLOEXEC)};
    if (in.fd < 0)
        return failure(CopyFailure::DiskNotReady,
                       QStringLiteral("Disk not ready (%1)").arg(systemWords(errno)));

    const qint64 total = sourceInfo.st_size;
    return writeFileInto(targetFolder, fileName, [&](const ContentsWriter& write) {
        qint64 copied = 0;
        std::vector<char> buffer(kChunk);
        for (;;) {
            const ssize_t got = ::read(in.fd, buffer.data(), buffer.size());
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                return failure(CopyFailure::DiskNotReady,
                               QStringLiteral("Disk not ready (%1)").arg(systemWords(errno)));
            if (got == 0)
                return CopyFailure{};
            if (!write(buffer.data(), static_cast<std::size_t>(got)))
                return CopyFailure{};
            copied += got;
            if (progress && !progress(copied, total))
                return failure(CopyFailure::Other, QStringLiteral("The copy was stopped"));
        }
    });
}

} // namespace platterly::browse
