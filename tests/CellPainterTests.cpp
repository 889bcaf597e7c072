// The screen in character cells: the real main screen laid out on a terminal's grid, and the
// cell painter's rules on their own.
#include "MainScreenHarness.h"
#include "Painters/CellPainter.h"
#include "Painters/TerminalColors.h"
#include "UIKit/UITextLayout.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <functional>

namespace {

// The main screen as the terminal front end shows it on a grid of cells.
class TerminalScreen : public MainScreen {
  public:
    TerminalScreen(int columns, int rows, bool keyboardUp)
        : TerminalScreen(CellGrid::forTerminal(columns, rows, UIScreen::phoneSize), keyboardUp) {}
    TerminalScreen(const CellGrid& grid, bool keyboardUp)
        : MainScreen(grid.screenSize(), grid.pointsPerCell),
          painter(std::make_shared<CellPainter>(grid)) {
        std::setlocale(LC_CTYPE, "C.UTF-8");
        session->setTextMeasurer(painter);
        if (keyboardUp)
            controller().wageTxt()->becomeFirstResponder();
        controller().wageTxt()->insertText("15");
        paint();
    }
    ~TerminalScreen() { std::setlocale(LC_CTYPE, "C"); }

    void paint() { painter->paint(session->takeFrame()); }
    // The cells a view's box takes, first inclusive, last exclusive.
    std::pair<CellPainter::Position, CellPainter::Position> cellsOf(const UIView& view) const {
        return painter->cellsCovering(view.frameInWindow());
    }
    std::string row(int row, int from, int to) const {
        std::string text;
        for (int column = from; column < to; ++column)
            text += painter->cell(column, row).text;
        return text;
    }

    std::shared_ptr<CellPainter> painter;
};

struct GridCase {
    int columns, rows;
};

void PrintTo(const GridCase& c, std::ostream* os) {
    *os << c.columns << "x" << c.rows;
}

class TerminalLayout : public testing::TestWithParam<GridCase> {};

// Boxes that overlap or share an edge or a corner; a cell between them keeps them apart.
bool touch(const std::pair<CellPainter::Position, CellPainter::Position>& one,
           const std::pair<CellPainter::Position, CellPainter::Position>& other) {
    const int rowGap = std::max(other.first.row - one.second.row, one.first.row - other.second.row);
    const int columnGap =
        std::max(other.first.column - one.second.column, one.first.column - other.second.column);
    return rowGap < 1 && columnGap < 1;
}

TEST_P(TerminalLayout, everyKeyIsABoxOfItsOwnWithItsTitleOnItsMiddleRow) {
    TerminalScreen screen(GetParam().columns, GetParam().rows, true);
    const auto keys = screen.window->visibleKeyboard()->keypad()->subviews();
    ASSERT_EQ(keys.size(), 12u);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const auto cells = screen.cellsOf(*keys[i]);
        const int rows = cells.second.row - cells.first.row;
        ASSERT_GE(rows, 1) << keys[i]->accessibilityIdentifier();
        EXPECT_EQ(rows % 2, 1) << keys[i]->accessibilityIdentifier();
        const int middle = (cells.first.row + cells.second.row - 1) / 2;
        const std::string title = keys[i]->accessibilityIdentifier() == "delete"
                                      ? "⌫"
                                      : keys[i]->accessibilityIdentifier().substr(3);
        EXPECT_NE(screen.row(middle, cells.first.column, cells.second.column).find(title),
                  std::string::npos)
            << title << " on row " << middle;
        for (std::size_t j = i + 1; j < keys.size(); ++j)
            EXPECT_FALSE(touch(cells, screen.cellsOf(*keys[j])))
                << keys[i]->accessibilityIdentifier() << " touches "
                << keys[j]->accessibilityIdentifier();
    }
}

