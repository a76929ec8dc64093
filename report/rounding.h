#pragma once
// The one rounding of lengths and coordinates to whole numbers: to the
// nearest integer, halves to the even neighbour (2.5 -> 2, 4.5 -> 4), as a
// twips rectangle and a rescaled layout both need it.

#include <algorithm>
#include <cfenv>
#include <climits>
#include <cmath>

// Whatever rounding mode the caller may have set, std::nearbyint rounds here
// by the default round-to-nearest-even. Stored card values are not
// validated, so a result beyond int's range is held at its end (NaN is 0).
inline int RoundHalfEven(double value)
{
    if (std::isnan(value))
        return 0;
    const int savedMode = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double rounded = std::nearbyint(value);
    std::fesetround(savedMode);
    return static_cast<int>(std::clamp(rounded, double(INT_MIN), double(INT_MAX)));
}
