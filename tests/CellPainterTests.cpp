#include "Painters/CellPainter.h"

#include <gtest/gtest.h>

#include <clocale>

namespace {

constexpr CGSize phone{375, 667};

class CellPainterTest : public testing::Test {
  protected:
    void SetUp() override { std::setlocale(LC_CTYPE, "C.UTF-8"); }
    void TearDown() override { std::setlocale(LC_CTYPE, "C"); }

    static std::string row(const CellPainter& painter, int row) {
        std::string text;
        for (int column = 0; column < painter.columns(); ++column)
            text += painter.cell(column, row).text;
        return text;
    }
};

struct ShapeCase {
    int columns, rows;
    int expectedScreenColumns;
};

class CellPainterShape : public testing::TestWithParam<ShapeCase> {};

TEST_P(CellPainterShape, fitsTheScreenCenteredWithRoomForItsTexts) {
    const auto [columns, rows, expected] = GetParam();
    const CellPainter painter(phone, columns, rows);
    const CGRect area = painter.screenArea();
    EXPECT_EQ(area.size.width, expected);
    EXPECT_EQ(area.size.height, rows);
    EXPECT_NEAR(area.origin.x, (columns - expected) / 2, 1);
}

INSTANTIATE_TEST_SUITE_P(Terminals, CellPainterShape,
                         testing::Values(ShapeCase{80, 24, 56},   // legible at the smallest
                                         ShapeCase{200, 60, 67},  // the true shape when roomy
                                         ShapeCase{40, 16, 40})); // narrow: every column

TEST_F(CellPainterTest, blendsTranslucentFillsOverWhatIsBelow) {
    CellPainter painter(phone, 80, 24);
    painter.paint({Drawing::FillRect{{{0, 0}, phone}, 0, {0, 0, 1, 1}},
                   Drawing::FillRect{{{0, 0}, {375, 100}}, 0, {1, 0, 0, 0.25f}}});
    const int left = static_cast<int>(painter.screenArea().origin.x);
    EXPECT_EQ(painter.cell(left, 0).background, (Drawing::Color{0.25f, 0, 0.75f, 1}));
    EXPECT_EQ(painter.cell(left, 10).background, (Drawing::Color{0, 0, 1, 1}));
}

TEST_F(CellPainterTest, cutsLongTextAtTheTailAndShowsWideCharactersWhole) {
    CellPainter painter(phone, 80, 24);
    Drawing::DrawText text;
    text.rect = {{0, 0}, {375 * 5 / 56.0, 27.8}};
    text.text = "CHF€￥x";
    painter.paint({text});
    const int left = static_cast<int>(painter.screenArea().origin.x);
    EXPECT_EQ(row(painter, 0).substr(0, static_cast<std::size_t>(left)), std::string(left, ' '));
    EXPECT_NE(row(painter, 0).find("CHF€…"), std::string::npos) << row(painter, 0);

    text.text = std::string(1'000'000, '9'); // a pasted megabyte
    painter.paint({text});
    EXPECT_NE(row(painter, 0).find("9999…"), std::string::npos) << row(painter, 0);

    text.text = "￥5";
    painter.paint({text});
    EXPECT_EQ(painter.cell(left, 0).text, "￥");
    EXPECT_EQ(painter.cell(left + 1, 0).text, ""); // the right half of the wide character
    EXPECT_EQ(painter.cell(left + 2, 0).text, "5");
}

TEST_F(CellPainterTest, aBadgeSmallerThanACellStillShowsAndTheCaretFollowsTheText) {
    CellPainter painter(phone, 80, 24);
    Drawing::DrawText field;
    field.rect = {{40, 248}, {295, 56}};
    field.text = "100";
    field.alignment = Drawing::Alignment::Center;
    field.caret = Drawing::Color{0, 0, 1, 1};
    painter.paint({Drawing::FillRect{{{45, 266}, {20, 20}}, 5, {0.5f, 0.5f, 0.5f, 1}}, field});
    const auto [start, end] = painter.cellsCovering(CGRectMake(45, 266, 20, 20));
    EXPECT_EQ(end.row - start.row, 1);
    EXPECT_EQ(painter.cell(start.column, start.row).background,
              (Drawing::Color{0.5f, 0.5f, 0.5f, 1}));
    ASSERT_TRUE(painter.caret());
    const int caretColumn = painter.caret()->column;
    EXPECT_EQ(painter.cell(caretColumn - 1, painter.caret()->row).text, "0");
    EXPECT_EQ(painter.cell(caretColumn - 3, painter.caret()->row).text, "1");
}

TEST_F(CellPainterTest, aCellsCenterPointLiesInTheCell) {
    const CellPainter painter(phone, 80, 24);
    const CGPoint point = painter.pointAt({40, 12});
    const auto [start, end] = painter.cellsCovering(CGRect{point, {0.01, 0.01}});
    EXPECT_EQ(start, (CellPainter::Position{40, 12}));
}

} // namespace
