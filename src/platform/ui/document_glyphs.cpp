#include "platform/ui/glyph_painting.h"

#include <QPolygonF>

// The document icons: a sheet of paper with its corner folded, marked by what it holds.
namespace platterly::ui::glyphs {

namespace {

const QColor kFold(0xd4, 0xd6, 0xda);

} // namespace

void drawPage(QPainter& p)
{
    outline(p);
    p.setBrush(kPaper);
    p.drawPolygon(QPolygonF({{2.5, 0.5}, {10.5, 0.5}, {13.5, 3.5}, {13.5, 15.5}, {2.5, 15.5}}));
    p.setBrush(kFold);
    p.drawPolygon(QPolygonF({{10.5, 0.5}, {10.5, 3.5}, {13.5, 3.5}}));
}

void drawLines(QPainter& p, const QColor& colour, double left, double right, double top, int count)
{
    outline(p, colour);
    for (int i = 0; i < count; ++i) {
        const double y = top + 2.0 * i;
        p.drawLine(QPointF(left, y), QPointF(right, y));
    }
}

void drawText(QPainter& p)
{
    drawPage(p);
    drawLines(p, QColor(0x90, 0x94, 0x9c), 4.5, 11.5, 5.5, 5);
}

void drawDocument(QPainter& p)
{
    drawPage(p);
    solid(p, QColor(0x28, 0x5c, 0xc0));
    p.drawRect(QRectF(4, 3, 5, 2));
    drawLines(p, QColor(0x28, 0x5c, 0xc0), 4.5, 11.5, 7.5, 4);
}

void drawSpreadsheet(QPainter& p)
{
    drawPage(p);
    outline(p, QColor(0x1e, 0x8a, 0x3c));
    p.setBrush(QColor(0xd8, 0xf0, 0xdc));
    p.drawRect(QRectF(4.5, 5.5, 7, 8));
    p.drawLine(QPointF(8, 5.5), QPointF(8, 13.5));
    for (double y : {8.0, 11.0})
        p.drawLine(QPointF(4.5, y), QPointF(11.5, y));
}

void drawPdf(QPainter& p)
{
    drawPage(p);
    solid(p, QColor(0xd0, 0x22, 0x22));
    p.drawRect(QRectF(1, 8, 11, 5));
    outline(p, Qt::white);
    p.drawLine(QPointF(3, 10.5), QPointF(10, 10.5));
}

void drawSourceCode(QPainter& p)
{
    drawPage(p);
    p.setPen(QPen(QColor(0x00, 0x80, 0x80), 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({{6.5, 6}, {4, 9}, {6.5, 12}}));
    p.drawPolyline(QPolygonF({{9.5, 6}, {12, 9}, {9.5, 12}}));
}

void drawBackup(QPainter& p)
{
    drawPage(p);
    const QColor arrow(0x20, 0x60, 0xc0);
    p.setPen(QPen(arrow, 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(4.5, 6, 7, 7), 90 * 16, 270 * 16);
    solid(p, arrow);
    p.drawPolygon(QPolygonF({{8, 4}, {11, 6}, {8, 8}}));
}

} // namespace platterly::ui::glyphs
