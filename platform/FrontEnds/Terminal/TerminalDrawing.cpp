#include "Terminal/TerminalDrawing.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

namespace {

// The hint of the keys, and a shorter one for the narrowest terminals it runs in.
constexpr std::array<const char*, 2> hints{"Tab move · Enter press · Esc end editing · q quit",
                                           "Tab · Enter · Esc end editing · q quit"};

} // namespace

void TerminalDrawing::draw(const CellPainter& painter) {
    int rows = 0, columns = 0;
    getmaxyx(stdscr, rows, columns);
    // Every cell is written again: curses sends the terminal only what differs.
    erase();
    choosePalette(painter);
    for (int row = 0; row < painter.rows(); ++row)
        for (int column = 0; column < painter.columns(); ++column)
            drawCell(column, row, painter.cell(column, row));
    if (rows >= rowsForHint)
        drawHint(columns, rows - 1);
    if (const auto caret = painter.caret()) {
        curs_set(1);
        move(caret->row, caret->column);
    } else {
        curs_set(0);
    }
    refresh();
}

void TerminalDrawing::drawTooSmall() {
    int rows = 0, columns = 0;
    getmaxyx(stdscr, rows, columns);
    erase();
    const std::array<std::string, 4> lines{
        "Make the terminal",
        "at least " + std::to_string(CursesSession::minimumColumns) + " x " +
            std::to_string(CursesSession::minimumRows),
        "(it is " + std::to_string(columns) + " x " + std::to_string(rows) + ")", "q quits"};
    const int top = std::max(0, (rows - static_cast<int>(lines.size())) / 2);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int column = std::max(0, (columns - static_cast<int>(lines[i].size())) / 2);
        mvaddnstr(top + static_cast<int>(i), column, lines[i].c_str(), columns - column);
    }
    curs_set(0);
    refresh();
}

void TerminalDrawing::drawHint(int columns, int row) {
    for (const char* hint : hints) {
        const int width = static_cast<int>(std::mbstowcs(nullptr, hint, 0));
        if (width > columns)
            continue;
        attr_set(A_DIM, 0, nullptr);
        mvaddstr(row, (columns - width) / 2, hint);
        attr_set(A_NORMAL, 0, nullptr);
        return;
    }
}

void TerminalDrawing::choosePalette(const CellPainter& painter) {
    using ColorMode = CursesSession::ColorMode;
    const auto depth = [&]() -> std::optional<TerminalColors::Depth> {
        switch (m_colors) {
        case ColorMode::Palette:
            return TerminalColors::Depth::Colors256;
        case ColorMode::Sixteen:
            return TerminalColors::Depth::Colors16;
        case ColorMode::Eight:
            return TerminalColors::Depth::Colors8;
        default:
            return std::nullopt;
        }
    }();
    if (!depth)
        return;
    std::vector<TerminalColors::CellColors> cells;
    for (int row = 0; row < painter.rows(); ++row)
        for (int column = 0; column < painter.columns(); ++column) {
            const auto& cell = painter.cell(column, row);
            cells.push_back(
                {cell.foreground, cell.background, !cell.text.empty() && cell.text != " "});
        }
    m_palette.emplace(*depth);
    m_palette->choose(cells);
}

int TerminalDrawing::colorNumber(const Drawing::Color& color,
                                 const std::optional<Drawing::Color>& under) const {
    if (m_colors == CursesSession::ColorMode::Direct) {
        const auto [red, green, blue] = TerminalColors::rgbOf(color);
        return (red << 16) | (green << 8) | blue;
    }
    if (m_palette)
        return under ? m_palette->foregroundOf(color, *under) : m_palette->backgroundOf(color);
    return -1;
}

void TerminalDrawing::drawCell(int column, int row, const CellPainter::Cell& cell) {
    if (cell.text.empty())
        return; // the right half of a wide character
    wchar_t wide[2] = {L' ', L'\0'};
    std::mbstate_t state{};
    std::mbrtowc(&wide[0], cell.text.data(), cell.text.size(), &state);
    attr_t attributes = cell.bold ? A_BOLD : A_NORMAL;
    int pair = 0;
    if (m_colors == CursesSession::ColorMode::None) {
        // Without colour, what is light (keys, the bar) shows in reverse, and the focus in
        // reverse and bold on top of that.
        const auto [red, green, blue] = TerminalColors::rgbOf(cell.background);
        // By luminance, 0 to 255: the keys and the bar are above it, the navy far below.
        constexpr double lightFrom = 140;
        const bool light = 0.2126 * red + 0.7152 * green + 0.0722 * blue > lightFrom;
        if (light != cell.emphasized)
            attributes |= A_REVERSE;
        if (cell.emphasized)
            attributes |= A_BOLD;
    } else {
        pair =
            alloc_pair(colorNumber(cell.foreground, cell.background), colorNumber(cell.background));
        if (cell.emphasized)
            attributes |= A_REVERSE;
    }
    cchar_t character{};
    setcchar(&character, wide, attributes, 0, &pair);
    mvadd_wch(row, column, &character);
}
