#pragma once
// Runs a piece of a test in a child process whose address space is capped a
// little above what the test process uses now, so that an allocation past
// the cap fails for certain, whatever the machine's memory and overcommit.
// The child reports through a pipe; the parent gets its words back.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <exception>
#include <functional>
#include <new>
#include <string>

// `body` returns "" when all went as expected, else what went wrong. An
// exception escaping it is reported by name, std::bad_alloc included.
inline std::string RunWithMemoryCap(size_t headroom, const std::function<std::string()>& body)
{
    int channel[2];
    if (::pipe(channel) != 0)
        return "no pipe";
    const pid_t pid = ::fork();
    if (pid < 0)
        return "no fork";
    if (pid == 0) {
        ::close(channel[0]);
        std::string result;
        unsigned long pages = 0;
        if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
            if (std::fscanf(statm, "%lu", &pages) != 1)
                pages = 0;
            std::fclose(statm);
        }
        const rlimit cap{pages * size_t(::sysconf(_SC_PAGESIZE)) + headroom, RLIM_INFINITY};
        if (pages == 0 || ::setrlimit(RLIMIT_AS, &cap) != 0) {
            result = "cannot cap the address space";
        } else {
            try {
                result = body();
            } catch (const std::bad_alloc&) {
                result = "std::bad_alloc escaped";
            } catch (const std::exception& e) {
                result = std::string("exception escaped: ") + e.what();
            } catch (...) {
                result = "unknown exception escaped";
            }
        }
        const ssize_t ignored = ::write(channel[1], result.data(), result.size());
        (void)ignored;
        ::_exit(0);
    }
    ::close(channel[1]);
    std::string result;
    char buffer[512];
    ssize_t n;
    while ((n = ::read(channel[0], buffer, sizeof buffer)) > 0)
        result.append(buffer, size_t(n));
    ::close(channel[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status))
        return result + " (child died with signal " + std::to_string(WTERMSIG(status)) + ")";
    return result;
}
