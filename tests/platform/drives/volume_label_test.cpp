#include "platform/drives/volume_label.h"
#include "support/disc_images.h"
#include "volume_images.h"

#include <QBuffer>
#include <QFile>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

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
    EXPECT_EQ(isoLabelOf(fixtures::udfImage(u"UDF_ONLY"_s)), std::nullopt);
    EXPECT_EQ(isoLabelOf(fixtures::isoImage("CUT").left(16 * 2048 + 60)), std::nullopt);
}

TEST(UdfLabel, ReadsEightAndSixteenBitIdentifiersUnlessTheAnchorIsDamaged)
{
    EXPECT_EQ(udfLabelOf(fixtures::udfImage(u"Holiday Photos 2004 (all of them)"_s)),
              u"Holiday Photos 2004 (all of them)");
    EXPECT_EQ(
        udfLabelOf(fixtures::udfImage(u"\u65c5\u884c 2004"_s, fixtures::UdfCharacters::Sixteen)),
        u"\u65c5\u884c 2004");

    EXPECT_EQ(udfLabelOf(fixtures::isoImage("ISO_ONLY")), std::nullopt);
    EXPECT_EQ(udfLabelOf(fixtures::udfImage(QString())), std::nullopt);

    QByteArray damaged = fixtures::udfImage(u"LABEL"_s);
    damaged[256 * 2048 + 5] = 1; // the anchor's tag checksum no longer matches
    EXPECT_EQ(udfLabelOf(damaged), std::nullopt);
    EXPECT_EQ(udfLabelOf(fixtures::udfImage(u"LABEL"_s).left(200 * 2048)), std::nullopt);
}

TEST(VolumeLabelOfAFile, PrefersUdfOnABridgeVolume)
{
    test::TempTree tree;
    tree.addFile(u"bridge.iso"_s, fixtures::bridgeImage("SHORT_NAME", u"The long name"_s));
    tree.addFile(u"plain.iso"_s, fixtures::isoImage("PLAIN"));
    tree.addFile(u"notes.txt"_s, "not a volume");
    EXPECT_EQ(readVolumeLabel(tree.path(u"bridge.iso"_s)), u"The long name");
    EXPECT_EQ(readVolumeLabel(tree.path(u"plain.iso"_s)), u"PLAIN");
    EXPECT_EQ(readVolumeLabel(tree.path(u"notes.txt"_s)), std::nullopt);
    EXPECT_EQ(readVolumeLabel(tree.path(u"missing.iso"_s)), std::nullopt);
}

TEST(VolumeLabelOfAFile, ReadsAnImageMadeByXorriso)
{
    test::TempTree tree;
    tree.addFile(u"content/MUSIC/a.mp3"_s, "ID3");
    const QString iso = tree.path(u"x.iso"_s);
    if (const QString error = test::makeIso(tree.path(u"content"_s), iso, u"MY_LABEL"_s);
        !error.isEmpty())
        GTEST_SKIP() << error.toStdString();
    EXPECT_EQ(readVolumeLabel(iso), u"MY_LABEL");
    QFile image(iso);
    ASSERT_TRUE(image.open(QIODevice::ReadOnly));
    EXPECT_EQ(readUdfLabel(image), std::nullopt);
}

} // namespace
} // namespace platterly::drives
