#pragma once

#include <QString>
#include <QUrl>
#include <ostream>

// Let GoogleTest show Qt values that failed a check as text.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QUrl& url, std::ostream* out)
{
    *out << '<' << url.toString().toStdString() << '>';
}
