#pragma once

namespace platterly::ui {

// Shows the busy pointer (arrow with hourglass) over the whole application for the life of
// the object, then gives back the pointer there was before. Guards nest: the pointer comes
// back only when the outermost one ends, and an early return or an error value leaving the
// scope cannot leave the hourglass on.
class BusyCursor
{
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

} // namespace platterly::ui
