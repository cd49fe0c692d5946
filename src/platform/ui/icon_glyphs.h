#pragma once

#include <QPixmap>

namespace platterly::ui {

// The program's own picture for icon `number` (see IconNumber), kIconSize pixels square on a
// transparent ground: a small, plain drawing in the manner of a desktop's file icons, used
// where the icon theme has none. A number outside the range gives the ordinary file.
QPixmap drawBundledIcon(int number);

} // namespace platterly::ui
