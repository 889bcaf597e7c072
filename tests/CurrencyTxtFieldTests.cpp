#include "Views/CurrencyTxtField.h"

#include "Foundation/NSCoder.h"

#include <gtest/gtest.h>

#include <cstdlib>

using orvane::CurrencyTxtField;

namespace {

constexpr UIColor fieldBackground{0.995943606f, 0.989647806f, 1.0f, 0.25f};
constexpr UIColor badgeBackground{0.884053469f, 0.878465712f, 0.888343275f, 0.797067583f};

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
    EXPECT_EQ(field.backgroundColor(), fieldBackground);
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
    EXPECT_EQ(labels[0]->backgroundColor(), badgeBackground);
    EXPECT_EQ(labels[0]->textColor(), UIColor(65 / 255.0f, 70 / 255.0f, 77 / 255.0f, 1));
    EXPECT_EQ(labels[0]->textAlignment(), NSTextAlignmentCenter);
    EXPECT_EQ(labels[0]->layer().cornerRadius(), 5.0);
    EXPECT_TRUE(labels[0]->clipsToBounds());
    EXPECT_EQ(labels[0]->font(), UILabel().font());
}

INSTANTIATE_TEST_SUITE_P(Heights, CurrencyBadgeFrame,
                         testing::Values(BadgeCase{40, 10}, BadgeCase{30, 5}, BadgeCase{20, 0},
                                         BadgeCase{14, -3}));

class CurrencyBadgeSymbol : public testing::Test {
  protected:
    void SetUp() override {
        if (const char* value = std::getenv("LC_ALL"))
            saved = value;
    }
    void TearDown() override {
        if (saved)
            setenv("LC_ALL", saved->c_str(), 1);
        else
            unsetenv("LC_ALL");
    }
    std::optional<std::string> saved;
};

TEST_F(CurrencyBadgeSymbol, followsTheLocaleAtEachPassOnOneBadge) {
    auto field = std::make_shared<CurrencyTxtField>(CGRectMake(0, 0, 200, 40));
    for (const auto& [locale, symbol] : {std::pair{"en_US.UTF-8", "$"},
                                         {"de_DE.UTF-8", "€"},
                                         {"de_CH.UTF-8", "CHF"},
                                         {"en_GB.UTF-8", "£"}}) {
        setenv("LC_ALL", locale, 1);
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
