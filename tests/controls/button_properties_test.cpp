// The design-time properties of Button: their values on a new control, how they reach the
// caption, and how they are saved to and loaded from a property bag.
#include "button_test_support.h"
#include "controls/button.h"
#include "controls/property_bag.h"

#include <QLabel>
#include <QSignalSpy>
#include <gtest/gtest.h>

namespace platterly::test {
namespace {

using controls::Button;
using controls::PropertyBag;

const QLabel& captionOf(const Button& button)
{
    return *button.findChild<QLabel*>(QStringLiteral("lblCaption"));
}

QColor captionColour(const Button& button)
{
    return captionOf(button).palette().color(QPalette::WindowText);
}

TEST(ButtonProperties, NewControlShowsItsNameInTahomaEightPointQuarterInButtonTextColour)
{
    Button button(QStringLiteral("CmdQuit"));
    const QFont font = captionOf(button).font();
    EXPECT_EQ(captionOf(button).text(), QStringLiteral("CmdQuit"));
    EXPECT_EQ(font.family(), QStringLiteral("Tahoma"));
    EXPECT_DOUBLE_EQ(font.pointSizeF(), 8.25);
    EXPECT_FALSE(font.bold());
    EXPECT_FALSE(font.italic());
    EXPECT_FALSE(font.underline());
    EXPECT_EQ(captionColour(button), button.palette().color(QPalette::ButtonText));

    EXPECT_EQ(button.caption(), QStringLiteral("CmdQuit"));
    EXPECT_EQ(button.fontName(), QStringLiteral("Tahoma"));
    EXPECT_EQ(button.fontSize(), 8);
    EXPECT_FALSE(button.isBold() || button.isItalic() || button.isUnderline());
    EXPECT_EQ(button.foreColor(), controls::kSystemButtonText);
}

TEST(ButtonProperties, FontSizeReadsAsTheNearestWholeNumberOfTheCaptionsSize)
{
    Button button(QStringLiteral("cmdAddCD"));
    button.setFontSize(8);
    EXPECT_EQ(button.fontSize(), 8);
    button.setFontSize(14);
    EXPECT_EQ(button.fontSize(), 14);

    auto& caption = *button.findChild<QLabel*>(QStringLiteral("lblCaption"));
    QFont font = caption.font();
    font.setPointSizeF(9.6);
    caption.setFont(font);
    EXPECT_EQ(button.fontSize(), 10);

    button.setFontSize(0);
    button.setFontSize(-3);
    button.setFontSize(Button::kLargestFontSize + 1);
    EXPECT_EQ(button.fontSize(), 10) << "sizes out of range are refused";
}

TEST(ButtonProperties, ForeColorIsRedGreenBlueFromTheLowByteOrADesktopColour)
{
    Button button(QStringLiteral("cmdAddCD"));
    button.setForeColor(0x804020);
    EXPECT_EQ(captionColour(button), QColor(0x20, 0x40, 0x80));

    // A desktop colour follows a change of theme.
    button.setForeColor(controls::kSystemButtonText);
    QPalette theme = button.palette();
    theme.setColor(QPalette::ButtonText, QColor(0, 128, 0));
    button.setPalette(theme);
    EXPECT_EQ(captionColour(button), QColor(0, 128, 0));

    button.setForeColor(controls::kColorBlack);
    button.setPalette(QPalette());
    EXPECT_EQ(captionColour(button), QColor(0, 0, 0));
}

TEST(ButtonProperties, SettersReportTheirNameOnlyInDesignMode)
{
    Button button(QStringLiteral("cmdAddCD"), nullptr, controls::HostMode::Designing);
    QSignalSpy changed(&button, &Button::PropertyChanged);
    button.setCaption(QStringLiteral("&ADD New CD"));
    button.setBold(true);
    button.setItalic(false);
    button.setUnderline(true);
    button.setFontName(QStringLiteral("Tahoma"));
    button.setFontSize(9);
    button.setForeColor(controls::kSystemButtonText);
    QStringList names;
    for (const QList<QVariant>& arguments : changed)
        names.append(arguments.at(0).toString());
    EXPECT_EQ(names, texts({"Caption", "Bold", "Italic", "Underline", "FontName", "FontSize",
                            "ForeColor"}));

    changed.clear();
    PropertyBag bag;
    button.save(bag);
    button.load(bag);
    EXPECT_EQ(changed.count(), 0) << "loading is not an edit";
    button.setDesignMode(false);
    button.setCaption(QStringLiteral("&Quit"));
    EXPECT_EQ(changed.count(), 0);
}

TEST(ButtonSaving, NewControlStoresOnlyItsDesktopColour)
{
    Button button(QStringLiteral("cmdAddCD"), nullptr, controls::HostMode::Designing);
    PropertyBag bag;
    button.save(bag);
    EXPECT_EQ(bag.names(), texts({"ForeColor"}));
    EXPECT_EQ(bag.read(QStringLiteral("ForeColor"), 0).toUInt(), 0x80000012u);
}

TEST(ButtonSaving, ChangedPropertiesAreStoredInTheirOrderAndDefaultsAreDropped)
{
    Button button(QStringLiteral("cmdAddCD"));
    button.setForeColor(0x00FF00);
    button.setFontSize(10);
    button.setFontName(QStringLiteral("DejaVu Sans"));
    button.setUnderline(true);
    button.setItalic(true);
    button.setBold(true);
    button.setCaption(QStringLiteral("&ADD New CD"));

    PropertyBag bag;
    button.save(bag);
    EXPECT_EQ(bag.names(), texts({"Caption", "Bold", "Italic", "Underline", "FontName", "FontSize",
                                  "ForeColor"}));
    EXPECT_EQ(bag.read(QStringLiteral("Caption"), {}).toString(), QStringLiteral("&ADD New CD"));
    EXPECT_EQ(bag.read(QStringLiteral("FontSize"), {}).toInt(), 10);

    button.setCaption(QStringLiteral("cmdAddCD"));
    button.setBold(false);
    button.setItalic(false);
    button.setUnderline(false);
    button.setFontName(QStringLiteral("Tahoma"));
    button.setFontSize(8);
    button.setForeColor(controls::kColorBlack);
    button.save(bag);
    EXPECT_TRUE(bag.isEmpty()) << bag.names().join(QLatin1Char(',')).toStdString();
}

TEST(ButtonLoading, MissingPropertiesTakeTheirDefaults)
{
    Button button(QStringLiteral("CmdQuit"));
    button.setCaption(QStringLiteral("&Quit"));
    button.setBold(true);
    button.setFontSize(16);
    button.setFontName(QStringLiteral("DejaVu Serif"));

    button.load(PropertyBag());
    EXPECT_EQ(button.caption(), QStringLiteral("CmdQuit"));
    EXPECT_FALSE(button.isBold() || button.isItalic() || button.isUnderline());
    EXPECT_EQ(button.fontName(), QStringLiteral("Tahoma"));
    EXPECT_EQ(button.fontSize(), 8);
    EXPECT_EQ(button.foreColor(), controls::kColorBlack);
    EXPECT_EQ(captionColour(button), QColor(0, 0, 0));
}

TEST(ButtonLoading, TextsFromALayoutFileAreConvertedAndUnreadableOnesIgnored)
{
    PropertyBag bag;
    bag.write(QStringLiteral("Caption"), QStringLiteral("&Quit"), {});
    bag.write(QStringLiteral("Bold"), QStringLiteral("true"), {});
    bag.write(QStringLiteral("Italic"), QStringLiteral("false"), {});
    bag.write(QStringLiteral("FontSize"), QStringLiteral("11"), {});
    bag.write(QStringLiteral("ForeColor"), QStringLiteral("255"), {});

    Button button(QStringLiteral("CmdQuit"));
    button.load(bag);
    EXPECT_EQ(button.caption(), QStringLiteral("&Quit"));
    EXPECT_TRUE(button.isBold());
    EXPECT_FALSE(button.isItalic());
    EXPECT_EQ(button.fontSize(), 11);
    EXPECT_EQ(captionColour(button), QColor(255, 0, 0));

    bag.write(QStringLiteral("FontSize"), QStringLiteral("huge"), {});
    bag.write(QStringLiteral("ForeColor"), QStringLiteral("-1"), {});
    button.load(bag);
    EXPECT_EQ(button.fontSize(), 8);
    EXPECT_EQ(button.foreColor(), controls::kColorBlack);
}

} // namespace
} // namespace platterly::test
