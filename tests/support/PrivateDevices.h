#pragma once
// Runs a piece of a test in a child process with a /dev of its own: a
// private mount namespace with a tmpfs over /dev holding fresh nodes null,
// zero and full. Whatever the code under test does to them (write, replace,
// remove), the machine's own device nodes are never touched. Needs root (or
// CAP_SYS_ADMIN and CAP_MKNOD); elsewhere the caller skips with the reason.
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

struct PrivateDevResult {
    bool ran = false;        // false: no private /dev could be made (reason in words)
    std::string words;       // "" when the body found all as expected
};

// `body` runs in the child, with /dev private, and returns "" when all went
// as expected, else what went wrong.
inline PrivateDevResult RunWithPrivateDev(const std::function<std::string()>& body)
{
    int channel[2];
    if (::pipe(channel) != 0)
        return {false, "no pipe"};
    const pid_t pid = ::fork();
    if (pid < 0)
        return {false, "no fork"};
    if (pid == 0) {
        ::close(channel[0]);
        std::string result;
        char ran = '1';
        if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0
            || ::mount("tarvena-test-dev", "/dev", "tmpfs", MS_NOSUID, "mode=755") != 0) {
            ran = '0';
            result = "no private mount namespace with a tmpfs over /dev (needs root)";
        } else {
            const struct { const char* name; unsigned minor; } nodes[] = {{"/dev/null", 3}, {"/dev/zero", 5}, {"/dev/full", 7}};
            for (const auto& node : nodes)
                if (ran == '1' && ::mknod(node.name, S_IFCHR | 0666, makedev(1, node.minor)) != 0) {
                    ran = '0';
                    result = std::string("cannot make ") + node.name + " in the private /dev";
                }
            if (ran == '1') {
                try {
                    result = body();
                } catch (const std::exception& e) {
                    result = std::string("exception escaped: ") + e.what();
                }
            }
        }
        const std::string message = ran + result;
        const ssize_t ignored = ::write(channel[1], message.data(), message.size());
        (void)ignored;
        ::_exit(0);
    }
    ::close(channel[1]);
    std::string message;
    char buffer[512];
    ssize_t n;
    while ((n = ::read(channel[0], buffer, sizeof buffer)) > 0)
        message.append(buffer, size_t(n));
    ::close(channel[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (message.empty())
        return {true, "child died with status " + std::to_string(status)};
    return {message[0] == '1', message.substr(1)};
}

// What a path is now, for the body's checks: "char device", "fifo", "regular", ...
inline std::string KindOf(const std::string& path)
{
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        return "missing";
    if (S_ISCHR(st.st_mode))
        return "char device";
    if (S_ISFIFO(st.st_mode))
        return "fifo";
    if (S_ISLNK(st.st_mode))
        return "symlink";
    if (S_ISDIR(st.st_mode))
        return "directory";
    return S_ISREG(st.st_mode) ? "regular" : "other";
}
