#pragma once

#include <QColor>
#include <QPalette>
#include <QtGlobal>

namespace platterly::controls {

// A colour as the button's ForeColor property holds it and as layout files store it: 32 bits,
// either a plain colour laid out 0x00BBGGRR (red in the low byte), or, with the top bit set, a
// reference to one of the desktop's colours by its classic index (0x80000012 is "the text of
// buttons"). A reference is resolved against the palette each time it is shown, so a caption
// in the button-text colour follows the desktop theme instead of freezing today's value.
using ColorValue = quint32;

inline constexpr ColorValue kColorBlack = 0x00000000;
inline constexpr ColorValue kSystemColorFlag = 0x80000000;
inline constexpr ColorValue kSystemButtonText = kSystemColorFlag | 0x12;
inline constexpr ColorValue kSystemWindowText = kSystemColorFlag | 0x08;

inline constexpr bool isSystemColor(ColorValue value)
{
    return (value & kSystemColorFlag) != 0;
}

// The plain colour value of an RGB colour (its alpha is dropped).
ColorValue colorValueFromRgb(const QColor& color);

// The colour to draw: the plain colour, or the referenced desktop colour taken from
// `palette`. A reference to an index this program does not know resolves as window text.
QColor resolveColorValue(ColorValue value, const QPalette& palette);

} // namespace platterly::controls
