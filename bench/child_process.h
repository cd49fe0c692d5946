#pragma once

#include <string>
#include <vector>

namespace platterly::bench {

enum class ChildOutput
{
    Discard, // standard output to /dev/null, as `> /dev/null` in a shell
    Capture, // standard output read back into ChildRun::output
};

struct ChildRun
{
    bool started = false;
    std::string error;        // why it could not be started or did not end well
    int exitCode = -1;        // -1 when it was killed by a signal
    double seconds = 0;       // wall time from before the spawn to after the wait
    double cpuSeconds = 0;    // user and system time of the child, all its threads
    long peakResidentKiB = 0; // the child's own peak resident memory (ru_maxrss)
    std::string output;

    bool succeeded() const { return started && exitCode == 0; }
};

// Runs a program (looked up in PATH) and waits for it. The time and the peak memory are taken
// from outside, by the parent: getrusage(RUSAGE_SELF) would add up every step of the
// benchmark, while wait4 gives the peak of this one child alone.
ChildRun runChild(const std::vector<std::string>& arguments, ChildOutput output);

// The benchmark's own program file, to run one of its steps in a child process.
std::string ownProgramPath();

} // namespace platterly::bench
