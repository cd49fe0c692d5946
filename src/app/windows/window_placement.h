#pragma once

#include <QRect>
#include <optional>

class QWidget;

namespace platterly::app {

// Where a window was left: its inner area on the desktop (as QWidget::geometry gives it,
// without the frame) and whether it was maximised. Kept in the section "Window" of the
// settings file, so that the next start shows the window as it was.
struct WindowPlacement
{
    QRect geometry;
    bool maximised = false;
};

// The placement stored in `settingsFile`, or nothing when none is stored (or it is damaged).
std::optional<WindowPlacement> readWindowPlacement(const QString& settingsFile);
void writeWindowPlacement(const QString& settingsFile, const WindowPlacement& placement);

// `saved` moved, and shrunk if need be (never below `minimum`), into `visible`; a window
// larger than `visible` is put at its top left corner.
QRect placeInside(const QRect& saved, const QRect& visible, const QSize& minimum);

// Gives `window` the stored placement, inside the available area of the screen that shows
// most of it (the primary screen when none does). Nothing changes without a stored one.
void restoreWindowPlacement(QWidget* window, const QString& settingsFile);
void saveWindowPlacement(const QWidget* window, const QString& settingsFile);

} // namespace platterly::app
