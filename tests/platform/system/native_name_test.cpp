#include "platform/system/native_name.h"
#include "platform/system/system_test_support.h"

#include <QSet>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace platterly::system {
namespace {

TEST(NativeNames, EveryByteComesBackAndDifferentNamesStayDifferent)
{
    const QByteArray names[] = {
        "plain.txt",
        "caf\xc3\xa9.txt",               // UTF-8: stays readable text
        "caf\xe9.txt",                   // Latin-1 byte
        "caf\xe8.txt",                   // another one: a different name
        "caf\xef\xbf\xbd.txt",           // a real replacement character
        "\xef\x9e\x80 and \xef\x9f\xbf", // the escape code points themselves, as UTF-8
        "\xf7\x80",                      // the bytes an escape is made of, not UTF-8
        "\xed\xa0\x80 surrogate",        // encoded surrogate: not UTF-8
        "\xc0\xaf overlong",             // overlong '/': not UTF-8
        "cut \xe2\x82",                  // a sequence cut short
        "\x01\x1b[2J\n",                 // control characters are bytes like any other
    };
    QSet<QString> texts;
    for (const QByteArray& bytes : names) {
        const QString text = textFromNativeBytes(bytes);
        EXPECT_EQ(nativeBytesFromText(text), bytes) << bytes.toHex().constData();
        EXPECT_TRUE(text.isValidUtf16());
        texts.insert(text);
    }
    EXPECT_EQ(texts.size(), static_cast<qsizetype>(std::size(names)));

    EXPECT_EQ(textFromNativeBytes("caf\xc3\xa9.txt"), u"caf\u00e9.txt"_s);
    EXPECT_FALSE(holdsEscapedBytes(textFromNativeBytes("caf\xc3\xa9.txt")));
    EXPECT_TRUE(holdsEscapedBytes(textFromNativeBytes("caf\xe9.txt")));
}

TEST(NativeNames, BytesThatAreNotUtf8ShowAsReplacementCharacters)
{
    EXPECT_EQ(displayedText(textFromNativeBytes("caf\xe9.txt")), u"caf\uFFFD.txt"_s);
    EXPECT_EQ(displayedText(textFromNativeBytes("\xed\xa0\x80")), u"\uFFFD\uFFFD\uFFFD"_s);
    EXPECT_EQ(displayedText(u"C:\\Fotos\\"_s), u"C:\\Fotos\\"_s);
}

} // namespace
} // namespace platterly::system
