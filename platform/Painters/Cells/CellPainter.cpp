#include "Painters/CellPainter.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cwchar>

namespace {

// Below this many columns the screen's texts no longer fit; a terminal that wide or wider
// shows them whole.
constexpr double columnsForTexts = 56;

// A cell index from a coordinate in cells; far off-screen stays far off-screen, without an
// out-of-range conversion.
int cellIndex(double cells) {
    constexpr double farAway = 1e6;
    return static_cast<int>(std::clamp(cells, -farAway, farAway));
}

Drawing::Color over(const Drawing::Color& top, const Drawing::Color& below) {
    const float a = top.alpha;
    return {top.red * a + below.red * (1 - a), top.green * a + below.green * (1 - a),
            top.blue * a + below.blue * (1 - a), 1};
}

// The UTF-8 characters of a text, each with the number of cells it takes, up to the first
// that goes past `room` cells: the rest could not show anyway, however long a paste.
std::vector<std::pair<std::string, int>> characters(const std::string& text, int room) {
    std::vector<std::pair<std::string, int>> result;
    int width = 0;
    std::mbstate_t state{};
    const char* next = text.data();
    const char* end = text.data() + text.size();
    while (next < end && width <= room) {
        wchar_t wide = 0;
        std::size_t length =
            std::mbrtowc(&wide, next, static_cast<std::size_t>(end - next), &state);
        if (length == static_cast<std::size_t>(-1) || length == static_cast<std::size_t>(-2) ||
            length == 0) {
            state = {};
            result.emplace_back("\xEF\xBF\xBD", 1); // an invalid byte shows as U+FFFD
            ++width;
            ++next;
            continue;
        }
        const int cells = wcwidth(wide);
        if (cells > 0) {
            result.emplace_back(std::string(next, length), cells);
            width += cells;
        }
        next += length;
    }
    return result;
}

} // namespace

CellPainter::CellPainter(CGSize points, int columns, int rows)
    : m_points(points), m_columns(std::max(columns, 1)), m_rows(std::max(rows, 1)),
      m_cells(static_cast<std::size_t>(m_columns * m_rows)) {
    m_pointsPerRow = points.height / m_rows;
    const double trueShape = m_pointsPerRow / 2;
    m_pointsPerColumn =
        std::max(points.width / m_columns, std::min(trueShape, points.width / columnsForTexts));
    const int usedColumns =
        std::min(m_columns, static_cast<int>(std::lround(points.width / m_pointsPerColumn)));
    m_leftMargin = (m_columns - usedColumns) / 2;
}

const CellPainter::Cell& CellPainter::cell(int column, int row) const {
    return m_cells[static_cast<std::size_t>(row * m_columns + column)];
}

CGRect CellPainter::screenArea() const {
    const Area area = areaOf(CGRect{{}, m_points});
    return CGRectMake(area.left, area.top, area.right - area.left, area.bottom - area.top);
}

CellPainter::Area CellPainter::areaOf(CGRect rect) const {
    // A cell belongs to a rectangle when the rectangle holds the cell's center.
    const auto firstColumn = [&](double x) {
        return cellIndex(std::ceil(x / m_pointsPerColumn - 0.5));
    };
    const auto firstRow = [&](double y) { return cellIndex(std::ceil(y / m_pointsPerRow - 0.5)); };
    Area area{m_leftMargin + firstColumn(rect.origin.x), firstRow(rect.origin.y),
              m_leftMargin + firstColumn(CGRectGetMaxX(rect)), firstRow(CGRectGetMaxY(rect))};
    // Something smaller than a cell still shows, in the cell that holds its center.
    if (area.right == area.left && rect.size.width > 0) {
        area.left = m_leftMargin + cellIndex(std::floor(CGRectGetMidX(rect) / m_pointsPerColumn));
        area.right = area.left + 1;
    }
    if (area.bottom == area.top && rect.size.height > 0) {
        area.top = cellIndex(std::floor(CGRectGetMidY(rect) / m_pointsPerRow));
        area.bottom = area.top + 1;
    }
    area.left = std::clamp(area.left, 0, m_columns);
    area.right = std::clamp(area.right, area.left, m_columns);
    area.top = std::clamp(area.top, 0, m_rows);
    area.bottom = std::clamp(area.bottom, area.top, m_rows);
    for (const Area& clip : m_clips) {
        area.left = std::max(area.left, clip.left);
        area.top = std::max(area.top, clip.top);
        area.right = std::max(area.left, std::min(area.right, clip.right));
        area.bottom = std::max(area.top, std::min(area.bottom, clip.bottom));
    }
    return area;
}

