#include "platform/system/profile_file.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace platterly::system {

namespace {

// Blanks that the profile format ignores around names and values. A carriage return counts
// as one, so that a "\r\n" line end is trimmed off like a trailing blank.
bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

bool isBlank(QChar c)
{
    return c.unicode() < 0x80 && isBlank(static_cast<char>(c.unicode()));
}

// Only ASCII blanks are trimmed: a value may well begin with a no-break space on purpose.
QString trimBlanks(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text.at(begin)))
        ++begin;
    while (end > begin && isBlank(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}

bool sameName(const QString& fromFile, const QString& wanted)
{
    return QString::compare(fromFile, wanted, Qt::CaseInsensitive) == 0;
}

// Where a key was found in the file text, or where it would go. Positions are byte offsets.
struct KeySearch
{
    bool sectionFound = false;
    bool keyFound = false;
    // The value of a found key, blanks around it excluded.
    qsizetype valueBegin = 0;
    qsizetype valueEnd = 0;
    // Where a new key of a found section goes: after the last key line of the section, or
    // after its header when it has no keys yet.
    qsizetype insertAt = 0;
    // The line before insertAt is the last line of the file and has no line end.
    bool insertNeedsLineEnd = false;
};

// How a profile file is encoded, told by its byte order mark: as Windows editors save it
// (UTF-16 in either byte order, or UTF-8 with a mark), or plain UTF-8 without one.
enum class Encoding
{
    Utf8,
    Utf8WithMark,
    Utf16LittleEndian,
    Utf16BigEndian,
};

constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";
constexpr char kUtf16LeMark[] = "\xFF\xFE";
constexpr char kUtf16BeMark[] = "\xFE\xFF";

// A file's text as UTF-8 without its byte order mark, and how to write it back. UTF-8 stays
// byte for byte as it was, even where it is not valid.
struct ProfileText
{
    QByteArray utf8;
    Encoding encoding = Encoding::Utf8;
};

ProfileText decodeProfile(const QByteArray& bytes)
{
    if (bytes.startsWith(kUtf8Mark))
        return {bytes.mid(3), Encoding::Utf8WithMark};
    const bool little = bytes.startsWith(kUtf16LeMark);
    if (!little && !bytes.startsWith(kUtf16BeMark))
        return {bytes, Encoding::Utf8};
    QStringDecoder decoder(little ? QStringConverter::Utf16LE : QStringConverter::Utf16BE);
    const QString text = decoder(QByteArrayView(bytes).sliced(2));
    return {text.toUtf8(), little ? Encoding::Utf16LittleEndian : Encoding::Utf16BigEndian};
}

QByteArray encodeProfile(const QByteArray& utf8, Encoding encoding)
{
    switch (encoding) {
    case Encoding::Utf8:
        return utf8;
    case Encoding::Utf8WithMark:
        return kUtf8Mark + utf8;
    case Encoding::Utf16LittleEndian:
    case Encoding::Utf16BigEndian:
        break;
    }
    const bool little = encoding == Encoding::Utf16LittleEndian;
    QStringEncoder encoder(little ? QStringConverter::Utf16LE : QStringConverter::Utf16BE);
    const QByteArray text = encoder(QString::fromUtf8(utf8));
    return (little ? QByteArray(kUtf16LeMark) : QByteArray(kUtf16BeMark)) + text;
}

QString decodeName(const QByteArray& text, qsizetype begin, qsizetype end)
{
    return trimBlanks(QString::fromUtf8(text.constData() + begin, end - begin));
}

// Looks for `key` in the first section named `section`. Both names come trimmed.
KeySearch findKey(const QByteArray& text, const QString& section, const QString& key)
{
    KeySearch found;
    bool inSection = false;
    qsizetype pos = 0;
    while (pos < text.size()) {
        const qsizetype newline = text.indexOf('\n', pos);
        const bool lastLine = newline < 0;
        const qsizetype next = lastLine ? text.size() : newline + 1;
        qsizetype begin = pos;
        qsizetype end = lastLine ? text.size() : newline;
        while (begin < end && isBlank(text.at(begin)))
            ++begin;
        while (end > begin && isBlank(text.at(end - 1)))
            --end;

        if (begin < end && text.at(begin) == '[') {
            const qsizetype close = text.lastIndexOf(']', end - 1);
            if (close > begin) {
                // Only the first section of a name counts: its end ends the search.
                if (inSection)
                    return found;
                if (sameName(decodeName(text, begin + 1, close), section)) {
                    inSection = true;
                    found.sectionFound = true;
                    found.insertAt = next;
                    found.insertNeedsLineEnd = lastLine;
                }
            }
        } else if (inSection && begin < end && text.at(begin) != ';') {
            const qsizetype equals = text.indexOf('=', begin);
            if (equals >= 0 && equals < end) {
                found.insertAt = next;
                found.insertNeedsLineEnd = lastLine;
                if (sameName(decodeName(text, begin, equals), key)) {
                    qsizetype valueBegin = equals + 1;
                    while (valueBegin < end && isBlank(text.at(valueBegin)))
                        ++valueBegin;
                    found.keyFound = true;
                    found.valueBegin = valueBegin;
                    found.valueEnd = end;
                    return found;
                }
            }
        }
        pos = next;
    }
    return found;
}

QString withoutQuotes(const QString& value)
{
    if (value.size() >= 2 && value.front() == value.back() &&
        (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\'')))
        return value.mid(1, value.size() - 2);
    return value;
}

