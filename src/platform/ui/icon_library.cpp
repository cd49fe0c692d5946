#include "platform/ui/icon_library.h"

#include "platform/ui/icon_glyphs.h"

#include <QPainter>
#include <QStringList>

namespace platterly::ui {

namespace {

// Freedesktop icon names for each number, most specific first. The generic names (such as
// x-office-document) come last, since every complete theme has them; the MIME-type names
// before them are what most themes draw with more care.
const char* const kThemeNames[kIconCount][3] = {
    {"media-optical", "drive-optical", nullptr},             // 1 Disc
    {"folder", nullptr, nullptr},                            // 2 Folder
    {"application-octet-stream", "text-x-generic", nullptr}, // 3 File
    {"text-plain", "text-x-generic", nullptr},               // 4 Text
    // 5 Document
    {"application-vnd.oasis.opendocument.text", "x-office-document", nullptr},
    // 6 Spreadsheet
    {"application-vnd.oasis.opendocument.spreadsheet", "x-office-spreadsheet", nullptr},
    // 7 Presentation
    {"application-vnd.oasis.opendocument.presentation", "x-office-presentation", nullptr},
    {"application-pdf", nullptr, nullptr},                   // 8 Pdf
    {"image-x-generic", nullptr, nullptr},                   // 9 Image
    {"audio-x-generic", nullptr, nullptr},                   // 10 Music
    {"video-x-generic", nullptr, nullptr},                   // 11 Video
    {"application-x-archive", "package-x-generic", nullptr}, // 12 Archive
    {"application-x-executable", nullptr, nullptr},          // 13 Program
    {"text-html", nullptr, nullptr},                         // 14 WebPage
    {"text-x-csrc", "text-x-script", nullptr},               // 15 SourceCode
    {"font-x-generic", nullptr, nullptr},                    // 16 Font
    {"application-x-cd-image", "media-optical", nullptr},    // 17 DiscImage
    // 18 Database
    {"application-vnd.oasis.opendocument.database", "x-office-database", nullptr},
    {"message-rfc822", "mail-message", nullptr},               // 19 Email
    {"x-office-address-book", nullptr, nullptr},               // 20 Contact
    {"x-office-calendar", nullptr, nullptr},                   // 21 Calendar
    {"image-svg+xml", "x-office-drawing", nullptr},            // 22 Drawing
    {"application-x-shellscript", "text-x-script", nullptr},   // 23 Script
    {"application-x-deb", "system-software-install", nullptr}, // 24 Package
    {"application-epub+zip", "x-office-document", nullptr},    // 25 EBook
    {"preferences-system", nullptr, nullptr},                  // 26 Settings
    {"application-x-sharedlib", nullptr, nullptr},             // 27 Library
    {"application-x-trash", "user-trash", nullptr},            // 28 Backup
};

QIcon themeIcon(int number)
{
    for (const QString& name : IconLibrary::themeNames(number)) {
        if (QIcon::hasThemeIcon(name))
            return QIcon::fromTheme(name);
    }
    return {};
}

QIcon bundledIcon(int number)
{
    return QIcon(drawBundledIcon(number));
}

} // namespace

IconLibrary::IconLibrary(Source source)
{
    for (int number = 1; number <= kIconCount; ++number) {
        QIcon found = source == Source::ThemeFirst ? themeIcon(number) : QIcon();
        m_icons[static_cast<size_t>(number - 1)] = found.isNull() ? bundledIcon(number) : found;
    }
}

QIcon IconLibrary::icon(int number) const
{
    if (!isIconNumber(number))
        number = static_cast<int>(IconNumber::File);
    return m_icons[static_cast<size_t>(number - 1)];
}

QPixmap IconLibrary::pixmap(int number) const
{
    const QSize size(kIconSize, kIconSize);
    const QPixmap picture = icon(number).pixmap(size, 1.0);
    if (picture.size() == size)
        return picture;
    // A theme without this size gives a smaller picture; centre it so every row of the
    // tree keeps the same width.
    QPixmap framed(size);
    framed.fill(Qt::transparent);
    QPainter painter(&framed);
    const QPixmap scaled = picture.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    painter.drawPixmap((kIconSize - scaled.width()) / 2, (kIconSize - scaled.height()) / 2, scaled);
    return framed;
}

QStringList IconLibrary::themeNames(int number)
{
    QStringList names;
    if (!isIconNumber(number))
        return names;
    for (const char* name : kThemeNames[number - 1]) {
        if (name)
            names.append(QString::fromLatin1(name));
    }
    return names;
}

} // namespace platterly::ui
