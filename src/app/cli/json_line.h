#pragma once

#include <QString>

namespace platterly::cli {

// One JSON object written on one line, keys in the order they are added (the catalogue's
// field order), so that scripts can read the output line by line.
class JsonLine
{
public:
    JsonLine& add(const QString& key, const QString& value);
    JsonLine& add(const QString& key, qint64 value);
    JsonLine& addNull(const QString& key);
    QString text() const { return m_text + QLatin1Char('}'); }

private:
    void key(const QString& name);

    QString m_text = QStringLiteral("{");
};

QString jsonQuoted(const QString& text);

} // namespace platterly::cli
