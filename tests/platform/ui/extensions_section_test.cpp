#include "platform/system/profile_file.h"
#include "platform/ui/extensions_section.h"
#include "platform/ui/icon_library.h"
#include "platform/ui/ui_test_support.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace platterly::ui {
namespace {

const QString kShippedFile = QStringLiteral(PLATTERLY_ASSETS_DIR "/extensions.ini");

// The key of each "key=value" line of the text, in order.
QStringList keysOf(const QString& text)
{
    QStringList keys;
    for (const QString& line : text.split(u'\n')) {
        const qsizetype equals = line.indexOf(u'=');
        if (!line.startsWith(u';') && equals > 0)
            keys.append(line.left(equals));
    }
    return keys;
}

QString shippedText()
{
    QFile file(kShippedFile);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

TEST(ExtensionsSection, TheShippedFileHoldsTheProgramsText)
{
    const QString shipped = shippedText();
    ASSERT_FALSE(shipped.isEmpty()) << kShippedFile.toStdString();
    EXPECT_EQ(shipped, extensionsSectionText());
    EXPECT_TRUE(shipped.startsWith(u"[Extensions]\n"_s));
}

TEST(ExtensionsSection, EveryExtensionOfTheShippedFileReadsAsAnIconNumber)
{
    const QStringList keys = keysOf(shippedText());
    ASSERT_GT(keys.size(), 200);
    const QRegularExpression extensionShape(u"^[a-z0-9]+$"_s);
    QSet<QString> seen;
    QSet<int> used;
    for (const QString& key : keys) {
        SCOPED_TRACE(key.toStdString());
        // A second line for a key would never be read.
        EXPECT_FALSE(seen.contains(key));
        seen.insert(key);
        if (key != u"(Default)"_s) {
            EXPECT_TRUE(extensionShape.match(key).hasMatch());
        }
        bool numeric = false;
        const int number = system::ReadINI(kShippedFile, u"Extensions"_s, key, {}).toInt(&numeric);
        ASSERT_TRUE(numeric);
        EXPECT_TRUE(isIconNumber(number)) << number;
        used.insert(number);
    }
    // Every icon but the disc and the folder, which are given by the tree itself, has
    // extensions of its own.
    EXPECT_EQ(used.size(), kIconCount - 2);
}

} // namespace
} // namespace platterly::ui
