#include "platform/ui/extensions_section.h"

#include "platform/ui/icon_library.h"

#include <QStringList>

namespace platterly::ui {

namespace {

struct IconGroup
{
    IconNumber icon;
    const char* title;
    const char* extensions;
};

// Each extension appears once: the profile reader takes the first key of a name, so a
// second one would be dead. The classic Windows types the catalogue classifies (.CDR, .UFO,
// .ACE, .UUE, ...) are here together with today's.
const IconGroup kGroups[] = {
    {IconNumber::Text, "plain text", "txt log nfo diz asc text md markdown rst me 1st"},
    {IconNumber::Document, "word-processor documents",
     "doc docx docm dot dotx dotm odt ott fodt rtf wri wpd wps abw pages sxw"},
    {IconNumber::Spreadsheet, "spreadsheets",
     "xls xlsx xlsm xlsb xlt xltx ods ots fods csv tsv wk1 wks numbers sxc"},
    {IconNumber::Presentation, "presentations",
     "ppt pptx pptm pps ppsx pot potx odp otp fodp key sxi"},
    {IconNumber::Pdf, "PDF and other page formats", "pdf xps oxps ps"},
    {IconNumber::Image, "images",
     "bmp dib jpg jpeg jpe jfif gif png tif tiff ico cur pcx psd psp jp2 jpc j2k ufo tga webp "
     "heic heif avif raw cr2 nef dng orf arw xcf pbm pgm ppm pnm xpm xbm"},
    {IconNumber::Music, "music and sounds",
     "wav voc wma mp2 mp3 ogg oga opus flac aac m4a mid midi rmi aif aiff aifc au snd ape wv "
     "mka ra mod xm s3m it cda m3u m3u8 pls qns"},
    {IconNumber::Video, "videos",
     "avi wmv mpg mpeg mpe mov qt qts asf mp4 m4v mkv webm flv ogv 3gp 3g2 vob m2ts mts divx "
     "rm rmvb"},
    {IconNumber::Archive, "compressed archives",
     "zip ace rar tar tgz lha lzh cab arj gzip gz uue bz2 tbz tbz2 xz txz lz lzma zst 7z z cpio "
     "sit sitx jar war"},
    {IconNumber::Program, "programs", "exe com scr pif appimage run"},
    {IconNumber::WebPage, "web pages", "htm html shtml xhtml asp aspx php jsp mht mhtml url xml"},
    {IconNumber::SourceCode, "program source",
     "c h cpp cxx cc hpp hh hxx inl cs java py pyw pl pm rb go rs swift kt kts js mjs cjs css "
     "scss sass less json yaml yml toml sql vb bas frm cls pas dpr asm s lua r f f90 for lisp "
     "el scm hs ml tcl awk cmake pro qml"},
    {IconNumber::Font, "fonts", "ttf otf fon fnt ttc woff woff2 pfb pfm afm bdf pcf"},
    {IconNumber::DiscImage, "disc images",
     "iso img bin cue nrg mdf mds ccd udf toast dmg vcd cdi b5t b6t"},
    {IconNumber::Database, "databases", "mdb accdb db db2 db3 dbf sqlite sqlite3 odb sdf ldb"},
    {IconNumber::Email, "e-mail", "eml emlx msg mbox mbx dbx pst ost"},
    {IconNumber::Contact, "address cards", "vcf vcard wab ldif"},
    {IconNumber::Calendar, "calendars", "ics ical ifb vcs"},
    {IconNumber::Drawing, "vector drawings", "svg svgz cdr wmf emf eps ai odg dxf dwg vsd vsdx"},
    {IconNumber::Script, "scripts",
     "bat cmd sh bash zsh csh ksh fish ps1 psm1 vbs vbe wsf wsh ahk"},
    {IconNumber::Package, "installers", "msi msp msix appx deb rpm apk snap flatpak pkg mpkg"},
    {IconNumber::EBook, "e-books and help", "epub mobi azw azw3 djvu djv fb2 lit chm hlp"},
    {IconNumber::Settings, "settings",
     "ini cfg conf config inf reg desktop properties plist prefs"},
    {IconNumber::Library, "libraries and object files",
     "dll so ocx sys drv lib a dylib vxd cpl o obj class pyc"},
    {IconNumber::Backup, "backups and temporary files", "bak old tmp temp bk backup swp sav orig"},
};

} // namespace

QString extensionsSectionText()
{
    QString text = QStringLiteral("[Extensions]\n"
                                  "; The icon of each file extension in the disc contents "
                                  "tree.\n"
                                  "(Default)=%1\n")
                       .arg(static_cast<int>(IconNumber::File));
    for (const IconGroup& group : kGroups) {
        const int number = static_cast<int>(group.icon);
        text += QStringLiteral("; %1: %2\n").arg(number).arg(QString::fromLatin1(group.title));
        const QStringList extensions =
            QString::fromLatin1(group.extensions).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        for (const QString& extension : extensions)
            text += QStringLiteral("%1=%2\n").arg(extension).arg(number);
    }
    return text;
}

} // namespace platterly::ui
