#include "app/cli/utf8_output.h"

#include "platform/system/native_name.h"

#include <QIODevice>
#include <unistd.h>

namespace platterly::cli {

namespace {

constexpr qsizetype kWriteBytes = 64 * 1024;

} // namespace

bool standardOutputIsTerminal()
{
    return isatty(STDOUT_FILENO) == 1;
}

QString terminalSafe(QStringView text)
{
    QString safe = text.toString();
    for (QChar& c : safe) {
        const char16_t unit = c.unicode();
        const bool control = unit < 0x20 || (unit >= 0x7F && unit <= 0x9F);
        const bool escapedByte = unit >= system::kFirstEscape && unit <= system::kLastEscape;
        if (control || escapedByte)
            c = u'?';
    }
    return safe;
}

Utf8Output::Utf8Output(QTextStream& out, bool terminal) : m_out(out), m_terminal(terminal)
{
    m_buffer.reserve(kWriteBytes + 4096);
    // What the stream holds already goes first.
    m_out.flush();
}

Utf8Output::~Utf8Output()
{
    flush();
}

Utf8Output& Utf8Output::operator<<(QStringView text)
{
    append(text);
    return *this;
}

Utf8Output& Utf8Output::name(QStringView text)
{
    if (m_terminal) {
        append(terminalSafe(text));
    } else if (system::holdsEscapedBytes(text)) {
        m_buffer.append(system::nativeBytesFromText(text));
        if (m_buffer.size() >= kWriteBytes)
            flush();
    } else {
        append(text);
    }
    return *this;
}

void Utf8Output::append(QStringView text)
{
    const qsizetype at = m_buffer.size();
    m_buffer.resize(at + m_encoder.requiredSpace(text.size()));
    char* end = m_encoder.appendToBuffer(m_buffer.data() + at, text);
    m_buffer.resize(end - m_buffer.constData());
    if (m_buffer.size() >= kWriteBytes)
        flush();
}

Utf8Output& Utf8Output::operator<<(char c)
{
    m_buffer.append(c);
    return *this;
}

void Utf8Output::flush()
{
    if (m_buffer.isEmpty())
        return;
    if (QIODevice* device = m_out.device())
        device->write(m_buffer);
    else
        m_out << QString::fromUtf8(m_buffer);
    m_buffer.clear();
}

} // namespace platterly::cli
