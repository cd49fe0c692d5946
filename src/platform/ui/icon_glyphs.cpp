#include "platform/ui/icon_glyphs.h"

#include "platform/ui/glyph_painting.h"
#include "platform/ui/icon_library.h"

namespace platterly::ui {

namespace {

using namespace glyphs;

void draw(QPainter& p, IconNumber number)
{
    switch (number) {
    case IconNumber::Disc:
        return drawDisc(p, QPointF(8, 8), 7, QColor(0xc4, 0xc8, 0xd8));
    case IconNumber::Folder:
        return drawFolder(p);
    case IconNumber::File:
        return drawPage(p);
    case IconNumber::Text:
        return drawText(p);
    case IconNumber::Document:
        return drawDocument(p);
    case IconNumber::Spreadsheet:
        return drawSpreadsheet(p);
    case IconNumber::Presentation:
        return drawPresentation(p);
    case IconNumber::Pdf:
        return drawPdf(p);
    case IconNumber::Image:
        return drawImage(p);
    case IconNumber::Music:
        return drawMusic(p);
    case IconNumber::Video:
        return drawVideo(p);
    case IconNumber::Archive:
        return drawArchive(p);
    case IconNumber::Program:
        return drawProgram(p);
    case IconNumber::WebPage:
        return drawWebPage(p);
    case IconNumber::SourceCode:
        return drawSourceCode(p);
    case IconNumber::Font:
        return drawFont(p);
    case IconNumber::DiscImage:
        return drawDiscImage(p);
    case IconNumber::Database:
        return drawDatabase(p);
    case IconNumber::Email:
        return drawEmail(p);
    case IconNumber::Contact:
        return drawContact(p);
    case IconNumber::Calendar:
        return drawCalendar(p);
    case IconNumber::Drawing:
        return drawDrawing(p);
    case IconNumber::Script:
        return drawScript(p);
    case IconNumber::Package:
        return drawPackage(p);
    case IconNumber::EBook:
        return drawEBook(p);
    case IconNumber::Settings:
        return drawSettings(p);
    case IconNumber::Library:
        return drawLibrary(p);
    case IconNumber::Backup:
        return drawBackup(p);
    }
}

} // namespace

QPixmap drawBundledIcon(int number)
{
    if (!isIconNumber(number))
        number = static_cast<int>(IconNumber::File);
    QPixmap picture(kIconSize, kIconSize);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter, static_cast<IconNumber>(number));
    return picture;
}

} // namespace platterly::ui
