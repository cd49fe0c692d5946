#pragma once

#include <functional>

class QWidget;

namespace platterly::handover {

// The hand-over between windows. A window never includes another window's class: it asks for
// the next one through these hooks, which the program wires to its windows (tests wire
// recorders). Each show hook shows its window not modal, loading it first when it is not
// loaded. A hook left as it is does nothing.
struct Windows
{
    std::function<void()> showMain = [] {};    // the main window, reloaded when it was closed
    std::function<void()> showChooser = [] {}; // the database chooser
    std::function<void()> showNewDisc = [] {}; // the new-disc window
    std::function<void()> showAbout = [] {};   // the About window
    // The main window, for enabling it again; nullptr when there is none.
    std::function<QWidget*()> mainWindow = [] { return static_cast<QWidget*>(nullptr); };
    // The folder picker in copy mode; `copy` runs once the user has confirmed a folder (the
    // program state's CopyTarget then names it).
    std::function<void(std::function<void()> copy)> pickCopyFolder =
        [](const std::function<void()>&) {};
    // The two steps of quitting: closing the catalogue files the windows hold open, then
    // closing every window.
    std::function<void()> CloseAllFiles = [] {};
    std::function<void()> UnloadAllForms = [] {};
};

// Ends the program: CloseAllFiles, then UnloadAllForms, then the application's event loop
// is told to quit.
void QuitProgram(const Windows& windows);

} // namespace platterly::handover
