#pragma once

#include "UIKit/UIColor.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <optional>
#include <source_location>
#include <string>

// A color as the design gives its components, to the digits given: each float within
// half a unit of the last digit written.
inline void expectColor(const std::optional<UIColor>& color, double red, double green, double blue,
                        double alpha, double tolerance = 5e-8,
                        std::source_location location = std::source_location::current()) {
    SCOPED_TRACE(testing::Message() << "color checked at line " << location.line());
    ASSERT_TRUE(color.has_value());
    EXPECT_NEAR(color->red(), red, tolerance);
    EXPECT_NEAR(color->green(), green, tolerance);
    EXPECT_NEAR(color->blue(), blue, tolerance);
    EXPECT_NEAR(color->alpha(), alpha, tolerance);
}

// Sets environment variables for the life of one test and puts back what was there.
class ScopedEnvironment {
  public:
    ScopedEnvironment() = default;
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
    ~ScopedEnvironment() {
        for (const auto& [name, value] : m_saved)
            if (value)
                setenv(name.c_str(), value->c_str(), 1);
            else
                unsetenv(name.c_str());
    }

    void set(const std::string& name, const std::optional<std::string>& value) {
        if (!m_saved.contains(name)) {
            const char* old = std::getenv(name.c_str());
            m_saved[name] = old ? std::optional<std::string>(old) : std::nullopt;
        }
        if (value)
            setenv(name.c_str(), value->c_str(), 1);
        else
            unsetenv(name.c_str());
    }

  private:
    std::map<std::string, std::optional<std::string>> m_saved;
};
