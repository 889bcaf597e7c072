// Pixels of the real main screen, painted by Cairo at 2x, checked where the design promises
// a color.
#include "MainScreenHarness.h"
#include "Painters/CairoPainter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <source_location>

namespace {

constexpr double scale = 2;
using Pixel = CairoPainter::Pixel;

constexpr Pixel screenBackground{0x1C, 0x25, 0x41, 255};
constexpr Pixel calculateOrange{255, 151, 5, 255};

// The 8-bit result of a color over an opaque one.
Pixel over(float red, float green, float blue, float alpha, Pixel below) {
    const auto blend = [&](float top, std::uint8_t bottom) {
        return static_cast<std::uint8_t>(std::lround(top * 255 * alpha + bottom * (1 - alpha)));
    };
    return {blend(red, below.red), blend(green, below.green), blend(blue, below.blue), 255};
}

const Pixel fieldColor = over(0.995943606f, 0.989647806f, 1.0f, 0.25f, screenBackground);
const Pixel badgeColor = over(0.884053469f, 0.878465712f, 0.888343275f, 0.797067583f, fieldColor);

class MainScreenPixels : public testing::Test {
  protected:
    auto& controller() { return screen.controller(); }
    void tap(const UIView& view) { screen.tap(view); }
    // The frame a front end is handed; nothing is ringed in these tests.
    void paint() { painter.paint(screen.session->takeFrame()); }

    // The pixel under a point, in window points.
    Pixel at(CGFloat x, CGFloat y) const {
        return painter.pixel(static_cast<int>(x * scale), static_cast<int>(y * scale));
    }

    static void expectNear(Pixel actual, Pixel expected,
                           std::source_location location = std::source_location::current()) {
        SCOPED_TRACE(testing::Message() << "checked at line " << location.line());
        EXPECT_NEAR(actual.red, expected.red, 1);
        EXPECT_NEAR(actual.green, expected.green, 1);
        EXPECT_NEAR(actual.blue, expected.blue, 1);
        EXPECT_EQ(actual.alpha, expected.alpha);
    }

    bool regionHas(CGRect rect, Pixel pixel) const {
        for (CGFloat y = rect.origin.y; y < CGRectGetMaxY(rect); y += 0.5)
            for (CGFloat x = rect.origin.x; x < CGRectGetMaxX(rect); x += 0.5)
                if (at(x, y) == pixel)
                    return true;
        return false;
    }

    bool regionIsAll(CGRect rect, Pixel pixel) const {
        for (CGFloat y = rect.origin.y; y < CGRectGetMaxY(rect); y += 0.5)
            for (CGFloat x = rect.origin.x; x < CGRectGetMaxX(rect); x += 0.5)
                if (at(x, y) != pixel)
                    return false;
        return true;
    }

    void SetUp() override { screen.session->setTextMeasurer(painterShared); }

    MainScreen screen;
    std::shared_ptr<CairoPainter> painterShared =
        std::make_shared<CairoPainter>(CGSize{375, 667}, scale);
    CairoPainter& painter = *painterShared;
};

TEST_F(MainScreenPixels, aFieldIsTheQuarterAlphaBlendWithRoundedCorners) {
    paint();
    const CGRect field = controller().wageTxt()->frameInWindow();
    expectNear(at(field.origin.x + 40, field.origin.y + 2), fieldColor);
    // Corner radius 5: the corner pixel shows the screen behind the field.
    EXPECT_EQ(at(field.origin.x, field.origin.y), screenBackground);
    EXPECT_EQ(at(CGRectGetMaxX(field) - 0.5, CGRectGetMaxY(field) - 0.5), screenBackground);
}

TEST_F(MainScreenPixels, theBadgeSpansX5To25AndIsCenteredVertically) {
    paint();
    const CGRect field = controller().priceTxt()->frameInWindow();
    const CGFloat middle = CGRectGetMidY(field);
    expectNear(at(field.origin.x + 4.5, middle), fieldColor);
    expectNear(at(field.origin.x + 5.5, middle), badgeColor);
    expectNear(at(field.origin.x + 24.5, middle), badgeColor);
    expectNear(at(field.origin.x + 25.5, middle), fieldColor);
    expectNear(at(field.origin.x + 15, middle - 10.5), fieldColor);
    expectNear(at(field.origin.x + 15, middle - 9.5), badgeColor);
    expectNear(at(field.origin.x + 15, middle + 9.5), badgeColor);
    expectNear(at(field.origin.x + 15, middle + 10.5), fieldColor);
}

TEST_F(MainScreenPixels, hiddenResultLeavesNoPixelsUntilACalculationShowsIt) {
    const CGRect result = controller().resultLbl()->frameInWindow();
    const Pixel white{255, 255, 255, 255};
    paint();
    EXPECT_TRUE(regionIsAll(result, screenBackground));

    tap(*controller().wageTxt());
    controller().wageTxt()->insertText("15");
    controller().priceTxt()->setText("100");
    paint();
    const CGRect calculateBar{{0, 391}, {375, 60}};
    EXPECT_EQ(at(2, 393), calculateOrange);
    EXPECT_TRUE(regionHas(calculateBar, white)); // its title
    EXPECT_TRUE(regionIsAll(CGRectMake(0, 0, 375, 0.5), screenBackground));

    tap(*screen.window->visibleKeyboard()->accessoryView());
    paint();
    EXPECT_TRUE(regionHas(result, white));
    EXPECT_FALSE(regionHas(calculateBar, calculateOrange));
    EXPECT_EQ(at(2, 660), screenBackground); // no keypad either
}

TEST_F(MainScreenPixels, theScreenIsOnlyRedrawnWhenSomethingChanged) {
    paint();
    EXPECT_FALSE(screen.session->takeFrameIfChanged());
    tap(*controller().wageTxt());
    EXPECT_TRUE(screen.session->takeFrameIfChanged());
    EXPECT_FALSE(screen.session->takeFrameIfChanged());
}

} // namespace
