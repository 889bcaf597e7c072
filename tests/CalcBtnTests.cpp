#include "Views/CalcBtn.h"

#include "Foundation/NSCoder.h"

#include <gtest/gtest.h>

using orvane::CalcBtn;

namespace {

// The orange, exactly as the single-precision components are handed over.
constexpr UIColor calculateOrange{1.0f, 0.5917804241180419921875f, 0.0205632857978343963623046875f,
                                  1.0f};

class CalcBtnFrames : public testing::TestWithParam<CGRect> {};

TEST_P(CalcBtnFrames, isAnOrangeBarTitledCalculateThatKeepsItsFrame) {
    const CalcBtn button(GetParam());
    EXPECT_EQ(button.frame(), GetParam());
    EXPECT_EQ(button.backgroundColor(), calculateOrange);
    EXPECT_EQ(button.titleForState(UIControlStateNormal), "Calculate");
    EXPECT_EQ(button.titleColorForState(UIControlStateNormal), UIColor::whiteColor());
    EXPECT_EQ(button.buttonType(), UIButtonType::Custom);
    EXPECT_EQ(button.targetActionCount(), 0u);
    EXPECT_EQ(button.layer().cornerRadius(), 0.0);
}

INSTANTIATE_TEST_SUITE_P(Frames, CalcBtnFrames,
                         testing::Values(CGRectMake(0, 0, 375, 60), CGRectMake(0, 0, 0, 0),
                                         CGRectMake(-10, 20, 1000, 1)));

TEST(CalcBtnStates, otherStatesFallBackToTheNormalTitleAndColor) {
    const CalcBtn button(CGRectMake(0, 0, 375, 60));
    EXPECT_EQ(button.titleForState(UIControlStateHighlighted), "Calculate");
    EXPECT_EQ(button.titleColorForState(UIControlStateDisabled), UIColor::whiteColor());
}

TEST(CalcBtnDeathTest, cannotComeFromAnInterfaceFile) {
    NSCoder coder(NSCoder::Values{});
    EXPECT_DEATH(CalcBtn{coder}, "^orvane/Views/CalcBtn.cpp:[0-9]+: Fatal error: "
                                 "init\\(coder:\\) has not been implemented\n");
}

} // namespace
