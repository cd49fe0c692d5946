#pragma once

namespace platterly::app {

// Names the running program for Qt: its name, version and icon. It sets no display name:
// Qt would append one to the title of every window and message box, whose titles are the
// program's own texts ("Quenlo Platterly", "PLATTERLY", ...).
void setUpApplication();

} // namespace platterly::app
