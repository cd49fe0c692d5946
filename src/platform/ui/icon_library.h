#pragma once

#include <QIcon>
#include <QPixmap>
#include <array>

namespace platterly::ui {

// The icons of the disc contents tree, by number. The settings file's Extensions section
// maps file extensions to these numbers (see extensions_section.h); a disc's title node has
// icon 1 and a name without a dot icon 2.
//
//   1 Disc                     15 SourceCode  (program source, markup for programs)
//   2 Folder                   16 Font
//   3 File (any other file)    17 DiscImage   (ISO and other CD images)
//   4 Text                     18 Database
//   5 Document                 19 Email
//   6 Spreadsheet              20 Contact     (address cards)
//   7 Presentation             21 Calendar
//   8 Pdf                      22 Drawing     (vector graphics)
//   9 Image                    23 Script      (shell and batch scripts)
//  10 Music                    24 Package     (installers)
//  11 Video                    25 EBook       (e-books, help files)
//  12 Archive                  26 Settings    (configuration files)
//  13 Program                  27 Library     (shared libraries, object files)
//  14 WebPage                  28 Backup      (backups, temporary files)
//
// These numbers are stored in users' settings files: never renumber, only append.
enum class IconNumber : int
{
    Disc = 1,
    Folder,
    File,
    Text,
    Document,
    Spreadsheet,
    Presentation,
    Pdf,
    Image,
    Music,
    Video,
    Archive,
    Program,
    WebPage,
    SourceCode,
    Font,
    DiscImage,
    Database,
    Email,
    Contact,
    Calendar,
    Drawing,
    Script,
    Package,
    EBook,
    Settings,
    Library,
    Backup,
};

inline constexpr int kIconCount = 28;
// The side of the icons, in pixels.
inline constexpr int kIconSize = 16;

// Whether `number` names an icon (1 to kIconCount).
constexpr bool isIconNumber(int number)
{
    return number >= 1 && number <= kIconCount;
}

// The icons by number. Each is taken from the desktop's icon theme by its freedesktop name
// when the theme has it, so the tree looks like the user's file manager; otherwise a small
// picture drawn by the program stands in. A number outside 1 to kIconCount gives the icon of
// an ordinary file (3), so a settings file edited by hand cannot leave a node without icon.
class IconLibrary
{
public:
    enum class Source
    {
        // The desktop's icon theme first, then the program's own pictures.
        ThemeFirst,
        // Only the program's own pictures: the same on every desktop.
        BundledOnly,
    };

    explicit IconLibrary(Source source = Source::ThemeFirst);

    QIcon icon(int number) const;
    QIcon icon(IconNumber number) const { return icon(static_cast<int>(number)); }
    // The icon as a kIconSize x kIconSize picture.
    QPixmap pixmap(int number) const;

    // The freedesktop names tried for `number`, most specific first; empty for a number
    // outside the range.
    static QStringList themeNames(int number);

private:
    std::array<QIcon, kIconCount> m_icons;
};

} // namespace platterly::ui
