#include "Views/CalcBtn.h"

#include "Foundation/NSCoder.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

using orvane::CalcBtn;

namespace {

class CalcBtnFrames : public testing::TestWithParam<CGRect> {};

TEST_P(CalcBtnFrames, isAnOrangeBarTitledCalculateThatKeepsItsFrame) {
    const CalcBtn button(GetParam());
    EXPECT_EQ(button.frame(), GetParam());
    // The orange as the design gives it: red 1, green 0.5917804, blue 0.02056329, alpha 1.
    expectColor(button.backgroundColor(), 1, 0.5917804, 0.02056329, 1);
    EXPECT_EQ(button.titleForState(UIControlStateNormal), "Calculate");
    expectColor(button.titleColorForState(UIControlStateNormal), 1, 1, 1, 1);
    EXPECT_EQ(button.targetActionCount(), 0u);
    EXPECT_EQ(button.layer().cornerRadius(), 0.0);
}

INSTANTIATE_TEST_SUITE_P(Frames, CalcBtnFrames,
                         testing::Values(CGRectMake(0, 0, 375, 60), CGRectMake(0, 0, 0, 0),
                                         CGRectMake(-10, 20, 1000, 1)));

TEST(CalcBtnStates, theHighlightedStateFallsBackToTheNormalTitleAndColor) {
    const CalcBtn button(CGRectMake(0, 0, 375, 60));
    EXPECT_EQ(button.titleForState(UIControlStateHighlighted), "Calculate");
    EXPECT_EQ(button.titleColorForState(UIControlStateHighlighted), UIColor::whiteColor());
}

TEST(CalcBtnDeathTest, cannotComeFromAnInterfaceFile) {
    NSCoder coder(NSCoder::Values{});
    EXPECT_DEATH(CalcBtn{coder}, "^orvane/Views/CalcBtn.cpp:[0-9]+: Fatal error: "
                                 "init\\(coder:\\) has not been implemented\n");
}

} // namespace
