#include "platform/sql/recordset.h"

#include <cstring>
#include <sqlite3.h>

namespace platterly::sql {

namespace {

SqlError noCurrentRecord()
{
    return {ErrorCode::NoCurrentRecord, QStringLiteral("There is no current record.")};
}

} // namespace

Recordset::Recordset(const Database& db, QueryPlan plan) : m_db(db), m_plan(std::move(plan)) {}

SqlError Recordset::fail(SqlError error)
{
    m_lastError = error;
    return error;
}

SqlError Recordset::openAt(qint64 offset)
{
    m_rowLoaded = false;
    m_cursorOnRow = false;
    SqlError error;
    m_cursor = m_db.prepare(m_plan.rowsSql() + QStringLiteral(" LIMIT -1 OFFSET ?") +
                                QString::number(m_plan.parameterCount() + 1),
                            &error);
    if (!m_cursor) {
        m_eof = true;
        return fail(error);
    }
    m_plan.bindTo(*m_cursor);
    m_cursor->bindInt(m_plan.parameterCount() + 1, offset);
    m_position = offset;
    switch (m_cursor->step()) {
    case Statement::Step::Row:
        m_eof = false;
        m_cursorOnRow = true;
        return fail({});
    case Statement::Step::Done:
        m_eof = true;
        return fail({});
    case Statement::Step::Error:
        break;
    }
    m_eof = true;
    return fail(m_db.lastError());
}

qint64 Recordset::recordCount()
{
    if (!m_count) {
        SqlError error;
        auto count = m_db.prepare(m_plan.countSql(), &error);
        if (!count) {
            fail(error);
            return 0;
        }
        m_plan.bindTo(*count);
        if (count->step() != Statement::Step::Row) {
            fail(m_db.lastError());
            return 0;
        }
        m_count = count->integer(0);
    }
    return *m_count;
}

SqlError Recordset::moveFirst()
{
    cancelUpdate();
    m_count.reset(); // the table may have changed since the count was taken
    return openAt(0);
}

SqlError Recordset::moveNext()
{
    cancelUpdate();
    if (m_eof)
        return fail(noCurrentRecord());
    if (!m_cursorOnRow)
        return openAt(m_position + 1);
    m_rowLoaded = false;
    ++m_position;
    switch (m_cursor->step()) {
    case Statement::Step::Row:
        return fail({});
    case Statement::Step::Done:
        m_eof = true;
        m_cursorOnRow = false;
        return fail({});
    case Statement::Step::Error:
        break;
    }
    m_eof = true;
    m_cursorOnRow = false;
    return fail(m_db.lastError());
}

SqlError Recordset::moveLast()
{
    cancelUpdate();
    m_count.reset();
    const qint64 rows = recordCount();
    if (m_lastError)
        return m_lastError;
    m_rowLoaded = false;
    m_cursor.reset();
    m_cursorOnRow = false;
    // The row itself is read only when a field of it is asked for: counting the rows is
    // often all a caller wants.
    m_position = rows > 0 ? rows - 1 : 0;
    m_eof = rows == 0;
    return fail({});
}

bool Recordset::loadCurrent()
{
    if (m_eof) {
        fail(noCurrentRecord());
        return false;
    }
    if (m_rowLoaded)
        return true;
    if (!m_cursorOnRow) {
        if (openAt(m_position) || m_eof) {
            if (!m_lastError)
                fail(noCurrentRecord());
            return false;
        }
    }
    const int columns = m_cursor->columnCount();
    m_row.resize(static_cast<std::size_t>(columns));
    for (int i = 0; i < columns; ++i)
        m_row[static_cast<std::size_t>(i)] = m_cursor->value(i);
    m_rowLoaded = true;
    return true;
}

QVariant Recordset::field(int index)
{
    if (m_editing != Editing::None && index >= 0 && index < fieldCount() &&
        m_written[static_cast<std::size_t>(index)])
        return m_buffer[static_cast<std::size_t>(index)];
    if (index < 0 || index >= fieldCount()) {
        fail({ErrorCode::FieldNotFound, QStringLiteral("There is no field number %1.").arg(index)});
        return {};
    }
    if (!loadCurrent())
        return {};
    return m_row[static_cast<std::size_t>(index) + 1];
}

QString Recordset::text(int index)
{
    if (m_editing != Editing::None || m_rowLoaded || !m_cursorOnRow || index < 0 ||
        index >= fieldCount()) {
        const QVariant value = field(index);
        return value.isNull() ? QString() : value.toString();
    }
    sqlite3_stmt* row = m_cursor->handle();
    const int column = index + 1; // after the rowid
    if (sqlite3_column_type(row, column) == SQLITE_NULL)
        return QString();
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(row, column));
    const auto size = static_cast<std::size_t>(sqlite3_column_bytes(row, column));
    if (m_lastText.size() != static_cast<std::size_t>(fieldCount()))
        m_lastText.resize(static_cast<std::size_t>(fieldCount()));
    LastText& last = m_lastText[static_cast<std::size_t>(index)];
    if (!last.valid || last.bytes.size() != size ||
        std::memcmp(last.bytes.data(), data, size) != 0) {
        last.bytes.assign(data, size);
        last.text = QString::fromUtf8(data, static_cast<qsizetype>(size));
        last.valid = true;
    }
    return last.text;
}

