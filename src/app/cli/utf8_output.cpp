#include "app/cli/utf8_output.h"

#include <QIODevice>

namespace platterly::cli {

namespace {

constexpr qsizetype kWriteBytes = 64 * 1024;

} // namespace

Utf8Output::Utf8Output(QTextStream& out) : m_out(out)
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
    const qsizetype at = m_buffer.size();
    m_buffer.resize(at + m_encoder.requiredSpace(text.size()));
    char* end = m_encoder.appendToBuffer(m_buffer.data() + at, text);
    m_buffer.resize(end - m_buffer.constData());
    if (m_buffer.size() >= kWriteBytes)
        flush();
    return *this;
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
