#pragma once

#include <cstdint>
#include <optional>

namespace orvane {

// How many whole hours of work, rounded up, pay for a price at an hourly wage.
class Wage {
  public:
    Wage() = delete;

    // Empty when no 64-bit integer answers the question: a zero or NaN input, an infinite
    // quotient, or one whose rounding falls outside [-2^63, 2^63).
    static std::optional<std::int64_t> getHours(double forWage, double andPrice);
};

} // namespace orvane
