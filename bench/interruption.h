#pragma once

namespace platterly::bench {

// Ctrl-C or a kill while the benchmark runs: the benchmark stops at the next step and still
// removes what it made (catalogues, and the tree unless kept). A child process being timed
// gets the terminal's Ctrl-C itself and ends; the benchmark then sees it failed.
void catchInterruptions();
bool interrupted();

} // namespace platterly::bench
