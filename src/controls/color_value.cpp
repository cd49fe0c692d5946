#include "controls/color_value.h"

namespace platterly::controls {

namespace {

// The classic desktop colour indices that have a counterpart in a Qt palette. Indices without
// one (title bars, scroll bars, the desktop background) fall back to window text.
QColor systemColor(quint32 index, const QPalette& palette)
{
    switch (index) {
    case 0x05: // window background
        return palette.color(QPalette::Base);
    case 0x07: // menu text
    case 0x08: // window text
        return palette.color(QPalette::WindowText);
    case 0x0D: // selection background
        return palette.color(QPalette::Highlight);
    case 0x0E: // selection text
        return palette.color(QPalette::HighlightedText);
    case 0x0F: // button face
        return palette.color(QPalette::Button);
    case 0x10: // button shadow
        return palette.color(QPalette::Dark);
    case 0x11: // greyed text
        return palette.color(QPalette::Disabled, QPalette::Text);
    case 0x12: // button text
        return palette.color(QPalette::ButtonText);
    case 0x14: // button highlight
        return palette.color(QPalette::Light);
    case 0x17: // tooltip text
        return palette.color(QPalette::ToolTipText);
    case 0x18: // tooltip background
        return palette.color(QPalette::ToolTipBase);
    default:
        return palette.color(QPalette::WindowText);
    }
}

} // namespace

ColorValue colorValueFromRgb(const QColor& color)
{
    const QColor rgb = color.toRgb();
    return static_cast<ColorValue>(rgb.red()) | static_cast<ColorValue>(rgb.green()) << 8 |
           static_cast<ColorValue>(rgb.blue()) << 16;
}

QColor resolveColorValue(ColorValue value, const QPalette& palette)
{
    if (isSystemColor(value))
        return systemColor(value & 0xFF, palette);
    return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                  static_cast<int>((value >> 16) & 0xFF));
}

} // namespace platterly::controls
