#pragma once

#include <QString>

namespace platterly::handover {

// Why the folder picker is open: to choose a folder to catalogue (opened by the new-disc
// window) or the folder a found file is copied to (opened by the copy command).
enum class PathMode
{
    None,
    FolderToCatalogue,
    CopyDestination,
};

// The program's state that lives for the whole run and that several windows share. The
// program makes one and hands it to each window it makes.
struct ProgramState
{
    QString DBPath;   // full path of the catalogue file in use
    int LoadWind = 0; // 1: show the database chooser at start
    int PlaySnd = 0;  // 1: play the start-up sounds
    handover::PathMode PathMode = handover::PathMode::None;
    QString ChosenPath;
    QString CopyTarget;       // drive form, in capitals, with a final backslash
    QString CopyTargetFolder; // the real folder behind CopyTarget on this system
    QString CopySource;
    QString CopyFileName;
};

} // namespace platterly::handover
