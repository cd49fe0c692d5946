#include "platform/ui/glyph_painting.h"

#include <QPainterPath>
#include <QPolygonF>

// The icons that show a thing rather than a sheet of paper: discs, folders, media, tools.
namespace platterly::ui::glyphs {

void drawDisc(QPainter& p, QPointF centre, double radius, const QColor& face)
{
    outline(p, face.darker(220));
    p.setBrush(face);
    p.drawEllipse(centre, radius, radius);
    outline(p, face.lighter(135));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(centre, radius * 0.62, radius * 0.62);
    outline(p, face.darker(220));
    p.setBrush(Qt::white);
    p.drawEllipse(centre, 1.5, 1.5);
}

void drawFolder(QPainter& p)
{
    outline(p, QColor(0x9a, 0x6a, 0x10));
    p.setBrush(QColor(0xe0, 0xa8, 0x30));
    p.drawPolygon(
        QPolygonF({{0.5, 2.5}, {5.5, 2.5}, {7.5, 4.5}, {15.5, 4.5}, {15.5, 13.5}, {0.5, 13.5}}));
    p.setBrush(QColor(0xf8, 0xd2, 0x5c));
    p.drawRect(QRectF(0.5, 6.5, 15, 7));
}

void drawPresentation(QPainter& p)
{
    outline(p, QColor(0xb0, 0x48, 0x10));
    p.setBrush(kPaper);
    p.drawRect(QRectF(0.5, 1.5, 15, 10));
    p.drawLine(QPointF(8, 11.5), QPointF(8, 14.5));
    p.drawLine(QPointF(5, 15.5), QPointF(11, 15.5));
    solid(p, QColor(0xe8, 0x70, 0x20));
    p.drawRect(QRectF(3, 7, 2, 3));
    p.drawRect(QRectF(7, 5, 2, 5));
    p.drawRect(QRectF(11, 3, 2, 7));
}

void drawImage(QPainter& p)
{
    outline(p);
    p.setBrush(QColor(0x8e, 0xc8, 0xf0));
    p.drawRect(QRectF(0.5, 2.5, 15, 11));
    solid(p, QColor(0xf6, 0xd0, 0x2a));
    p.drawEllipse(QPointF(11.5, 5.5), 1.6, 1.6);
    solid(p, QColor(0x3c, 0x9a, 0x3c));
    p.drawPolygon(QPolygonF({{1, 13}, {6, 6.5}, {9, 10}, {11, 8.5}, {15, 13}}));
}

void drawMusic(QPainter& p)
{
    const QColor ink(0x70, 0x30, 0xa0);
    solid(p, ink);
    p.drawEllipse(QPointF(4, 12.5), 2.5, 2);
    p.drawEllipse(QPointF(12, 10.5), 2.5, 2);
    p.drawPolygon(QPolygonF({{5.5, 12.5},
                             {5.5, 3},
                             {14.5, 1},
                             {14.5, 10.5},
                             {13.5, 10.5},
                             {13.5, 4},
                             {6.5, 5.5},
                             {6.5, 12.5}}));
}

void drawVideo(QPainter& p)
{
    solid(p, QColor(0x30, 0x30, 0x34));
    p.drawRect(QRectF(0, 2, 16, 12));
    solid(p, Qt::white);
    for (int x = 1; x < 16; x += 3) {
        p.drawRect(QRectF(x, 3, 1.5, 1.5));
        p.drawRect(QRectF(x, 11.5, 1.5, 1.5));
    }
    solid(p, QColor(0x50, 0x90, 0xe0));
    p.drawRect(QRectF(2, 5.5, 12, 5));
}

void drawArchive(QPainter& p)
{
    outline(p, QColor(0x6e, 0x48, 0x1e));
    p.setBrush(QColor(0xc0, 0x90, 0x50));
    p.drawRect(QRectF(1.5, 1.5, 13, 14));
    for (int i = 0; i < 6; ++i) {
        solid(p, i % 2 ? QColor(0xf0, 0xf0, 0xf0) : QColor(0x40, 0x40, 0x40));
        p.drawRect(QRectF(i % 2 ? 8 : 7, 2 + 2 * i, 1.5, 2));
    }
}

void drawProgram(QPainter& p)
{
    outline(p);
    p.setBrush(kPaper);
    p.drawRect(QRectF(0.5, 1.5, 15, 13));
    solid(p, QColor(0x30, 0x60, 0xc0));
    p.drawRect(QRectF(1, 2, 14, 3));
    solid(p, QColor(0xa0, 0xa4, 0xac));
    p.drawRect(QRectF(3, 7, 4, 5));
    p.drawRect(QRectF(9, 7, 4, 2));
    p.drawRect(QRectF(9, 10, 4, 2));
}

void drawWebPage(QPainter& p)
{
    outline(p, QColor(0x1c, 0x50, 0x90));
    p.setBrush(QColor(0x40, 0x90, 0xe0));
    p.drawEllipse(QPointF(8, 8), 7, 7);
    solid(p, QColor(0x40, 0xa8, 0x40));
    p.drawEllipse(QPointF(5.5, 6), 2.5, 2);
    p.drawEllipse(QPointF(10.5, 11), 2, 2.5);
    outline(p, QColor(0xd8, 0xea, 0xff));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(8, 8), 3, 7);
    p.drawLine(QPointF(1.5, 8), QPointF(14.5, 8));
}

