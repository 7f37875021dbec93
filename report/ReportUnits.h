// Units of the report: geometry is held in tenths of a millimetre, measured
// from the top-left corner of the sheet; device positions come from it through
// the printer's resolution (see TReportPrinter).
#pragma once

#include <cmath>

namespace report {

// Rounds to the nearest integer, a half to the even neighbour. Every position
// of the report is rounded this way, so two runs of the same layout always
// land on the same pixels.
inline int nearest(double v)
{
    double r = std::floor(v + 0.5);
    if (r - v == 0.5 && std::fmod(r, 2.0) != 0.0)
        r -= 1.0;
    return static_cast<int>(r);
}

// Tenths of a millimetre per inch.
inline constexpr double kTenthsPerInch = 254.0;

} // namespace report
