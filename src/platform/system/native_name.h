#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace platterly::system {

// A Linux file name may hold any byte but '/' and NUL; most names are UTF-8, some are not.
// The program keeps names and native paths as text in one reversible form, so that the
// catalogue, the settings and Qt's strings carry them and every byte comes back:
// - valid UTF-8 stands for itself, except the private-use code points U+F780..U+F7FF, whose
//   three UTF-8 bytes are written as three escapes;
// - each byte of an invalid sequence (0x80..0xFF) is written as the escape U+F700 + byte.
// The mapping from bytes to text is one to one. Text that never came from the file system
// (typed, or from a catalogue made on Windows) means its UTF-8 bytes.

inline constexpr char16_t kFirstEscape = 0xF780;
inline constexpr char16_t kLastEscape = 0xF7FF;

// The text form of a name or path as the file system gives it.
QString textFromNativeBytes(QByteArrayView bytes);

// The bytes a text form stands for, to hand to the system.
QByteArray nativeBytesFromText(QStringView text);

// Whether the text holds escaped bytes. Such text cannot go through Qt's own file functions,
// which encode text as UTF-8; the other text can.
bool holdsEscapedBytes(QStringView text);

// The text as a person sees it: each escaped byte becomes the replacement character U+FFFD.
QString displayedText(QStringView text);

} // namespace platterly::system
