#include "support/disc_images.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <stdexcept>

using namespace Qt::StringLiterals;

namespace platterly::test {

void addDiscContents(TempTree& tree, const QString& folder)
{
    const QString at = folder + u'/';
    tree.addFile(at + u"Music/Old Songs/01 First Song.mp3"_s, "ID3");
    tree.addFile(at + u"Music/Old Songs/readme"_s, "no dot");
    tree.addFile(at + u"Music/b.MP3"_s, "ID3");
    tree.addFile(at + u"Music/a.mp3"_s, "ID3");
    tree.addFile(at + u"\u00c4rzte und \u00d6l/na\u00efve caf\u00e9.txt"_s, "text");
    tree.addFile(at + u"Photos 2004/Summer/beach.jpg"_s, "jpeg");
    tree.addFile(at + u"Setup.1/install.exe"_s, "MZ");
    tree.addFile(at + u".hidden/inner/secret.txt"_s, "hidden");
    tree.addFile(at + u".profile"_s, "hidden");
    tree.addFile(at + u"a file with  two blanks.txt"_s, "text");
    tree.addFolder(at + u"Empty Folder"_s);
    // A name that is not UTF-8: Qt cannot name it, the system can.
    tree.addRawFile(at + u"Music"_s, "caf\xe9.txt", "latin");
}

namespace {

// Runs a program to its end; an empty text when it succeeded, else what went wrong.
QString runTool(const QString& program, const QStringList& arguments,
                const QString& workingFolder = {})
{
    const QString found = QStandardPaths::findExecutable(program);
    if (found.isEmpty())
        return program + u" is not installed"_s;
    QProcess process;
    process.setWorkingDirectory(workingFolder);
    process.start(found, arguments);
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return program + u" failed: "_s + QString::fromLocal8Bit(process.readAllStandardError());
    return {};
}

} // namespace

QString makeIso(const QString& folder, const QString& image, const QString& label)
{
    return runTool(u"xorriso"_s, {u"-as"_s, u"mkisofs"_s, u"-R"_s, u"-J"_s, u"-V"_s, label, u"-o"_s,
                                  image, folder});
}

QString makeZip(const QString& folder, const QString& zipFile, const QStringList& extra)
{
    return runTool(u"zip"_s, QStringList{u"-q"_s, u"-r"_s} + extra + QStringList{zipFile, u"."_s},
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
