#include "app/cli/json_line.h"

#include "catalogue/entry_details.h"
#include "platform/system/native_name.h"

namespace platterly::cli {

QString jsonQuoted(const QString& text)
{
    QString out;
    out.reserve(text.size() + 2);
    out.append(QLatin1Char('"'));
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '"':
            out.append(QLatin1String("\\\""));
            break;
        case '\\':
            out.append(QLatin1String("\\\\"));
            break;
        case '\n':
            out.append(QLatin1String("\\n"));
            break;
        case '\r':
            out.append(QLatin1String("\\r"));
            break;
        case '\t':
            out.append(QLatin1String("\\t"));
            break;
        default:
            if (c.unicode() < 0x20)
                out.append(QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0')));
            // JSON is UTF-8: bytes of a name that are not show as the grid shows them.
            else if (c.unicode() >= system::kFirstEscape && c.unicode() <= system::kLastEscape)
                out.append(QChar::ReplacementCharacter);
            else
                out.append(c);
        }
    }
    out.append(QLatin1Char('"'));
    return out;
}

void JsonLine::key(const QString& name)
{
    if (m_text.size() > 1)
        m_text.append(QLatin1Char(','));
    m_text.append(jsonQuoted(name));
    m_text.append(QLatin1Char(':'));
}

JsonLine& JsonLine::add(const QString& name, const QString& value)
{
    key(name);
    m_text.append(jsonQuoted(value));
    return *this;
}

JsonLine& JsonLine::add(const QString& name, qint64 value)
{
    key(name);
    m_text.append(QString::number(value));
    return *this;
}

JsonLine& JsonLine::addJson(const QString& name, const QString& json)
{
    key(name);
    m_text.append(json);
    return *this;
}

JsonLine& JsonLine::addNull(const QString& name)
{
    key(name);
    m_text.append(QLatin1String("null"));
    return *this;
}

JsonLine& JsonLine::addDetails(std::optional<qint64> size, std::optional<qint64> modified)
{
    if (size)
        add(QStringLiteral("SIZE"), *size);
    else
        addNull(QStringLiteral("SIZE"));
    if (modified)
        add(QStringLiteral("MODIFIED"), catalogue::modifiedIso(*modified));
    else
        addNull(QStringLiteral("MODIFIED"));
    return *this;
}

QString detailsText(std::optional<qint64> size, std::optional<qint64> modified)
{
    return (size ? QString::number(*size) : QString()) + QLatin1Char('\t') +
           (modified ? catalogue::modifiedIso(*modified) : QString());
}

} // namespace platterly::cli
