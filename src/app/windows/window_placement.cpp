#include "app/windows/window_placement.h"

#include "platform/system/profile_file.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace platterly::app {

namespace {

const QString kSection = QStringLiteral("Window");
const QString kLeft = QStringLiteral("Left");
const QString kTop = QStringLiteral("Top");
const QString kWidth = QStringLiteral("Width");
const QString kHeight = QStringLiteral("Height");
const QString kMaximised = QStringLiteral("Maximized");

std::optional<int> readNumber(const QString& file, const QString& key)
{
    bool ok = false;
    const int value = system::ReadINI(file, kSection, key, QString()).toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

// The available area of the screen holding most of `area`, or of the primary screen.
QRect visibleAreaFor(const QRect& area)
{
    QRect best;
    qint64 bestOverlap = 0;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect overlap = screen->availableGeometry().intersected(area);
        const qint64 size = qint64(overlap.width()) * overlap.height();
        if (!overlap.isEmpty() && size > bestOverlap) {
            bestOverlap = size;
            best = screen->availableGeometry();
        }
    }
    if (best.isEmpty())
        if (const QScreen* primary = QGuiApplication::primaryScreen())
            best = primary->availableGeometry();
    return best;
}

} // namespace

std::optional<WindowPlacement> readWindowPlacement(const QString& settingsFile)
{
    const auto left = readNumber(settingsFile, kLeft);
    const auto top = readNumber(settingsFile, kTop);
    const auto width = readNumber(settingsFile, kWidth);
    const auto height = readNumber(settingsFile, kHeight);
    if (!left || !top || !width || !height || *width <= 0 || *height <= 0)
        return std::nullopt;
    return WindowPlacement{QRect(*left, *top, *width, *height),
                           readNumber(settingsFile, kMaximised).value_or(0) == 1};
}

void writeWindowPlacement(const QString& settingsFile, const WindowPlacement& placement)
{
    // A failed write only means the next start shows the window at its usual place.
    const QRect& area = placement.geometry;
    system::WriteINI(settingsFile, kSection, kLeft, QString::number(area.x()));
    system::WriteINI(settingsFile, kSection, kTop, QString::number(area.y()));
    system::WriteINI(settingsFile, kSection, kWidth, QString::number(area.width()));
    system::WriteINI(settingsFile, kSection, kHeight, QString::number(area.height()));
    system::WriteINI(settingsFile, kSection, kMaximised,
                     QString::number(placement.maximised ? 1 : 0));
}

QRect placeInside(const QRect& saved, const QRect& visible, const QSize& minimum)
{
    if (visible.isEmpty())
        return saved;
    QRect place(saved.topLeft(), saved.size().boundedTo(visible.size()).expandedTo(minimum));
    if (place.right() > visible.right())
        place.moveRight(visible.right());
    if (place.bottom() > visible.bottom())
        place.moveBottom(visible.bottom());
    if (place.left() < visible.left())
        place.moveLeft(visible.left());
    if (place.top() < visible.top())
        place.moveTop(visible.top());
    return place;
}

void restoreWindowPlacement(QWidget* window, const QString& settingsFile)
{
    const std::optional<WindowPlacement> saved = readWindowPlacement(settingsFile);
    if (!saved)
        return;
    window->setGeometry(
        placeInside(saved->geometry, visibleAreaFor(saved->geometry), window->minimumSize()));
    window->setWindowState(saved->maximised ? (window->windowState() | Qt::WindowMaximized)
                                            : (window->windowState() & ~Qt::WindowMaximized));
}

void saveWindowPlacement(const QWidget* window, const QString& settingsFile)
{
    const bool maximised = window->isMaximized();
    // A maximised window remembers the size it returns to.
    writeWindowPlacement(settingsFile,
                         {maximised ? window->normalGeometry() : window->geometry(), maximised});
}

} // namespace platterly::app
