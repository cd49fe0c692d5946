#include "platform/drives/volume_label.h"
#include "support/disc_images.h"
#include "volume_images.h"

#include <QBuffer>
#include <QFile>
#include <gtest/gtest.h>

namespace platterly::drives {
namespace {

std::optional<QString> isoLabelOf(QByteArray image)
{
    QBuffer buffer(&image);
    buffer.open(QIODevice::ReadOnly);
    return readIso9660Label(buffer);
}

std::optional<QString> udfLabelOf(QByteArray image)
{
    QBuffer buffer(&image);
    buffer.open(QIODevice::ReadOnly);
    return readUdfLabel(buffer);
}

TEST(IsoLabel, IsTheVolumeIdentifierWithoutItsPaddingOrMissing)
{
    EXPECT_EQ(isoLabelOf(fixtures::isoImage("  TWO WORDS")), u"  TWO WORDS");
    EXPECT_EQ(isoLabelOf(fixtures::isoImage("ABCDEFGHIJKLMNOPQRSTUVWXYZ012345")),
              u"ABCDEFGHIJKLMNOPQRSTUVWXYZ012345");
    EXPECT_EQ(isoLabelOf(fixtures::isoImage("J\xc3\xb6rg")), u"J\u00f6rg");
    EXPECT_EQ(isoLabelOf(fixtures::isoImage("J\xf6rg")), u"J\u00f6rg");

    EXPECT_EQ(isoLabelOf(fixtures::isoImage("   ")), std::nullopt);
    EXPECT_EQ(isoLabelOf(QByteArray(64 * 1024, '\0')), std::nullopt);
    EXPECT_EQ(isoLabelOf(fixtures::udfImage(QStringLiteral("UDF_ONLY"))), std::nullopt);
    EXPECT_EQ(isoLabelOf(fixtures::isoImage("CUT").left(16 * 2048 + 60)), std::nullopt);
}

TEST(UdfLabel, ReadsEightAndSixteenBitIdentifiersUnlessTheAnchorIsDamaged)
{
    EXPECT_EQ(udfLabelOf(fixtures::udfImage(QStringLiteral("Holiday Photos 2004 (all of them)"))),
              u"Holiday Photos 2004 (all of them)");
    EXPECT_EQ(udfLabelOf(fixtures::udfImage(QStringLiteral("\u65c5\u884c 2004"),
                                            fixtures::UdfCharacters::Sixteen)),
              u"\u65c5\u884c 2004");

    EXPECT_EQ(udfLabelOf(fixtures::isoImage("ISO_ONLY")), std::nullopt);
    EXPECT_EQ(udfLabelOf(fixtures::udfImage(QString())), std::nullopt);

    QByteArray damaged = fixtures::udfImage(QStringLiteral("LABEL"));
    damaged[256 * 2048 + 5] = 1; // the anchor's tag checksum no longer matches
    EXPECT_EQ(udfLabelOf(damaged), std::nullopt);

    QByteArray truncated = fixtures::udfImage(QStringLiteral("LABEL")).left(200 * 2048);
    EXPECT_EQ(udfLabelOf(truncated), std::nullopt);
}

TEST(VolumeLabelOfAFile, PrefersUdfOnABridgeVolume)
{
    test::TempTree tree;
    tree.addFile(QStringLiteral("bridge.iso"),
                 fixtures::bridgeImage("SHORT_NAME", QStringLiteral("The long name")));
    tree.addFile(QStringLiteral("plain.iso"), fixtures::isoImage("PLAIN"));
    tree.addFile(QStringLiteral("notes.txt"), "not a volume");
    EXPECT_EQ(readVolumeLabel(tree.path(QStringLiteral("bridge.iso"))), u"The long name");
    EXPECT_EQ(readVolumeLabel(tree.path(QStringLiteral("plain.iso"))), u"PLAIN");
    EXPECT_EQ(readVolumeLabel(tree.path(QStringLiteral("notes.txt"))), std::nullopt);
    EXPECT_EQ(readVolumeLabel(tree.path(QStringLiteral("missing.iso"))), std::nullopt);
}

TEST(VolumeLabelOfAFile, ReadsAnImageMadeByXorriso)
{
    test::TempTree tree;
    tree.addFile(QStringLiteral("content/MUSIC/a.mp3"), "ID3");
    const QString iso = tree.path(QStringLiteral("x.iso"));
    if (const QString error =
            test::makeIso(tree.path(QStringLiteral("content")), iso, QStringLiteral("MY_LABEL"));
        !error.isEmpty())
        GTEST_SKIP() << error.toStdString();
    EXPECT_EQ(readVolumeLabel(iso), u"MY_LABEL");
    QFile image(iso);
    ASSERT_TRUE(image.open(QIODevice::ReadOnly));
    EXPECT_EQ(readUdfLabel(image), std::nullopt);
}

TEST(LabelLinkNames, AreDecodedFromTheirEscapes)
{
    EXPECT_EQ(decodeLabelLinkName(QStringLiteral("ANN\\x20STICK")), u"ANN STICK");
    EXPECT_EQ(decodeLabelLinkName(QStringLiteral("a\\x2fb\\x5cc")), u"a/b\\c");
    EXPECT_EQ(decodeLabelLinkName(QStringLiteral("J\\xc3\\xb6rg")), u"J\u00f6rg");
    EXPECT_EQ(decodeLabelLinkName(QStringLiteral("end\\x2")), u"end\\x2");
    EXPECT_EQ(decodeLabelLinkName(QStringLiteral("no\\xzzescape")), u"no\\xzzescape");
}

} // namespace
} // namespace platterly::drives
