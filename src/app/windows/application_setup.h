#pragma once

#include <QString>

namespace platterly::app {

// Names the running program for Qt: its name, version and icon. It sets no display name:
// Qt would append one to the title of every window and message box, whose titles are the
// program's own texts ("Quenlo Platterly", "PLATTERLY", ...).
void setUpApplication();

// The program's version as the splash and About windows show it: "Version 2.1.0". The
// numbers are the project's version in the top CMakeLists.txt.
QString versionText();

} // namespace platterly::app
