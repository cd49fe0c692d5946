#include "cataloguing/disc_totals.h"

#include <QFileInfo>

namespace platterly::cataloguing {

namespace {

using sql::SqlError;

QString dateOf(const QDate& day)
{
    return (day.isValid() ? day : QDate::currentDate()).toString(Qt::ISODate);
}

SqlError addToTotals(sql::DataControl& data, qint64 discs, qint64 dirs, qint64 files,
                     const QString& unchanged)
{
    if (SqlError error = query(data, QStringLiteral("SELECT * FROM TOTALS")))
        return error;
    sql::Recordset& totals = *data.recordset();
    if (totals.absolutePosition() == -1)
        return {sql::ErrorCode::NoCurrentRecord,
                QStringLiteral("The catalogue file has lost its totals row; ") + unchanged};
    totals.edit();
    if (discs != 0)
        totals.setField(u"TCDS", totals.field(u"TCDS").toLongLong() + discs);
    totals.setField(u"TDIRS", totals.field(u"TDIRS").toLongLong() + dirs);
    totals.setField(u"TFILES", totals.field(u"TFILES").toLongLong() + files);
    return totals.update();
}

} // namespace

QString damageOf(const sql::Database& db, const QString& consequence)
{
    const QString damage = db.integrityProblem();
    if (damage.isEmpty())
        return {};
    return QStringLiteral("The catalogue file %1 is damaged: it fails SQLite's integrity check "
                          "(%2). ")
               .arg(QFileInfo(db.path()).fileName(), damage) +
           consequence;
}

SqlError appendDiscTotals(sql::DataControl& data, const QString& title, const QDate& day,
                          DiscCounts counts)
{
    if (SqlError error = query(data, QStringLiteral("SELECT * FROM TOTAL")))
        return error;
    sql::Recordset& total = *data.recordset();
    total.addNew();
    total.setField(u"CDNAME", title);
    total.setField(u"DATE", dateOf(day));
    total.setField(u"DIRS", counts.dirs);
    total.setField(u"FILES", counts.files);
    if (SqlError error = total.update())
        return error;
    return addToTotals(data, 1, counts.dirs, counts.files,
                       QStringLiteral("nothing was added to it."));
}

SqlError rewriteDiscTotals(sql::DataControl& data, const QString& title, const QDate& day,
                           DiscCounts before, DiscCounts after)
{
    if (SqlError error = query(data, QStringLiteral("SELECT * FROM TOTAL WHERE CDNAME = '") +
                                         sql::quoteSqlText(title) + u'\''))
        return error;
    sql::Recordset& total = *data.recordset();
    total.edit();
    total.setField(u"DATE", dateOf(day));
    total.setField(u"DIRS", after.dirs);
    total.setField(u"FILES", after.files);
    if (SqlError error = total.update())
        return error;
    return addToTotals(data, 0, after.dirs - before.dirs, after.files - before.files,
                       QStringLiteral("nothing was changed."));
}

} // namespace platterly::cataloguing
