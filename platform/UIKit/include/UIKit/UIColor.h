#pragma once

#include <string_view>

// A color from four single-precision components in 0..1, as the color-literal constructor
// takes them; equal only when all four floats are.
class UIColor {
  public:
    constexpr UIColor(float red, float green, float blue, float alpha)
        : m_red(red), m_green(green), m_blue(blue), m_alpha(alpha) {}

    static constexpr UIColor whiteColor() { return {1, 1, 1, 1}; }
    static constexpr UIColor blackColor() { return {0, 0, 0, 1}; }
    static constexpr UIColor clearColor() { return {0, 0, 0, 0}; }
    // The platform's tint: the caret, the focus ring.
    static constexpr UIColor systemBlueColor() { return {0.0f, 0.478f, 1.0f, 1.0f}; }

    constexpr float red() const { return m_red; }
    constexpr float green() const { return m_green; }
    constexpr float blue() const { return m_blue; }
    constexpr float alpha() const { return m_alpha; }

    bool operator==(const UIColor&) const = default;

  private:
    float m_red;
    float m_green;
    float m_blue;
    float m_alpha;
};
