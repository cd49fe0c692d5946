#pragma once

#include <QString>
#include <optional>

namespace platterly::cli {

// One JSON object written on one line, keys in the order they are added (the catalogue's
// field order), so that scripts can read the output line by line.
class JsonLine
{
public:
    JsonLine& add(const QString& key, const QString& value);
    JsonLine& add(const QString& key, qint64 value);
    JsonLine& addNull(const QString& key);
    // A value that is JSON already: an array or an object.
    JsonLine& addJson(const QString& key, const QString& json);
    // SIZE (bytes) and MODIFIED (local time, YYYY-MM-DDTHH:MM:SS) of an entry; null when unknown.
    JsonLine& addDetails(std::optional<qint64> size, std::optional<qint64> modified);
    QString text() const { return m_text + QLatin1Char('}'); }

private:
    void key(const QString& name);

    QString m_text = QStringLiteral("{");
};

QString jsonQuoted(const QString& text);

// SIZE and MODIFIED as two fields of a plain line, TAB between them, each empty when unknown.
QString detailsText(std::optional<qint64> size, std::optional<qint64> modified);

} // namespace platterly::cli
