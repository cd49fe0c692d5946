#pragma once

#include <QCursor>
#include <QPixmap>
#include <QSize>

namespace platterly::controls {

// The three looks of a Button: at rest, with the pointer over it, and held down.
enum class ButtonLook
{
    Normal,
    Hover,
    Pressed
};

// The size the pictures are drawn at; a button stretches them to its own size.
inline constexpr QSize kButtonPictureSize{127, 22};

// The picture of one look, kButtonPictureSize pixels: a rounded face with a two-tone gloss
// and a one-pixel border, grey at rest, light blue under the pointer, deeper blue and shaded
// at the top when pressed. Drawn at run time so that no image files need shipping.
QPixmap buttonPicture(ButtonLook look);

// The pointer shown over a caption: a 32 x 32 monochrome pointing hand, hot spot at the tip
// of the finger.
QCursor pointingHandCursor();

} // namespace platterly::controls
