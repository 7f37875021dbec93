#pragma once
// The program-wide base of every error it raises: one message text, in the
// program's 8-bit code page (1250). Codec errors are English; the
// application's own are Croatian.
#include <stdexcept>
#include <string>

class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
    std::string Message() const { return what(); }
};

// Memory ran out: reported as the framework reports it, "Out of memory",
// never as an abort or the library's "std::bad_alloc".
class EOutOfMemory : public Exception {
public:
    EOutOfMemory() : Exception("Out of memory") {}
};
