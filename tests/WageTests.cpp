#include "Model/Wage.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

using orvane::Wage;

namespace {

constexpr double infinity = std::numeric_limits<double>::infinity();
constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double twoToThe63 = 9223372036854775808.0;
constexpr std::int64_t smallestHours = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t largestHours = 9223372036854774784;

struct HoursCase {
    double wage;
    double price;
    std::optional<std::int64_t> hours;
};

void PrintTo(const HoursCase& c, std::ostream* os) {
    *os << "wage " << c.wage << ", price " << c.price;
}

class HoursForWageAndPrice : public testing::TestWithParam<HoursCase> {};

TEST_P(HoursForWageAndPrice, roundsTheQuotientUpOrReportsNoResult) {
    const auto& [wage, price, hours] = GetParam();
    EXPECT_EQ(Wage::getHours(wage, price), hours);
}

INSTANTIATE_TEST_SUITE_P(
    WholeHours, HoursForWageAndPrice,
    testing::Values(HoursCase{10, 25, 3}, // a fraction of an hour is rounded up
                    HoursCase{10, 30, 3}, // an exact quotient stays
                    HoursCase{10, 5, 1},  // any part of an hour is a whole hour
                    HoursCase{10, 0, 0},  // a free item costs nothing
                    HoursCase{15, 1299.99, 87}, HoursCase{15, 100, 7},
                    HoursCase{0.1, 0.3, 3}, // 2.9999999999999996 rounds up to 3
                    HoursCase{0.7, 2.1, 4}, // 3.0000000000000004: no tolerance
                    HoursCase{10, -25, -2}, // rounding goes toward +infinity
                    HoursCase{-10, 25, -2}, HoursCase{-10, -25, 3},
                    HoursCase{10, -5, 0}, // negative zero converts to 0
                    HoursCase{infinity, 5, 0}, HoursCase{-infinity, 5, 0}));

INSTANTIATE_TEST_SUITE_P(
    RangeBounds, HoursForWageAndPrice,
    testing::Values(HoursCase{1, -twoToThe63, smallestHours}, // -2^63 itself is accepted
                    HoursCase{1, 9223372036854774784.0, largestHours},
                    HoursCase{-1, 9223372036854774784.0, -largestHours},
                    HoursCase{1, twoToThe63, std::nullopt}, // 2^63 is not
                    HoursCase{1, 1e19, std::nullopt},
                    HoursCase{1, std::nextafter(-twoToThe63, -infinity), std::nullopt},
                    HoursCase{1, -1e19, std::nullopt}));

INSTANTIATE_TEST_SUITE_P(
    NoIntegerResult, HoursForWageAndPrice,
    testing::Values(HoursCase{0, 25, std::nullopt}, // a zero wage of either sign
                    HoursCase{-0.0, 25, std::nullopt}, HoursCase{0, -25, std::nullopt},
                    HoursCase{0, 0, std::nullopt}, // 0 / 0 is NaN
                    HoursCase{nan, 25, std::nullopt}, HoursCase{10, nan, std::nullopt},
                    HoursCase{10, infinity, std::nullopt}, HoursCase{10, -infinity, std::nullopt},
                    HoursCase{infinity, infinity, std::nullopt},
                    HoursCase{1e-300, 1e300, std::nullopt}, // the quotient overflows
                    HoursCase{std::numeric_limits<double>::denorm_min(), 1, std::nullopt}));

} // namespace
