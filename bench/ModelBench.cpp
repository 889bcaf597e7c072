// How close getHours and the text-to-number conversion come to their floors.
#include "Model/Wage.h"
#include "Runtime/NumberParsing.h"

#include <benchmark/benchmark.h>

#include <array>
#include <charconv>
#include <cmath>
#include <string_view>

namespace {

constexpr std::array<double, 8> wages{15, 10, 0.7, 22.5, 31.25, 9.99, 120, 0.1};
constexpr std::array<double, 8> prices{100, 25, 2.1, 1299.99, 80, 5, 4000, 0.3};
constexpr std::array<std::string_view, 8> texts{"15",     "1299.99", "0.7",  "-25",
                                                "2.5e-1", "31.25",   "4000", "99.95"};

void bareCeilDivision(benchmark::State& state) {
    std::size_t i = 0;
    for (auto _ : state) {
        const double hours = std::ceil(prices[i] / wages[i]);
        benchmark::DoNotOptimize(hours);
        i = (i + 1) % wages.size();
    }
}

void getHours(benchmark::State& state) {
    std::size_t i = 0;
    for (auto _ : state) {
        const auto hours = orvane::Wage::getHours(wages[i], prices[i]);
        benchmark::DoNotOptimize(hours);
        i = (i + 1) % wages.size();
    }
}

void bareFromChars(benchmark::State& state) {
    std::size_t i = 0;
    for (auto _ : state) {
        double value = 0;
        const std::string_view text = texts[i];
        std::from_chars(text.data(), text.data() + text.size(), value);
        benchmark::DoNotOptimize(value);
        i = (i + 1) % texts.size();
    }
}

void doubleFromString(benchmark::State& state) {
    std::size_t i = 0;
    for (auto _ : state) {
        const auto value = Runtime::doubleFromString(texts[i]);
        benchmark::DoNotOptimize(value);
        i = (i + 1) % texts.size();
    }
}

BENCHMARK(bareCeilDivision);
BENCHMARK(getHours);
BENCHMARK(bareFromChars);
BENCHMARK(doubleFromString);

} // namespace

BENCHMARK_MAIN();
