// MulDiv: scaling with a 64-bit intermediate and the target's rounding.
#include <cstdint>
#include <limits>

#include "platform/kernel.h"

extern "C" int MulDiv(int value, int numerator, int denominator)
{
    if (denominator == 0) {
        return -1;
    }
    std::int64_t product = static_cast<std::int64_t>(value) * numerator;
    std::int64_t magnitude = product < 0 ? -product : product;
    std::int64_t divisor = denominator < 0 ? -static_cast<std::int64_t>(denominator) : denominator;
    std::int64_t quotient = (magnitude + divisor / 2) / divisor;
    if ((product < 0) != (denominator < 0)) {
        quotient = -quotient;
    }
    if (quotient > std::numeric_limits<int>::max() || quotient < std::numeric_limits<int>::min()) {
        return -1;
    }
    return static_cast<int>(quotient);
}
