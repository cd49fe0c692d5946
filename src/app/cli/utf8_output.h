#pragma once

#include <QByteArray>
#include <QStringEncoder>
#include <QStringView>
#include <QTextStream>

namespace platterly::cli {

// Many lines of text for standard output, encoded to UTF-8 straight into one buffer and
// written to the stream's device in large pieces: a search may print a million lines, and
// going through the text stream's own buffer costs it a copy and a conversion per piece.
// A stream without a device (a string, in the tests) is given the text through the stream.
//
// Names and paths go through name(): they are written as the file system's own bytes, so a
// name that is not UTF-8 comes out as it is on disk; but on a terminal, control characters
// and bytes that are not UTF-8 are shown as '?' (as `ls` does), so that a name cannot move the
// cursor, clear the screen or break a line.
class Utf8Output
{
public:
    explicit Utf8Output(QTextStream& out, bool terminal = false);
    ~Utf8Output();
    Utf8Output(const Utf8Output&) = delete;
    Utf8Output& operator=(const Utf8Output&) = delete;

    Utf8Output& operator<<(QStringView text);
    Utf8Output& operator<<(char c);
    Utf8Output& name(QStringView text);
    void flush();

private:
    void append(QStringView text);

    QTextStream& m_out;
    QStringEncoder m_encoder{QStringEncoder::Utf8};
    QByteArray m_buffer;
    bool m_terminal;
};

// Whether standard output is a terminal.
bool standardOutputIsTerminal();

// A name or path for a terminal: control characters and bytes that are not UTF-8 become '?'.
QString terminalSafe(QStringView text);

} // namespace platterly::cli