TEST_P(TerminalLayout, theFieldsTextsSitOnTheirBoxesMiddleRowsAndNothingMerges) {
    TerminalScreen screen(GetParam().columns, GetParam().rows, false);
    auto& controller = screen.controller();
    controller.priceTxt()->setText("100");
    controller.calculate();
    screen.paint();
    for (const auto& [field, text] :
         {std::pair{controller.wageTxt(), "15"}, std::pair{controller.priceTxt(), "100"}}) {
        const auto cells = screen.cellsOf(*field);
        EXPECT_EQ((cells.second.row - cells.first.row) % 2, 1);
        const int middle = (cells.first.row + cells.second.row - 1) / 2;
        EXPECT_NE(screen.row(middle, cells.first.column, cells.second.column).find(text),
                  std::string::npos)
            << text;
    }
    const std::vector<std::shared_ptr<UIView>> apart{
        controller.wageTxt(), controller.priceTxt(), controller.resultLbl(), controller.hoursLbl(),
        std::get<std::shared_ptr<UIView>>(ViewQuery::find(*screen.window, "clear"))};
    // The rows each takes on screen: a box's, or a label's one line of text.
    const auto rowsOf = [&](const UIView& view) {
        const auto cells = screen.cellsOf(view);
        if (!dynamic_cast<const UILabel*>(&view))
            return std::pair{cells.first.row, cells.second.row};
        const int middle = (cells.first.row + cells.second.row - 1) / 2;
        return std::pair{middle, middle + 1};
    };
    for (std::size_t i = 0; i < apart.size(); ++i)
        for (std::size_t j = i + 1; j < apart.size(); ++j) {
            const auto one = rowsOf(*apart[i]), other = rowsOf(*apart[j]);
            EXPECT_TRUE(one.second <= other.first || other.second <= one.first)
                << "views " << i << " and " << j << " share a row";
        }
}

INSTANTIATE_TEST_SUITE_P(Terminals, TerminalLayout,
                         testing::Values(GridCase{40, 16}, GridCase{60, 20}, GridCase{80, 24},
                                         GridCase{100, 31}, GridCase{120, 40}));

TEST(TerminalLayout, movesSteadilyAsTheTerminalGrows) {
    int lastWage = 0, lastPrice = 0;
    for (int rows = 16; rows <= 40; ++rows) {
        TerminalScreen screen(80, rows, false);
        const auto middle = [&](const UIView& view) {
            const auto cells = screen.cellsOf(view);
            return (cells.first.row + cells.second.row - 1) / 2;
        };
        const int wage = middle(*screen.controller().wageTxt());
        const int price = middle(*screen.controller().priceTxt());
        EXPECT_GE(wage, lastWage) << rows << " rows";
        EXPECT_GE(price, lastPrice) << rows << " rows";
        EXPECT_GE(price - wage, 2) << rows << " rows";
        lastWage = wage;
        lastPrice = price;
    }
}

class CellPainterTest : public testing::Test {
  protected:
    void SetUp() override { std::setlocale(LC_CTYPE, "C.UTF-8"); }
    void TearDown() override {
        std::setlocale(LC_CTYPE, "C");
        UIScreen::mainScreen().setTextMeasurer(nullptr);
    }

    static std::string row(const CellPainter& painter, int row) {
        std::string text;
        for (int column = 0; column < painter.columns(); ++column)
            text += painter.cell(column, row).text;
        return text;
    }
    // A grid whose cells are 10 points square, for rules easy to follow.
    static CellGrid grid(int columns, int rows) { return {columns, rows, {10, 10}}; }
    // A painter the toolkit measures its texts with, for as long as the test runs.
    static std::shared_ptr<CellPainter> measuringPainter(CellGrid grid) {
        auto painter = std::make_shared<CellPainter>(grid);
        UIScreen::mainScreen().setTextMeasurer(painter);
        return painter;
    }
    // A line of text as the toolkit lays it out for the painter.
    static Drawing::DrawText laidOut(CGRect rect, std::string_view text,
                                     const UITextFitting& fitting = {}) {
        return layOutText(rect, text, UIFont::systemFontOfSize(17), NSTextAlignmentLeft,
                          UIColor::blackColor(), fitting);
    }
};

TEST_F(CellPainterTest, blendsTranslucentFillsOverWhatIsBelow) {
    CellPainter painter(grid(10, 10));
    painter.paint({Drawing::FillRect{{{0, 0}, {100, 100}}, 0, {0, 0, 1, 1}},
                   Drawing::FillRect{{{0, 0}, {100, 50}}, 0, {1, 0, 0, 0.25f}}});
    EXPECT_EQ(painter.cell(0, 0).background, (Drawing::Color{0.25f, 0, 0.75f, 1}));
    EXPECT_EQ(painter.cell(0, 7).background, (Drawing::Color{0, 0, 1, 1}));
}

