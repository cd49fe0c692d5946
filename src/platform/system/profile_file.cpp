#include "platform/system/profile_file.h"

#include <QByteArray>
#include <QFile>
#include <QSaveFile>

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

qsizetype textStart(const QByteArray& text)
{
    // A byte order mark is not part of the first line.
    return text.startsWith("\xEF\xBB\xBF") ? 3 : 0;
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
    qsizetype pos = textStart(text);
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
    const QByteArray text = input.readAll();
    input.close();

    const KeySearch found = findKey(text, sectionName, keyName);
    if (!found.keyFound)
        return cutToLimit(defaultValue);
    const QString value =
        QString::fromUtf8(text.constData() + found.valueBegin, found.valueEnd - found.valueBegin);
    return cutToLimit(withoutQuotes(value));
}

bool WriteINI(const QString& file, const QString& section, const QString& key, const QString& value)
{
    const QString sectionName = trimBlanks(section);
    const QString keyName = trimBlanks(key);
    if (!writableSectionName(sectionName) || !writableKeyName(keyName))
        return false;

    QByteArray text;
    if (QFile::exists(file)) {
        // A file that exists but cannot be read must not be replaced by a new one.
        QFile input(file);
        if (!input.open(QIODevice::ReadOnly))
            return false;
        text = input.readAll();
    }

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
    QSaveFile output(file);
    if (!output.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    if (output.write(updated) != updated.size()) {
        output.cancelWriting();
        return false;
    }
    return output.commit();
}

} // namespace platterly::system