void drawFont(QPainter& p)
{
    outline(p, QColor(0x9c, 0x8c, 0x6c));
    p.setBrush(QColor(0xf4, 0xec, 0xd8));
    p.drawRect(QRectF(0.5, 0.5, 15, 15));
    p.setPen(QPen(QColor(0x90, 0x18, 0x18), 2.0, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    p.drawPolyline(QPolygonF({{3.5, 14}, {8, 2.5}, {12.5, 14}}));
    p.drawLine(QPointF(5.5, 10), QPointF(10.5, 10));
}

void drawDiscImage(QPainter& p)
{
    outline(p, QColor(0x40, 0x70, 0x40));
    p.setBrush(QColor(0xe2, 0xf0, 0xe0));
    p.drawRect(QRectF(0.5, 0.5, 15, 15));
    drawDisc(p, QPointF(8, 8), 6, QColor(0x68, 0xb0, 0x68));
}

void drawDatabase(QPainter& p)
{
    const QColor body(0x70, 0xa0, 0xd0);
    outline(p, body.darker(200));
    p.setBrush(body);
    QPainterPath drum;
    drum.moveTo(2.5, 3.5);
    drum.lineTo(2.5, 12.5);
    drum.arcTo(QRectF(2.5, 10.5, 11, 4), 180, 180);
    drum.lineTo(13.5, 3.5);
    drum.closeSubpath();
    p.drawPath(drum);
    p.setBrush(body.lighter(130));
    p.drawEllipse(QRectF(2.5, 1.5, 11, 4));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(2.5, 6.5, 11, 4), 180 * 16, 180 * 16);
}

void drawEmail(QPainter& p)
{
    outline(p, QColor(0x70, 0x70, 0x60));
    p.setBrush(QColor(0xfa, 0xf6, 0xe4));
    p.drawRect(QRectF(0.5, 3.5, 15, 10));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({{0.5, 3.5}, {8, 9.5}, {15.5, 3.5}}));
    solid(p, QColor(0xd0, 0x40, 0x30));
    p.drawRect(QRectF(12, 5, 2, 2));
}

void drawContact(QPainter& p)
{
    outline(p, QColor(0x50, 0x60, 0x90));
    p.setBrush(QColor(0xee, 0xf0, 0xfc));
    p.drawRect(QRectF(0.5, 1.5, 15, 13));
    solid(p, QColor(0x40, 0x60, 0xa8));
    p.drawEllipse(QPointF(8, 6), 2.5, 2.5);
    p.drawChord(QRectF(3, 9.5, 10, 8), 0, 180 * 16);
}

