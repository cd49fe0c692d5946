#pragma once

#include <QString>

namespace platterly::sql {

// Error numbers of the catalogue engine. The windows react to a few of them by number, as the
// program always has (3078 means "this file is not a catalogue"); the others carry a message
// of their own that is shown to the user as it is.
enum class ErrorCode
{
    None = 0,
    TableNotFound = 3078,   // the statement names a table the file lacks
    FileNotFound = 3024,    // the catalogue file does not exist
    NotADatabase = 3343,    // the file is not a database at all
    Damaged = 3049,         // the file is a database but damaged
    Locked = 3045,          // another program holds the file
    ReadOnly = 3051,        // the file or its folder cannot be written
    DiskFull = 3035,        // no room left to write
    Syntax = 3075,          // a statement outside the supported subset
    FieldNotFound = 3265,   // a field name the table lacks
    InvalidPattern = 3609,  // a LIKE pattern Jet refuses ("[" without "]")
    NoCurrentRecord = 3021, // the recordset is at its end or empty
    Other = 3000,
};

struct SqlError
{
    ErrorCode code = ErrorCode::None;
    QString message;

    explicit operator bool() const { return code != ErrorCode::None; }
    int number() const { return static_cast<int>(code); }
};

} // namespace platterly::sql
