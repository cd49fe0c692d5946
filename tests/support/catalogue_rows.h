#pragma once

#include <QString>

namespace platterly::test {

// The fields a snapshot of a catalogue table shows: for CDS the five of the schema, so that
// rows compare without the sizes and times the tree happened to have; all of the others.
inline QString snapshotFields(const QString& table)
{
    return table == QLatin1String("CDS") ? QStringLiteral("CDNAME, FNAME, PATH, LEVEL, TYPE")
                                         : QStringLiteral("*");
}

} // namespace platterly::test
