#pragma once
// One guard for every event handler of the program: an error that escapes a
// handler is shown by the exception report and goes no further, so no
// exception ever crosses Qt's event loop and the program goes on.
#include <exception>
#include <new>
#include <string>
#include <utility>

namespace errorguard {

// Shows the report for an escaped error; message bytes in code page 1250.
void Report(const std::string& message) noexcept;
void ReportUnknown() noexcept;

template <class Handler>
void Run(Handler&& handler) noexcept
{
    try {
        std::forward<Handler>(handler)();
    } catch (const std::bad_alloc&) {
        Report("Out of memory");
    } catch (const std::exception& error) {
        // The program's own Exception derives from std::exception; both carry
        // their message in what().
        Report(error.what());
    } catch (...) {
        ReportUnknown();
    }
}

// A slot that runs member handler `method` of `object` under the guard.
template <class Object, class... Args>
auto Slot(Object* object, void (Object::*method)(Args...))
{
    return [object, method](Args... args) { Run([&] { (object->*method)(args...); }); };
}

} // namespace errorguard
