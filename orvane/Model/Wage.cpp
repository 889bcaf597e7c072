#include "Model/Wage.h"

#include <cmath>

namespace orvane {

std::optional<std::int64_t> Wage::getHours(double forWage, double andPrice) {
    // 2^63 is exact in a double; the range check is written so that NaN fails it too.
    constexpr double twoToThe63 = 9223372036854775808.0;
    const double hours = std::ceil(andPrice / forWage);
    if (!(hours >= -twoToThe63 && hours < twoToThe63))
        return std::nullopt;
    return static_cast<std::int64_t>(hours);
}

} // namespace orvane
