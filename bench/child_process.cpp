#include "child_process.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace platterly::bench {

namespace {

// Frees the spawn's file actions however the function returns.
class SpawnActions
{
public:
    SpawnActions() { posix_spawn_file_actions_init(&m_actions); }
    ~SpawnActions() { posix_spawn_file_actions_destroy(&m_actions); }
    SpawnActions(const SpawnActions&) = delete;
    SpawnActions& operator=(const SpawnActions&) = delete;
    posix_spawn_file_actions_t* get() { return &m_actions; }

private:
    posix_spawn_file_actions_t m_actions;
};

double seconds(const timeval& time)
{
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
}

std::string readAll(int fd)
{
    std::string text;
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got > 0)
            text.append(buffer, static_cast<std::size_t>(got));
        else if (got == 0 || errno != EINTR)
            break;
    }
    return text;
}

} // namespace

ChildRun runChild(const std::vector<std::string>& arguments, ChildOutput output)
{
    ChildRun run;
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    SpawnActions actions;
    int pipeEnds[2] = {-1, -1};
    if (output == ChildOutput::Capture) {
        if (::pipe2(pipeEnds, O_CLOEXEC) != 0) {
            run.error = std::strerror(errno);
            return run;
        }
        posix_spawn_file_actions_adddup2(actions.get(), pipeEnds[1], STDOUT_FILENO);
    } else {
        posix_spawn_file_actions_addopen(actions.get(), STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    }

    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawnError =
        posix_spawnp(&pid, argv.front(), actions.get(), nullptr, argv.data(), environ);
    if (pipeEnds[1] >= 0)
        ::close(pipeEnds[1]);
    if (spawnError != 0) {
        if (pipeEnds[0] >= 0)
            ::close(pipeEnds[0]);
        run.error = arguments.front() + ": " + std::strerror(spawnError);
        return run;
    }
    run.started = true;
    if (pipeEnds[0] >= 0) {
        run.output = readAll(pipeEnds[0]);
        ::close(pipeEnds[0]);
    }

    int status = 0;
    rusage usage{};
    while (::wait4(pid, &status, 0, &usage) < 0) {
        if (errno != EINTR) {
            run.error = std::string("wait4: ") + std::strerror(errno);
            return run;
        }
    }
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.peakResidentKiB = usage.ru_maxrss;
    run.cpuSeconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    if (WIFEXITED(status)) {
        run.exitCode = WEXITSTATUS(status);
        if (run.exitCode != 0)
            run.error = arguments.front() + " ended with status " + std::to_string(run.exitCode);
    } else {
        run.error = arguments.front() + " was killed by signal " +
                    std::to_string(WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    }
    return run;
}

std::string ownProgramPath()
{
    std::string path(4096, '\0');
    const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
    if (length <= 0)
        return {};
    path.resize(static_cast<std::size_t>(length));
    return path;
}

} // namespace platterly::bench