std::optional<qint64> Recordset::integer(int index)
{
    if (index < 0 || index >= fieldCount())
        return std::nullopt;
    if (m_editing != Editing::None || m_rowLoaded || !m_cursorOnRow) {
        const QVariant value = field(index);
        if (value.typeId() != QMetaType::LongLong && value.typeId() != QMetaType::Int)
            return std::nullopt;
        return value.toLongLong();
    }
    sqlite3_stmt* row = m_cursor->handle();
    const int column = index + 1; // after the rowid
    if (sqlite3_column_type(row, column) != SQLITE_INTEGER)
        return std::nullopt;
    return sqlite3_column_int64(row, column);
}

QVariant Recordset::field(QStringView name)
{
    const int index = fieldIndex(name);
    if (index < 0) {
        fail({ErrorCode::FieldNotFound, QStringLiteral("The table %1 has no field %2.")
                                            .arg(m_plan.table.name, name.toString())});
        return {};
    }
    return field(index);
}

SqlError Recordset::addNew()
{
    m_editing = Editing::Adding;
    m_buffer.assign(static_cast<std::size_t>(fieldCount()), QVariant());
    m_written.assign(static_cast<std::size_t>(fieldCount()), false);
    return fail({});
}

SqlError Recordset::edit()
{
    if (!loadCurrent())
        return m_lastError;
    m_editing = Editing::Changing;
    m_buffer.assign(m_row.begin() + 1, m_row.end());
    m_written.assign(static_cast<std::size_t>(fieldCount()), false);
    return fail({});
}

SqlError Recordset::setField(int index, const QVariant& value)
{
    if (m_editing == Editing::None)
        return fail({ErrorCode::Other,
                     QStringLiteral("A field can only be written after add new or edit.")});
    if (index < 0 || index >= fieldCount())
        return fail(
            {ErrorCode::FieldNotFound, QStringLiteral("There is no field number %1.").arg(index)});
    m_buffer[static_cast<std::size_t>(index)] = value;
    m_written[static_cast<std::size_t>(index)] = true;
    return fail({});
}

SqlError Recordset::setField(QStringView name, const QVariant& value)
{
    const int index = fieldIndex(name);
    if (index < 0)
        return fail({ErrorCode::FieldNotFound, QStringLiteral("The table %1 has no field %2.")
                                                   .arg(m_plan.table.name, name.toString())});
    return setField(index, value);
}

SqlError Recordset::update()
{
    if (m_editing == Editing::Adding) {
        if (!m_insert) {
            QStringList names;
            QStringList slots;
            for (int i = 0; i < fieldCount(); ++i) {
                names.append(quoteName(m_plan.table.columns.at(i)));
                slots.append(u'?' + QString::number(i + 1));
            }
            SqlError error;
            m_insert = m_db.prepare(QStringLiteral("INSERT INTO ") + quoteName(m_plan.table.name) +
                                        QStringLiteral(" (") + names.join(QLatin1String(", ")) +
                                        QStringLiteral(") VALUES (") +
                                        slots.join(QLatin1String(", ")) + u')',
                                    &error);
            if (!m_insert)
                return fail(error);
        }
        for (int i = 0; i < fieldCount(); ++i)
            m_insert->bind(i + 1, m_buffer[static_cast<std::size_t>(i)]);
        const Statement::Step step = m_insert->step();
        m_insert->reset();
        m_editing = Editing::None;
        if (step == Statement::Step::Error)
            return fail(m_db.lastError());
        if (m_count)
            ++*m_count;
        return fail({});
    }
    if (m_editing == Editing::Changing) {
        QStringList sets;
        for (int i = 0; i < fieldCount(); ++i)
            sets.append(quoteName(m_plan.table.columns.at(i)) + QStringLiteral(" = ?") +
                        QString::number(i + 1));
        SqlError error;
        auto change = m_db.prepare(QStringLiteral("UPDATE ") + quoteName(m_plan.table.name) +
                                       QStringLiteral(" SET ") + sets.join(QLatin1String(", ")) +
                                       QStringLiteral(" WHERE _rowid_ = ?") +
                                       QString::number(fieldCount() + 1),
                                   &error);
        m_editing = Editing::None;
        if (!change)
            return fail(error);
        for (int i = 0; i < fieldCount(); ++i)
            change->bind(i + 1, m_buffer[static_cast<std::size_t>(i)]);
        change->bind(fieldCount() + 1, m_row[0]);
        if (change->step() == Statement::Step::Error)
            return fail(m_db.lastError());
        for (int i = 0; i < fieldCount(); ++i)
            m_row[static_cast<std::size_t>(i) + 1] = m_buffer[static_cast<std::size_t>(i)];
        return fail({});
    }
    return fail({ErrorCode::Other, QStringLiteral("Update without add new or edit.")});
}

void Recordset::cancelUpdate()
{
    m_editing = Editing::None;
}

SqlError Recordset::deleteCurrent()
{
    cancelUpdate();
    if (!loadCurrent())
        return m_lastError;
    SqlError error;
    auto erase = m_db.prepare(QStringLiteral("DELETE FROM ") + quoteName(m_plan.table.name) +
                                  QStringLiteral(" WHERE _rowid_ = ?1"),
                              &error);
    if (!erase)
        return fail(error);
    erase->bind(1, m_row[0]);
    if (erase->step() == Statement::Step::Error)
        return fail(m_db.lastError());
    m_count.reset();
    return fail({});
}

} // namespace platterly::sql