QString cutToLimit(QString value)
{
    if (value.size() > kProfileValueLimit) {
        // Never leave half of a surrogate pair at the end.
        qsizetype length = kProfileValueLimit;
        if (value.at(length - 1).isHighSurrogate())
            --length;
        value.truncate(length);
    }
    return value;
}

// A name that would make the written line read back as something else is refused.
bool writableSectionName(const QString& name)
{
    return !name.isEmpty() && !name.contains(QLatin1Char('\n')) &&
           !name.contains(QLatin1Char('\r'));
}

bool writableKeyName(const QString& name)
{
    return writableSectionName(name) && !name.contains(QLatin1Char('=')) &&
           !name.startsWith(QLatin1Char(';')) && !name.startsWith(QLatin1Char('['));
}

QByteArray lineEndOf(const QByteArray& text)
{
    return text.contains("\r\n") ? QByteArrayLiteral("\r\n") : QByteArrayLiteral("\n");
}

} // namespace

QString ReadINI(const QString& file, const QString& section, const QString& key,
                const QString& defaultValue)
{
    const QString sectionName = trimBlanks(section);
    const QString keyName = trimBlanks(key);
    QFile input(file);
    if (sectionName.isEmpty() || keyName.isEmpty() || !input.open(QIODevice::ReadOnly))
        return cutToLimit(defaultValue);
    const QByteArray text = decodeProfile(input.readAll()).utf8;
    input.close();

    const KeySearch found = findKey(text, sectionName, keyName);
    if (!found.keyFound)
        return cutToLimit(defaultValue);
    const QString value =
        QString::fromUtf8(text.constData() + found.valueBegin, found.valueEnd - found.valueBegin);
    return cutToLimit(withoutQuotes(value));
}

bool WriteINI(const QString& file, const QString& section, const QString& key, const QString& value,
              QString* why)
{
    const auto fail = [why](const QString& reason) {
        if (why)
            *why = reason;
        return false;
    };
    const QString sectionName = trimBlanks(section);
    const QString keyName = trimBlanks(key);
    if (!writableSectionName(sectionName) || !writableKeyName(keyName))
        return fail(QStringLiteral("the section or key name cannot be written"));
    if (QFileInfo(file).isDir())
        return fail(QStringLiteral("it is a folder"));

    ProfileText original;
    if (QFile::exists(file)) {
        // A file that exists but cannot be read must not be replaced by a new one.
        QFile input(file);
        if (!input.open(QIODevice::ReadOnly))
            return fail(input.errorString());
        original = decodeProfile(input.readAll());
    }
    const QByteArray& text = original.utf8;

    QString oneLineValue = value;
    oneLineValue.replace(QLatin1Char('\r'), QLatin1Char(' '));
    oneLineValue.replace(QLatin1Char('\n'), QLatin1Char(' '));
    const QByteArray encodedValue = oneLineValue.toUtf8();
    const QByteArray keyLine = keyName.toUtf8() + '=' + encodedValue;
    const QByteArray lineEnd = lineEndOf(text);

    const KeySearch found = findKey(text, sectionName, keyName);
    QByteArray updated = text;
    if (found.keyFound) {
        updated.replace(found.valueBegin, found.valueEnd - found.valueBegin, encodedValue);
    } else if (found.sectionFound) {
        updated.insert(found.insertAt,
                       found.insertNeedsLineEnd ? lineEnd + keyLine : keyLine + lineEnd);
    } else {
        if (!updated.isEmpty() && !updated.endsWith('\n'))
            updated += lineEnd;
        updated += '[' + sectionName.toUtf8() + ']' + lineEnd + keyLine + lineEnd;
    }
    if (updated == text && QFile::exists(file))
        return true;

    // Unbuffered, so that a short write (a full disc, a file size limit) shows in the count
    // written: a buffered flush can take a short write for success and commit a cut file.
    const QByteArray bytes = encodeProfile(updated, original.encoding);
    QSaveFile output(file);
    if (!output.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail(output.errorString());
    if (output.write(bytes) != bytes.size()) {
        const QString reason = output.errorString();
        output.cancelWriting();
        return fail(reason);
    }
    return output.commit() || fail(output.errorString());
}

} // namespace platterly::system