void drawCalendar(QPainter& p)
{
    outline(p);
    p.setBrush(kPaper);
    p.drawRect(QRectF(1.5, 2.5, 13, 13));
    solid(p, QColor(0xd0, 0x30, 0x30));
    p.drawRect(QRectF(2, 3, 12, 3));
    solid(p, QColor(0x80, 0x80, 0x88));
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 4; ++column)
            p.drawRect(QRectF(3 + 3 * column, 7.5 + 2.5 * row, 1.5, 1.5));
    }
}

void drawDrawing(QPainter& p)
{
    p.setPen(QPen(QColor(0xc0, 0x20, 0xa0), 1.5));
    p.setBrush(Qt::NoBrush);
    QPainterPath curve;
    curve.moveTo(2, 13);
    curve.cubicTo(3, 2, 13, 14, 14, 3);
    p.drawPath(curve);
    outline(p);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(0.5, 11.5, 3, 3));
    p.drawRect(QRectF(12.5, 1.5, 3, 3));
}

void drawScript(QPainter& p)
{
    solid(p, QColor(0x22, 0x24, 0x28));
    p.drawRect(QRectF(0, 2, 16, 12));
    p.setPen(QPen(QColor(0x50, 0xe0, 0x60), 1.4));
    p.drawPolyline(QPolygonF({{3, 5.5}, {6, 8}, {3, 10.5}}));
    p.drawLine(QPointF(7.5, 11), QPointF(12, 11));
}

void drawPackage(QPainter& p)
{
    outline(p, QColor(0x80, 0x60, 0x30));
    p.setBrush(QColor(0xe0, 0xbc, 0x78));
    p.drawRect(QRectF(1.5, 7.5, 13, 8));
    p.drawLine(QPointF(1.5, 10.5), QPointF(14.5, 10.5));
    solid(p, QColor(0x20, 0x90, 0x40));
    p.drawPolygon(QPolygonF({{6.5, 0}, {9.5, 0}, {9.5, 5}, {12, 5}, {8, 9}, {4, 5}, {6.5, 5}}));
}

void drawEBook(QPainter& p)
{
    solid(p, QColor(0x1e, 0x70, 0x40));
    p.drawRect(QRectF(2, 1, 3, 15));
    outline(p, QColor(0x1e, 0x70, 0x40));
    p.setBrush(QColor(0x40, 0xa8, 0x68));
    p.drawRect(QRectF(4.5, 1.5, 10, 13));
    solid(p, kPaper);
    p.drawRect(QRectF(5, 14, 9.5, 1.5));
    outline(p, QColor(0xe8, 0xf4, 0xec));
    p.drawLine(QPointF(7, 5.5), QPointF(12, 5.5));
}

void drawSettings(QPainter& p)
{
    // A gear: eight teeth around a wheel with a hole.
    const QColor metal(0x78, 0x7c, 0x84);
    solid(p, metal);
    const QPointF centre(8, 8);
    for (int tooth = 0; tooth < 8; ++tooth) {
        p.save();
        p.translate(centre);
        p.rotate(45.0 * tooth);
        p.drawRect(QRectF(-1.5, -7.5, 3, 3));
        p.restore();
    }
    p.drawEllipse(centre, 5.5, 5.5);
    solid(p, Qt::white);
    p.drawEllipse(centre, 2, 2);
}

void drawLibrary(QPainter& p)
{
    // Four building blocks: a part other programs are built from.
    const QColor colours[4] = {QColor(0x30, 0x70, 0xd0), QColor(0xe0, 0x50, 0x30),
                               QColor(0x30, 0xa0, 0x50), QColor(0xe8, 0xb0, 0x20)};
    for (int i = 0; i < 4; ++i) {
        outline(p, colours[i].darker(170));
        p.setBrush(colours[i]);
        p.drawRect(QRectF(0.5 + 8 * (i % 2), 0.5 + 8 * (i / 2), 6, 6));
    }
}

} // namespace platterly::ui::glyphs
