#pragma once

class QWidget;

namespace platterly::ui {

// Pixels for a length given in twips (15 twips a pixel at 96 dots per inch), so the windows
// keep their proportions on screens of other densities.
int twips(int value);

// Puts a control at a place given in twips from the client area's top left corner.
void placeInTwips(QWidget* widget, int left, int top, int width, int height);

} // namespace platterly::ui
