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
class Utf8Output
{
public:
    explicit Utf8Output(QTextStream& out);
    ~Utf8Output();
    Utf8Output(const Utf8Output&) = delete;
    Utf8Output& operator=(const Utf8Output&) = delete;

    Utf8Output& operator<<(QStringView text);
    Utf8Output& operator<<(char c);
    void flush();

private:
    QTextStream& m_out;
    QStringEncoder m_encoder{QStringEncoder::Utf8};
    QByteArray m_buffer;
};

} // namespace platterly::cli
