#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace platterly::handover {

// The hand-over between windows. A window never includes another window's class: it asks for
// the next one here, and the program wires the real windows in (tests wire recorders). Each
// call shows the window not modal, loading it first when it is not loaded.
struct Windows
{
    std::function<void()> showMain;           // the main window, reloaded when it was closed
    std::function<void()> showChooser;        // the database chooser
    std::function<void()> showNewDisc;        // the new-disc window
    std::function<void()> showAbout;          // the About window
    std::function<void(const QString&)> play; // a sound of the application folder by name
    std::function<QWidget*()> mainWindow;     // the main window, for enabling it again
    // The folder picker in copy mode; `copy` runs once the user has confirmed a folder
    // (state().CopyTarget then names it).
    std::function<void(std::function<void()> copy)> pickCopyFolder;
};

Windows& windows();

} // namespace platterly::handover
