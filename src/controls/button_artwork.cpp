#include "controls/button_artwork.h"

#include <QBitmap>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <array>

namespace platterly::controls {

namespace {

// Colours of one look: the gloss runs from `top` to `upperMiddle` over the upper half of the
// face, then from `lowerMiddle` to `bottom`, which gives the crisp mid-line of a glassy button.
struct Palette
{
    QColor top;
    QColor upperMiddle;
    QColor lowerMiddle;
    QColor bottom;
    QColor border;
    QColor innerLine; // highlight at rest and under the pointer, shadow when pressed
};

Palette paletteFor(ButtonLook look)
{
    switch (look) {
    case ButtonLook::Hover:
        return {QColor(0xea, 0xf6, 0xfd), QColor(0xd9, 0xf0, 0xfc), QColor(0xbe, 0xe6, 0xfd),
                QColor(0xa7, 0xd9, 0xf5), QColor(0x3c, 0x7f, 0xb1), QColor(255, 255, 255, 200)};
    case ButtonLook::Pressed:
        return {QColor(0xc2, 0xe0, 0xf2), QColor(0xac, 0xd6, 0xf0), QColor(0x8c, 0xc6, 0xe8),
                QColor(0x6c, 0xb2, 0xdb), QColor(0x2c, 0x62, 0x8b), QColor(0x1e, 0x4f, 0x75, 110)};
    case ButtonLook::Normal:
        break;
    }
    return {QColor(0xf6, 0xf6, 0xf6), QColor(0xeb, 0xeb, 0xeb), QColor(0xdd, 0xdd, 0xdd),
            QColor(0xcf, 0xcf, 0xcf), QColor(0x70, 0x70, 0x70), QColor(255, 255, 255, 220)};
}

QPainterPath roundedFace(const QRectF& rect, qreal radius)
{
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

// Pointing hand, 'X' black outline, '.' white fill, ' ' transparent. Rows beyond the drawing
// are left transparent up to 32 x 32.
constexpr std::array<const char*, 22> kHandRows = {
    "      XX          ", "     X..X         ", "     X..X         ", "     X..X         ",
    "     X..X         ", "     X..XXX       ", "     X..X..XXX    ", "     X..X..X..XX  ",
    "  XX X..X..X..X.X ", " X..XX........X.X ", " X...X..........X ", "  X..X..........X ",
    "   X.X..........X ", "   X............X ", "    X...........X ", "    X..........X  ",
    "     X.........X  ", "     X.........X  ", "      X.......X   ", "      X.......X   ",
    "      XXXXXXXXX   ", "                  ",
};
constexpr QPoint kHandHotSpot{6, 0};
constexpr int kCursorSide = 32;

} // namespace

QPixmap buttonPicture(ButtonLook look)
{
    const Palette colours = paletteFor(look);
    QImage image(kButtonPictureSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);

    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF outer = QRectF(image.rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const QPainterPath face = roundedFace(outer, 3.0);

    QLinearGradient gloss(outer.topLeft(), outer.bottomLeft());
    gloss.setColorAt(0.0, colours.top);
    gloss.setColorAt(0.49, colours.upperMiddle);
    gloss.setColorAt(0.5, colours.lowerMiddle);
    gloss.setColorAt(1.0, colours.bottom);
    painter.fillPath(face, gloss);

    // A pressed face is shaded along its top edge as if sunk; the others catch light there.
    painter.setClipPath(face);
    const QRectF inner = outer.adjusted(1.0, 1.0, -1.0, -1.0);
    painter.setPen(QPen(colours.innerLine, 1.0));
    painter.setBrush(Qt::NoBrush);
    if (look == ButtonLook::Pressed) {
        painter.drawLine(QPointF(inner.left(), inner.top()), QPointF(inner.right(), inner.top()));
        painter.setPen(QPen(QColor(0x1e, 0x4f, 0x75, 50), 1.0));
        painter.drawLine(QPointF(inner.left(), inner.top() + 1.0),
                         QPointF(inner.right(), inner.top() + 1.0));
    } else {
        painter.drawPath(roundedFace(inner, 2.0));
    }
    painter.setClipping(false);

    painter.setPen(QPen(colours.border, 1.0));
    painter.drawPath(face);
    painter.end();
    return QPixmap::fromImage(image);
}

QCursor pointingHandCursor()
{
    // In a monochrome cursor a pixel set in both bitmap and mask is black, set only in the
    // mask is white, and clear in the mask is transparent.
    // A colour table of white then black keeps bit 1 meaning "set" through QBitmap.
    QImage shape(kCursorSide, kCursorSide, QImage::Format_Mono);
    shape.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    shape.fill(0);
    QImage mask = shape;
    for (int y = 0; y < static_cast<int>(kHandRows.size()); ++y) {
        const char* row = kHandRows[static_cast<std::size_t>(y)];
        for (int x = 0; row[x] != '\0' && x < kCursorSide; ++x) {
            if (row[x] == ' ')
                continue;
            mask.setPixel(x, y, 1);
            shape.setPixel(x, y, row[x] == 'X' ? 1 : 0);
        }
    }
    return QCursor(QBitmap::fromImage(shape), QBitmap::fromImage(mask), kHandHotSpot.x(),
                   kHandHotSpot.y());
}

} // namespace platterly::controls
