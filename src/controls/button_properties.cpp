// The design-time properties of Button: each one forwards to the caption label, and all of
// them travel through a PropertyBag when the holding window's layout is saved and loaded.
#include "controls/button.h"
#include "controls/caption_label.h"
#include "controls/property_bag.h"

#include <QPalette>
#include <cmath>

namespace platterly::controls {

namespace {

// Property names as they are stored, in the order they are saved and loaded.
const QString kCaption = QStringLiteral("Caption");
const QString kBold = QStringLiteral("Bold");
const QString kItalic = QStringLiteral("Italic");
const QString kUnderline = QStringLiteral("Underline");
const QString kFontName = QStringLiteral("FontName");
const QString kFontSize = QStringLiteral("FontSize");
const QString kForeColor = QStringLiteral("ForeColor");

} // namespace

QString Button::defaultFontName()
{
    return QStringLiteral("Tahoma");
}

QString Button::caption() const
{
    return m_lblCaption->text();
}

void Button::setCaption(const QString& caption)
{
    m_lblCaption->setText(caption);
    updateAccelerator();
    propertyEdited("Caption");
}

QString Button::fontName() const
{
    return m_lblCaption->font().family();
}

void Button::setFontName(const QString& name)
{
    QFont font = m_lblCaption->font();
    font.setFamily(name);
    setCaptionFont(font);
    propertyEdited("FontName");
}

int Button::fontSize() const
{
    return static_cast<int>(std::lround(m_lblCaption->font().pointSizeF()));
}

void Button::setFontSize(int points)
{
    if (points >= 1 && points <= kLargestFontSize) {
        QFont font = m_lblCaption->font();
        font.setPointSize(points);
        setCaptionFont(font);
    }
    propertyEdited("FontSize");
}

bool Button::isBold() const
{
    return m_lblCaption->font().bold();
}

void Button::setBold(bool bold)
{
    QFont font = m_lblCaption->font();
    font.setBold(bold);
    setCaptionFont(font);
    propertyEdited("Bold");
}

bool Button::isItalic() const
{
    return m_lblCaption->font().italic();
}

void Button::setItalic(bool italic)
{
    QFont font = m_lblCaption->font();
    font.setItalic(italic);
    setCaptionFont(font);
    propertyEdited("Italic");
}

bool Button::isUnderline() const
{
    return m_lblCaption->font().underline();
}

void Button::setUnderline(bool underline)
{
    QFont font = m_lblCaption->font();
    font.setUnderline(underline);
    setCaptionFont(font);
    propertyEdited("Underline");
}

void Button::setForeColor(ColorValue color)
{
    m_foreColor = color;
    applyForeColor();
    propertyEdited("ForeColor");
}

void Button::setCaptionFont(const QFont& font)
{
    m_lblCaption->setFont(font);
    // A bigger or smaller font changes the caption's height, and so where it is centred.
    layoutParts();
}

void Button::applyForeColor()
{
    QPalette captionPalette = m_lblCaption->palette();
    captionPalette.setColor(QPalette::WindowText, resolveColorValue(m_foreColor, palette()));
    m_lblCaption->setPalette(captionPalette);
}

void Button::propertyEdited(const char* name)
{
    if (isDesignMode())
        Q_EMIT PropertyChanged(QLatin1String(name));
}

void Button::save(PropertyBag& bag) const
{
    bag.write(kCaption, caption(), objectName());
    bag.write(kBold, isBold(), kDefaultFontFlag);
    bag.write(kItalic, isItalic(), kDefaultFontFlag);
    bag.write(kUnderline, isUnderline(), kDefaultFontFlag);
    bag.write(kFontName, fontName(), defaultFontName());
    bag.write(kFontSize, fontSize(), kDefaultFontSize);
    bag.write(kForeColor, m_foreColor, kDefaultForeColor);
}

void Button::load(const PropertyBag& bag)
{
    applyHostMode();

    // Values read from a layout file are texts; one that does not convert counts as missing.
    const auto readBool = [&](const QString& name) {
        const QVariant value = bag.read(name, kDefaultFontFlag);
        return value.canConvert<bool>() ? value.toBool() : kDefaultFontFlag;
    };
    const auto readNumber = [&](const QString& name, qulonglong defaultValue) {
        bool ok = false;
        const qulonglong value = bag.read(name, defaultValue).toULongLong(&ok);
        return ok ? value : defaultValue;
    };

    m_lblCaption->setText(bag.read(kCaption, objectName()).toString());
    updateAccelerator();

    QFont font = m_lblCaption->font();
    font.setBold(readBool(kBold));
    font.setItalic(readBool(kItalic));
    font.setUnderline(readBool(kUnderline));
    const QString family = bag.read(kFontName, defaultFontName()).toString();
    font.setFamily(family.isEmpty() ? defaultFontName() : family);
    const qulonglong points = readNumber(kFontSize, kDefaultFontSize);
    font.setPointSize(points >= 1 && points <= kLargestFontSize ? static_cast<int>(points)
                                                                : kDefaultFontSize);
    setCaptionFont(font);

    const qulonglong color = readNumber(kForeColor, kDefaultForeColor);
    m_foreColor = color <= 0xFFFFFFFF ? static_cast<ColorValue>(color) : kDefaultForeColor;
    applyForeColor();
}

} // namespace platterly::controls