TEST_F(CellPainterTest, cutsLongTextAtTheTailAndShowsWideCharactersWhole) {
    const auto painter = measuringPainter(grid(10, 1));
    const CGRect rect{{0, 0}, {50, 10}};
    painter->paint({laidOut(rect, "CHF€￥x")});
    EXPECT_EQ(row(*painter, 0).find("CHF€… "), 0u) << row(*painter, 0);

    painter->paint({laidOut(rect, std::string(1'000'000, '9'))}); // a pasted megabyte
    EXPECT_EQ(row(*painter, 0).find("9999…"), 0u) << row(*painter, 0);

    painter->paint({laidOut(rect, "￥5")});
    EXPECT_EQ(painter->cell(0, 0).text, "￥");
    EXPECT_EQ(painter->cell(1, 0).text, ""); // the right half of the wide character
    EXPECT_EQ(painter->cell(2, 0).text, "5");
}

TEST_F(CellPainterTest, whileTypingTheEndAndTheCaretShowAfterAMarkedCut) {
    const auto painter = measuringPainter(grid(10, 1));
    UITextFitting typing{.keepsEnd = true, .caret = UIColor{0, 0, 1, 1}};
    painter->paint({laidOut({{0, 0}, {60, 10}}, "123456789", typing)});
    EXPECT_EQ(row(*painter, 0).substr(0, 8), "…6789 ");
    ASSERT_TRUE(painter->caret());
    EXPECT_EQ(painter->caret()->column, 5);

    // A megabyte pasted into the field: its end, as quickly as a word's.
    painter->paint({laidOut({{0, 0}, {60, 10}}, std::string(1'000'000, '7') + "12", typing)});
    EXPECT_EQ(row(*painter, 0).substr(0, 8), "…7712 ");
}

TEST_F(CellPainterTest, aBoxWithTextGetsAnOddNumberOfRowsAroundItsCentre) {
    CellPainter painter(grid(10, 10));
    Drawing::DrawText label;
    label.rect = {{0, 12}, {100, 26}}; // 2.6 rows: 3, around row 2
    label.text = "7";
    painter.paint({Drawing::FillRect{label.rect, 0, {1, 1, 1, 1}, true}, label});
    const auto [first, last] = painter.cellsCovering(label.rect);
    EXPECT_EQ(first.row, 1);
    EXPECT_EQ(last.row, 4);
    EXPECT_EQ(row(painter, 2).find('7'), 0u);
}

TEST_F(CellPainterTest, aClickOnAnyCellOfABoxTouchesInsideIt) {
    CellPainter painter(grid(10, 10));
    const CGRect thin{{20, 31}, {30, 6}}; // thinner than a row, low in it
    Drawing::DrawText title;
    title.rect = thin;
    title.text = "ok";
    painter.paint({Drawing::FillRect{thin, 0, {1, 1, 1, 1}, true}, title});
    const CGPoint point = painter.pointAt({3, 3});
    EXPECT_TRUE(CGRectContainsPoint(thin, point)) << point.x << ", " << point.y;
}

struct ColorCase {
    const char* name;
    Drawing::Color color;
    std::function<bool(const TerminalColors::RGB&)> looksRight;
};

void PrintTo(const ColorCase& c, std::ostream* os) {
    *os << c.name;
}

class TerminalPalette : public testing::TestWithParam<ColorCase> {};

TEST_P(TerminalPalette, keepsEachColourRecognisable) {
    const int index = TerminalColors::nearestOf256(GetParam().color);
    ASSERT_GE(index, 16);
    const auto rgb = TerminalColors::rgbOf256(index);
    EXPECT_TRUE(GetParam().looksRight(rgb))
        << index << " = " << int(rgb[0]) << "," << int(rgb[1]) << "," << int(rgb[2]);
}

INSTANTIATE_TEST_SUITE_P(
    Colours, TerminalPalette,
    testing::Values(ColorCase{"theCalculateOrangeStaysOrange",
                              {1, 0.5917804f, 0.020563286f, 1},
                              [](const auto& c) {
                                  return c[0] == 255 && c[1] > 90 && c[1] < 200 && c[2] < 60;
                              }},
                    // The cube's nearest blue is twice as light: the navy stays as dark as it is.
                    ColorCase{"theNavyStaysDark",
                              {28 / 255.0f, 37 / 255.0f, 65 / 255.0f, 1},
                              [](const auto& c) { return c[0] < 60 && c[1] < 60 && c[2] < 70; }},
                    ColorCase{
                        "theKeypadGreyStaysGrey",
                        {0.82f, 0.835f, 0.86f, 1},
                        [](const auto& c) { return c[0] == c[1] && c[1] == c[2] && c[0] > 180; }},
                    ColorCase{"whiteStaysWhite",
                              {1, 1, 1, 1},
                              [](const auto& c) { return c[0] > 230 && c[1] > 230 && c[2] > 230; }},
                    ColorCase{"blackStaysBlack", {0, 0, 0, 1}, [](const auto& c) {
                                  return c[0] < 20 && c[1] < 20 && c[2] < 20;
                              }}));

