#include "Views/CurrencyTxtField.h"

#include "Foundation/NSCoder.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>

using orvane::CurrencyTxtField;

namespace {

std::shared_ptr<CurrencyTxtField> fieldFromFile(NSCoder::Values values) {
    NSCoder coder(std::move(values));
    auto field = std::make_shared<CurrencyTxtField>(coder);
    field->awakeFromNib();
    return field;
}

std::vector<std::shared_ptr<UILabel>> badges(const UIView& field) {
    std::vector<std::shared_ptr<UILabel>> labels;
    for (const auto& subview : field.subviews())
        if (auto label = std::dynamic_pointer_cast<UILabel>(subview))
            labels.push_back(label);
    return labels;
}

void expectStyledShape(const CurrencyTxtField& field) {
    expectColor(field.backgroundColor(), 0.9959436, 0.9896478, 1.0, 0.25);
    EXPECT_EQ(field.layer().cornerRadius(), 5.0);
    EXPECT_EQ(field.textAlignment(), NSTextAlignmentCenter);
    EXPECT_TRUE(field.clipsToBounds());
}

TEST(CurrencyTxtFieldStyle, aPlaceholderTurnsWhiteAndSoDoesTheText) {
    const auto field = fieldFromFile({{"placeholder", "hourly wage"}, {"textColor", "#102030"}});
    expectStyledShape(*field);
    ASSERT_TRUE(field->attributedPlaceholder());
    EXPECT_EQ(field->attributedPlaceholder()->string(), "hourly wage");
    EXPECT_EQ(field->attributedPlaceholder()->attributes().size(), 1u);
    EXPECT_EQ(field->attributedPlaceholder()->attribute<UIColor>(NSForegroundColorAttributeName),
              UIColor::whiteColor());
    EXPECT_EQ(field->textColor(), UIColor::whiteColor());
}

TEST(CurrencyTxtFieldStyle, withoutAPlaceholderTheTextColorStays) {
    const auto field = fieldFromFile({{"textColor", "#102030"}});
    expectStyledShape(*field);
    EXPECT_FALSE(field->placeholder());
    EXPECT_EQ(field->textColor(), UIColor(16 / 255.0f, 32 / 255.0f, 48 / 255.0f, 1));
}

TEST(CurrencyTxtFieldStyle, theDesignToolGetsTheSameStyle) {
    NSCoder coder(NSCoder::Values{{"placeholder", "price"}});
    CurrencyTxtField field(coder);
    field.prepareForInterfaceBuilder();
    expectStyledShape(field);
    EXPECT_EQ(field.textColor(), UIColor::whiteColor());
}

TEST(CurrencyTxtFieldStyle, aFieldMadeInCodeKeepsThePlatformLookYetGetsABadge) {
    auto field = std::make_shared<CurrencyTxtField>(CGRectMake(0, 0, 200, 40));
    EXPECT_EQ(field->backgroundColor(), std::nullopt);
    EXPECT_EQ(field->layer().cornerRadius(), 0.0);
    EXPECT_EQ(field->textAlignment(), NSTextAlignmentNatural);
    field->displayIfNeeded();
    EXPECT_EQ(badges(*field).size(), 1u);
}

struct BadgeCase {
    CGFloat fieldHeight;
    CGFloat badgeY;
};

class CurrencyBadgeFrame : public testing::TestWithParam<BadgeCase> {};

TEST_P(CurrencyBadgeFrame, isA20PointSquareCenteredOnTheFrameHeight) {
    auto field =
        std::make_shared<CurrencyTxtField>(CGRectMake(30, 50, 200, GetParam().fieldHeight));
    field->draw(field->bounds());
    const auto labels = badges(*field);
    ASSERT_EQ(labels.size(), 1u);
    EXPECT_EQ(labels[0]->frame(), CGRectMake(5, GetParam().badgeY, 20, 20));
    expectColor(labels[0]->backgroundColor(), 0.8840535, 0.8784657, 0.8883433, 0.7970676);
    expectColor(labels[0]->textColor(), 65 / 255.0, 70 / 255.0, 77 / 255.0, 1);
    EXPECT_EQ(labels[0]->textAlignment(), NSTextAlignmentCenter);
    EXPECT_EQ(labels[0]->layer().cornerRadius(), 5.0);
    EXPECT_TRUE(labels[0]->clipsToBounds());
    EXPECT_EQ(labels[0]->font(), UILabel().font());
}

INSTANTIATE_TEST_SUITE_P(Heights, CurrencyBadgeFrame,
                         testing::Values(BadgeCase{40, 10}, BadgeCase{30, 5}, BadgeCase{20, 0},
                                         BadgeCase{14, -3}));

TEST(CurrencyBadgeSymbol, followsTheLocaleAtEachPassOnOneBadge) {
    ScopedEnvironment environment;
    auto field = std::make_shared<CurrencyTxtField>(CGRectMake(0, 0, 200, 40));
    for (const auto& [locale, symbol] : {std::pair{"en_US.UTF-8", "$"},
                                         {"de_DE.UTF-8", "€"},
                                         {"de_CH.UTF-8", "CHF"},
                                         {"en_GB.UTF-8", "£"}}) {
        environment.set("LC_ALL", locale);
        field->setNeedsDisplay();
        field->displayIfNeeded();
        const auto labels = badges(*field);
        ASSERT_EQ(labels.size(), 1u);
        EXPECT_EQ(labels[0]->text(), symbol) << locale;
        EXPECT_EQ(labels[0]->frame().size, (CGSize{20, 20}));
    }
}

TEST(CurrencyBadge, manyDrawingPassesKeepOneBadgeThatFollowsTheHeight) {
    auto field = std::make_shared<CurrencyTxtField>(CGRectMake(0, 0, 200, 40));
    for (int pass = 0; pass < 100; ++pass)
        field->draw(field->bounds());
    field->setFrame(CGRectMake(0, 0, 200, 60));
    field->displayIfNeeded();
    const auto labels = badges(*field);
    ASSERT_EQ(labels.size(), 1u);
    EXPECT_EQ(labels[0]->frame(), CGRectMake(5, 20, 20, 20));
    EXPECT_EQ(field->subviews().size(), 1u);
}

} // namespace
