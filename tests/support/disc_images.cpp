#include "support/disc_images.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <stdexcept>

namespace platterly::test {

void addDiscContents(TempTree& tree, const QString& folder)
{
    const QString at = folder + QLatin1Char('/');
    tree.addFile(at + QStringLiteral("Music/Old Songs/01 First Song.mp3"), "ID3");
    tree.addFile(at + QStringLiteral("Music/Old Songs/readme"), "no dot");
    tree.addFile(at + QStringLiteral("Music/b.MP3"), "ID3");
    tree.addFile(at + QStringLiteral("Music/a.mp3"), "ID3");
    tree.addFile(at + QStringLiteral("\u00c4rzte und \u00d6l/na\u00efve caf\u00e9.txt"), "text");
    tree.addFile(at + QStringLiteral("Photos 2004/Summer/beach.jpg"), "jpeg");
    tree.addFile(at + QStringLiteral("Setup.1/install.exe"), "MZ");
    tree.addFile(at + QStringLiteral(".hidden/inner/secret.txt"), "hidden");
    tree.addFile(at + QStringLiteral(".profile"), "hidden");
    tree.addFile(at + QStringLiteral("a file with  two blanks.txt"), "text");
    tree.addFolder(at + QStringLiteral("Empty Folder"));
    // A name that is not UTF-8: Qt cannot name it, the system can.
    tree.addRawFile(at + QStringLiteral("Music"), "caf\xe9.txt", "latin");
}

namespace {

// Runs a program to its end; an empty text when it succeeded, else what went wrong.
QString runTool(const QString& program, const QStringList& arguments,
                const QString& workingFolder = {})
{
    const QString found = QStandardPaths::findExecutable(program);
    if (found.isEmpty())
        return program + QStringLiteral(" is not installed");
    QProcess process;
    process.setWorkingDirectory(workingFolder);
    process.start(found, arguments);
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return program + QStringLiteral(" failed: ") +
               QString::fromLocal8Bit(process.readAllStandardError());
    return {};
}

} // namespace

QString makeIso(const QString& folder, const QString& image, const QString& label)
{
    return runTool(QStringLiteral("xorriso"),
                   {QStringLiteral("-as"), QStringLiteral("mkisofs"), QStringLiteral("-R"),
                    QStringLiteral("-J"), QStringLiteral("-V"), label, QStringLiteral("-o"), image,
                    folder});
}

QString makeZip(const QString& folder, const QString& zipFile, const QStringList& extra)
{
    return runTool(QStringLiteral("zip"),
                   QStringList{QStringLiteral("-q"), QStringLiteral("-r")} + extra +
                       QStringList{zipFile, QStringLiteral(".")},
                   folder);
}

void truncateCopy(const QString& file, const QString& copy, qint64 bytes)
{
    QFile in(file);
    QFile out(copy);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly) ||
        out.write(in.read(bytes)) != bytes)
        throw std::runtime_error("cannot make a truncated copy");
}

} // namespace platterly::test