TEST(TerminalPalette, eightColoursKeepHuesToo) {
    EXPECT_EQ(TerminalColors::nearestOf8({1, 0.5917804f, 0.020563286f, 1}), 3); // yellow
    EXPECT_EQ(TerminalColors::nearestOf8({28 / 255.0f, 37 / 255.0f, 65 / 255.0f, 1}), 4);
}

} // namespace

namespace {

// The main screen at fewer colours than 24-bit, in each state it is seen in: every text
// keeps its contrast (as much as it had, up to 4.5:1; with 8 colours, 3:1 where it had that),
// and with 256, backgrounds the design tells apart stay apart (16 have too few dark ones).
struct DepthCase {
    const char* name;
    TerminalColors::Depth depth;
    double leastContrast;
    bool keepsBackgroundsApart;
};

class ReducedColours : public testing::TestWithParam<DepthCase> {};

double labDistance(const Drawing::Color& one, const Drawing::Color& other) {
    // Near enough for telling colours apart: the design's are far apart or the same.
    return std::hypot(one.red - other.red, one.green - other.green, one.blue - other.blue) * 100;
}

TEST_P(ReducedColours, keepEveryTextReadableAndTheDesignsBackgroundsApart) {
    enum class State { Fresh, Editing, Answered };
    for (const State state : {State::Fresh, State::Editing, State::Answered}) {
        const bool keyboardUp = state == State::Editing;
        TerminalScreen screen(80, 24, keyboardUp);
        if (state == State::Fresh)
            screen.controller().wageTxt()->setText("");
        if (state == State::Answered) {
            screen.controller().priceTxt()->setText("100");
            screen.controller().calculate();
        }
        screen.paint();
        std::vector<TerminalColors::CellColors> cells;
        for (int row = 0; row < screen.painter->rows(); ++row)
            for (int column = 0; column < screen.painter->columns(); ++column) {
                const auto& cell = screen.painter->cell(column, row);
                cells.push_back(
                    {cell.foreground, cell.background, !cell.text.empty() && cell.text != " "});
            }
        TerminalColors::Palette palette(GetParam().depth);
        palette.choose(cells);
        for (const auto& cell : cells) {
            if (!cell.holdsText)
                continue;
            const auto foreground = TerminalColors::rgbOf(cell.foreground);
            const auto background = TerminalColors::rgbOf(cell.background);
            const double had = TerminalColors::contrastRatio(foreground, background);
            const double kept = TerminalColors::contrastRatio(
                palette.rgbOfIndex(palette.foregroundOf(cell.foreground, cell.background)),
                palette.rgbOfIndex(palette.backgroundOf(cell.background)));
            EXPECT_GE(kept, std::min(had, GetParam().leastContrast) * 0.999)
                << "text " << int(foreground[0]) << "," << int(foreground[1]) << ","
                << int(foreground[2]) << " on " << int(background[0]) << "," << int(background[1])
                << "," << int(background[2]) << " in state " << static_cast<int>(state);
        }
        if (!GetParam().keepsBackgroundsApart)
            continue;
        for (const auto& one : cells)
            for (const auto& other : cells) {
                if (labDistance(one.background, other.background) <= 8)
                    continue;
                ASSERT_NE(palette.backgroundOf(one.background),
                          palette.backgroundOf(other.background))
                    << int(TerminalColors::rgbOf(one.background)[0]) << " and "
                    << int(TerminalColors::rgbOf(other.background)[0]);
            }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Depths, ReducedColours,
    testing::Values(DepthCase{"colours256", TerminalColors::Depth::Colors256, 4.5, true},
                    DepthCase{"colours16", TerminalColors::Depth::Colors16, 4.5, false},
                    DepthCase{"colours8", TerminalColors::Depth::Colors8, 3, false}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
