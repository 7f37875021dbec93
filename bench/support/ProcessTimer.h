#pragma once
// Whole processes timed from outside, as a script or the build starts them:
// wall time and the child's CPU time (user and system). On a shared machine
// the wall time also holds the time spent waiting for a core, so the CPU time
// is the steadier figure beside it.
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

extern char** environ;

namespace benchsupport {

struct ProcessTime {
    double wallMs = 0;
    double cpuMs = 0;
    bool succeeded = false;   // exited with status 0
};

// Runs argv (found on PATH when it has no slash) with stdin from `input` and
// stdout, stderr thrown away. A program that cannot be started ends the run.
inline ProcessTime RunProcess(const std::vector<std::string>& args, const std::string& input = "/dev/null")
{
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, input.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        std::fprintf(stderr, "cannot start %s\n", argv[0]);
        std::exit(1);
    }
    int status = 0;
    struct rusage usage {};
    wait4(pid, &status, 0, &usage);
    posix_spawn_file_actions_destroy(&actions);
    ProcessTime time;
    time.wallMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    time.cpuMs = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
    time.succeeded = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return time;
}

inline double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

} // namespace benchsupport