std::pair<CellPainter::Position, CellPainter::Position>
CellPainter::cellsCovering(CGRect rect) const {
    const Area area = areaOf(rect);
    return {{area.left, area.top}, {area.right, area.bottom}};
}

CGPoint CellPainter::pointAt(Position cell) const {
    return {(cell.column - m_leftMargin + 0.5) * m_pointsPerColumn,
            (cell.row + 0.5) * m_pointsPerRow};
}

void CellPainter::paint(const Drawing::DisplayList& list) {
    std::fill(m_cells.begin(), m_cells.end(), Cell{});
    m_clips.clear();
    m_caret.reset();
    for (const auto& command : list)
        std::visit(
            Drawing::Overloaded{
                [this](const Drawing::FillRect& rect) { fill(rect); },
                [this](const Drawing::StrokeRect& ring) { emphasize(ring.rect); },
                [this](const Drawing::PushClip& clip) { m_clips.push_back(areaOf(clip.rect)); },
                [this](const Drawing::PopClip&) {
                    if (!m_clips.empty())
                        m_clips.pop_back();
                },
                [this](const Drawing::DrawText& text) { drawText(text); },
            },
            command);
}

void CellPainter::fill(const Drawing::FillRect& fillCommand) {
    const Area area = areaOf(fillCommand.rect);
    for (int row = area.top; row < area.bottom; ++row)
        for (int column = area.left; column < area.right; ++column) {
            Cell& cell = at(column, row);
            cell.background = over(fillCommand.color, cell.background);
            cell.text = " ";
        }
}

void CellPainter::emphasize(CGRect rect) {
    const Area area = areaOf(rect);
    for (int row = area.top; row < area.bottom; ++row)
        for (int column = area.left; column < area.right; ++column)
            at(column, row).emphasized = true;
}

void CellPainter::drawText(const Drawing::DrawText& text) {
    const Area area = areaOf(text.rect);
    // One line of text, on the row through the middle of its rectangle.
    const int row = cellIndex(std::floor(CGRectGetMidY(text.rect) / m_pointsPerRow));
    if (row < area.top || row >= area.bottom || area.right <= area.left) {
        if (text.caret && row >= 0 && row < m_rows && area.left < m_columns)
            m_caret = Position{area.left, row};
        return;
    }
    const int room = area.right - area.left;
    auto glyphs = characters(text.text, room);
    int width = 0;
    for (const auto& glyph : glyphs)
        width += glyph.second;
    if (width > room) {
        // Cut at the tail with an ellipsis, as the labels do.
        while (!glyphs.empty() && width + 1 > room) {
            width -= glyphs.back().second;
            glyphs.pop_back();
        }
        glyphs.emplace_back("…", 1);
        width += 1;
    }
    int column = area.left;
    if (text.alignment == Drawing::Alignment::Center)
        column += (room - width) / 2;
    else if (text.alignment == Drawing::Alignment::Right)
        column += room - width;
    for (const auto& [glyph, glyphWidth] : glyphs) {
        if (column + glyphWidth > area.right)
            break;
        Cell& cell = at(column, row);
        cell.text = glyph;
        cell.foreground = over(text.color, cell.background);
        cell.bold = text.weight >= Drawing::Weight::Semibold;
        for (int rest = 1; rest < glyphWidth; ++rest)
            at(column + rest, row).text.clear();
        column += glyphWidth;
    }
    if (text.caret)
        m_caret = Position{std::min(column, m_columns - 1), row};
}
