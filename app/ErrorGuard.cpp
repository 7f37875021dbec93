#include "ErrorGuard.h"

#include "Cp1250.h"
#include "Dialogs.h"

namespace errorguard {

void Report(const std::string& message) noexcept
{
    try {
        dialogs::ShowExceptionReport(cp1250::decode(message.data(), static_cast<qsizetype>(message.size())));
    } catch (...) {
        // Showing the report failed (out of memory); there is nothing left to tell it with.
    }
}

void ReportUnknown() noexcept
{
    Report("Unknown error");
}

} // namespace errorguard
