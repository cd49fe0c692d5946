#pragma once

#include <QString>

namespace platterly::ui {

// The Extensions section of the settings file as the program ships it: one key per file
// extension (lower case, without the dot) whose value is the number of its icon in the disc
// contents tree (see IconNumber), and "(Default)" for every other extension, the icon of an
// ordinary file. Extensions are grouped by icon, each group under a comment naming it.
//
// The same text is kept in assets/extensions.ini, from which the shipped settings.ini takes
// its section; a test holds the two equal.
QString extensionsSectionText();

} // namespace platterly::ui
