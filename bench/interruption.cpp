#include "interruption.h"

#include <csignal>

namespace platterly::bench {

namespace {

volatile std::sig_atomic_t g_interrupted = 0;

extern "C" void noteInterruption(int)
{
    g_interrupted = 1;
}

} // namespace

void catchInterruptions()
{
    struct sigaction action = {};
    action.sa_handler = noteInterruption;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a blocking read or wait returns, so the benchmark notices at once.
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
}

bool interrupted()
{
    return g_interrupted != 0;
}

} // namespace platterly::bench
