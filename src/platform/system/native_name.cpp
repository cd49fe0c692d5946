#include "platform/system/native_name.h"

#include "platform/sql/utf8.h"

namespace platterly::system {

namespace {

constexpr char16_t kEscapeBase = 0xF700;

bool isEscape(char16_t unit)
{
    return unit >= kFirstEscape && unit <= kLastEscape;
}

void appendEscapes(QString& text, const unsigned char* bytes, int count)
{
    for (int i = 0; i < count; ++i)
        text.append(QChar(static_cast<char16_t>(kEscapeBase + bytes[i])));
}

} // namespace

QString textFromNativeBytes(QByteArrayView bytes)
{
    QString text;
    text.reserve(bytes.size());
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = p + bytes.size();
    while (p < end) {
        if (*p < 0x80) {
            text.append(QLatin1Char(static_cast<char>(*p)));
            ++p;
            continue;
        }
        char32_t codePoint = 0;
        const int length = sql::decodeUtf8Sequence(p, end, &codePoint);
        if (length == 0) {
            appendEscapes(text, p, 1);
            ++p;
        } else if (codePoint >= kFirstEscape && codePoint <= kLastEscape) {
            // A name that really holds one of the escape code points keeps its bytes too.
            appendEscapes(text, p, length);
            p += length;
        } else {
            text.append(QString::fromUcs4(&codePoint, 1));
            p += length;
        }
    }
    return text;
}

QByteArray nativeBytesFromText(QStringView text)
{
    if (!holdsEscapedBytes(text))
        return text.toUtf8();
    QByteArray bytes;
    bytes.reserve(text.size());
    qsizetype plainFrom = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text.at(i).unicode();
        if (!isEscape(unit))
            continue;
        bytes.append(text.mid(plainFrom, i - plainFrom).toUtf8());
        bytes.append(static_cast<char>(unit - kEscapeBase));
        plainFrom = i + 1;
    }
    bytes.append(text.mid(plainFrom).toUtf8());
    return bytes;
}

bool holdsEscapedBytes(QStringView text)
{
    for (const QChar c : text) {
        if (isEscape(c.unicode()))
            return true;
    }
    return false;
}

QString displayedText(QStringView text)
{
    QString shown = text.toString();
    for (QChar& c : shown) {
        if (isEscape(c.unicode()))
            c = QChar::ReplacementCharacter;
    }
    return shown;
}

} // namespace platterly::system
