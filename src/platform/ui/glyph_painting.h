#pragma once

// The drawing of the program's own icon pictures, shared by the files that draw them. Each
// function draws one picture on a 16-unit grid into a painter set up for anti-aliasing.

#include <QColor>
#include <QPainter>
#include <QPointF>

namespace platterly::ui::glyphs {

// Outlines run along half units, so that a line one unit wide covers exactly one row of
// pixels instead of blurring over two.
inline const QColor kOutline(0x55, 0x57, 0x5c);
inline const QColor kPaper(0xfb, 0xfb, 0xf8);

// A one-unit line in `colour` for the next shapes.
inline void outline(QPainter& p, const QColor& colour = kOutline)
{
    p.setPen(QPen(colour, 1.0));
}

// Filled shapes without an outline.
inline void solid(QPainter& p, const QColor& colour)
{
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
}

// Pictures on a sheet of paper (document_glyphs.cpp).
// A sheet of paper with its top right corner folded, the ground of every document icon.
void drawPage(QPainter& p);
// `count` lines of text from `left` to `right`, two units apart from `top` down.
void drawLines(QPainter& p, const QColor& colour, double left, double right, double top, int count);
void drawText(QPainter& p);
void drawDocument(QPainter& p);
void drawSpreadsheet(QPainter& p);
void drawPdf(QPainter& p);
void drawSourceCode(QPainter& p);
void drawBackup(QPainter& p);

// Pictures of things (object_glyphs.cpp).
// A compact disc of the given face colour, with its bright ring and centre hole.
void drawDisc(QPainter& p, QPointF centre, double radius, const QColor& face);
void drawFolder(QPainter& p);
void drawPresentation(QPainter& p);
void drawImage(QPainter& p);
void drawMusic(QPainter& p);
void drawVideo(QPainter& p);
void drawArchive(QPainter& p);
void drawProgram(QPainter& p);
void drawWebPage(QPainter& p);
void drawFont(QPainter& p);
void drawDiscImage(QPainter& p);
void drawDatabase(QPainter& p);
void drawEmail(QPainter& p);
void drawContact(QPainter& p);
void drawCalendar(QPainter& p);
void drawDrawing(QPainter& p);
void drawScript(QPainter& p);
void drawPackage(QPainter& p);
void drawEBook(QPainter& p);
void drawSettings(QPainter& p);
void drawLibrary(QPainter& p);

} // namespace platterly::ui::glyphs
