#include "Painters/CellPainter.h"

#include <algorithm>
#include <cmath>
#include <cwchar>

namespace {

// A phone's screen shows its texts whole in this many columns: a terminal's rows divide its
// height, and a column is as wide as one of these.
constexpr CGFloat phoneColumns = 56;

// A cell index from a coordinate in cells; far off-screen stays far off-screen, without an
// out-of-range conversion.
int cellIndex(double cells) {
    constexpr double farAway = 1e6;
    return static_cast<int>(std::clamp(cells, -farAway, farAway));
}

// The cells a span of points covers along one axis, by its rounded edges, at least one.
std::pair<int, int> roundedSpan(CGFloat start, CGFloat length, CGFloat perCell) {
    int first = cellIndex(std::round(start / perCell));
    int last = cellIndex(std::round((start + length) / perCell));
    if (last <= first && length > 0) {
        first = cellIndex(std::floor((start + length / 2) / perCell));
        last = first + 1;
    }
    return {first, last};
}

// An odd number of cells, the nearest to the span's length, around the cell its centre is
// in: what a box with a line of text takes, so that the text has a middle row.
std::pair<int, int> centredOddSpan(CGFloat start, CGFloat length, CGFloat perCell) {
    const int middle = cellIndex(std::floor((start + length / 2) / perCell));
    const int half = cellIndex(std::max<double>(0, std::round((length / perCell - 1) / 2)));
    return {middle - half, middle + half + 1};
}

Drawing::Color over(const Drawing::Color& top, const Drawing::Color& below) {
    const float a = top.alpha;
    return {top.red * a + below.red * (1 - a), top.green * a + below.green * (1 - a),
            top.blue * a + below.blue * (1 - a), 1};
}

struct Glyph {
    std::string bytes;
    int cells;
};

// The UTF-8 characters of a text with the cells each takes, as many as `room` cells can
// show: the rest could not show anyway, however long the text.
std::vector<Glyph> glyphs(std::string_view text, int room) {
    std::vector<Glyph> result;
    int width = 0;
    std::mbstate_t state{};
    const char* next = text.data();
    const char* end = text.data() + text.size();
    while (next < end && width <= room) {
        wchar_t wide = 0;
        const std::size_t length =
            std::mbrtowc(&wide, next, static_cast<std::size_t>(end - next), &state);
        if (length == static_cast<std::size_t>(-1) || length == static_cast<std::size_t>(-2) ||
            length == 0) {
            state = {};
            result.push_back({"\xEF\xBF\xBD", 1}); // an invalid byte shows as U+FFFD
            ++width;
            ++next;
            continue;
        }
        if (const int cells = wcwidth(wide); cells > 0) {
            result.push_back({std::string(next, length), cells});
            width += cells;
        }
        next += length;
    }
    return result;
}

int cellsOf(const std::vector<Glyph>& line) {
    int width = 0;
    for (const auto& glyph : line)
        width += glyph.cells;
    return width;
}

} // namespace

CellGrid CellGrid::forTerminal(int columns, int rows, CGSize phone) {
    const int safeColumns = std::max(columns, 1);
    const int safeRows = std::max(rows, 1);
    return {safeColumns, safeRows, {phone.width / phoneColumns, phone.height / safeRows}};
}

CellPainter::CellPainter(CellGrid grid)
    : m_grid(grid), m_cells(static_cast<std::size_t>(grid.columns * grid.rows)),
      m_boxes(m_cells.size()) {
}

const CellPainter::Cell& CellPainter::cell(int column, int row) const {
    return m_cells[static_cast<std::size_t>(row * m_grid.columns + column)];
}

CGFloat CellPainter::widthOf(std::string_view text, CGFloat, Drawing::Weight) {
    const int mostCells = static_cast<int>(std::min<std::size_t>(text.size(), 1 << 20)) * 2;
    return cellsOf(glyphs(text, mostCells)) * m_grid.pointsPerCell.width;
}

CGFloat CellPainter::usableWidth(CGRect box) const {
    const auto [left, right] =
        roundedSpan(box.origin.x, box.size.width, m_grid.pointsPerCell.width);
    return (right - left) * m_grid.pointsPerCell.width;
}

CellPainter::Area CellPainter::areaOf(CGRect rect, bool holdsText) const {
    const auto [left, right] =
        roundedSpan(rect.origin.x, rect.size.width, m_grid.pointsPerCell.width);
    const auto [top, bottom] =
        holdsText && rect.size.height > 0
            ? centredOddSpan(rect.origin.y, rect.size.height, m_grid.pointsPerCell.height)
            : roundedSpan(rect.origin.y, rect.size.height, m_grid.pointsPerCell.height);
    return clipped({left, top, right, bottom});
}

// Within the grid and every clip in force.
CellPainter::Area CellPainter::clipped(Area area) const {
    area.left = std::clamp(area.left, 0, m_grid.columns);
    area.right = std::clamp(area.right, area.left, m_grid.columns);
    area.top = std::clamp(area.top, 0, m_grid.rows);
    area.bottom = std::clamp(area.bottom, area.top, m_grid.rows);
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
    const bool holdsText =
        std::find(m_textBoxes.begin(), m_textBoxes.end(), rect) != m_textBoxes.end();
    const Area area = areaOf(rect, holdsText);
    return {{area.left, area.top}, {area.right, area.bottom}};
}

CGPoint CellPainter::pointAt(Position cell) const {
    const CGSize size = m_grid.pointsPerCell;
    CGPoint point{(cell.column + 0.5) * size.width, (cell.row + 0.5) * size.height};
    if (cell.column < 0 || cell.column >= m_grid.columns || cell.row < 0 || cell.row >= m_grid.rows)
        return point;
    const CGRect box = m_boxes[static_cast<std::size_t>(cell.row * m_grid.columns + cell.column)];
    if (box.size.width > 0 && box.size.height > 0) {
        point.x = std::clamp(point.x, box.origin.x, CGRectGetMaxX(box) - 0.01);
        point.y = std::clamp(point.y, box.origin.y, CGRectGetMaxY(box) - 0.01);
    }
    return point;
}

void CellPainter::paint(const Drawing::DisplayList& list) {
    std::fill(m_cells.begin(), m_cells.end(), Cell{});
    std::fill(m_boxes.begin(), m_boxes.end(), CGRect{});
    m_clips.clear();
    m_caret.reset();
    m_textBoxes.clear();
    for (const auto& command : list)
        std::visit(Drawing::Overloaded{
                       [this](const Drawing::FillRect& rect) { fill(rect); },
                       [this](const Drawing::StrokeRect& ring) { emphasize(ring.rect); },
                       [this](const Drawing::PushClip& clip) {
                           if (clip.holdsText)
                               m_textBoxes.push_back(clip.rect);
                           m_clips.push_back(areaOf(clip.rect, clip.holdsText));
                       },
                       [this](const Drawing::PopClip&) {
                           if (!m_clips.empty())
                               m_clips.pop_back();
                       },
                       [this](const Drawing::DrawText& text) { drawText(text); },
                   },
                   command);
}

void CellPainter::fill(const Drawing::FillRect& fillCommand) {
    if (fillCommand.holdsText)
        m_textBoxes.push_back(fillCommand.rect);
    const Area area = areaOf(fillCommand.rect, fillCommand.holdsText);
    for (int row = area.top; row < area.bottom; ++row)
        for (int column = area.left; column < area.right; ++column) {
            Cell& cell = at(column, row);
            cell.background = over(fillCommand.color, cell.background);
            cell.text = " ";
            m_boxes[static_cast<std::size_t>(row * m_grid.columns + column)] = fillCommand.rect;
        }
}

void CellPainter::emphasize(CGRect rect) {
    const Area area = areaOf(rect, false);
    for (int row = area.top; row < area.bottom; ++row)
        for (int column = area.left; column < area.right; ++column)
            at(column, row).emphasized = true;
}

void CellPainter::drawText(const Drawing::DrawText& text) {
    m_textBoxes.push_back(text.rect);
    const Area area = areaOf(text.rect, true);
    if (area.top >= area.bottom)
        return;
    // One line of text, on the middle row of its box.
    const int row = (area.top + area.bottom - 1) / 2;
    const int room = std::max(0, area.right - area.left - (text.caret ? 1 : 0));
    const auto line = glyphs(text.text, room);
    int column = area.left;
    const int spare = std::max(0, room - cellsOf(line));
    if (text.alignment == Drawing::Alignment::Center)
        column += spare / 2;
    else if (text.alignment == Drawing::Alignment::Right)
        column += spare;
    for (const auto& [glyph, glyphCells] : line) {
        if (column + glyphCells > area.right)
            break;
        Cell& cell = at(column, row);
        cell.text = glyph;
        cell.foreground = over(text.color, cell.background);
        cell.bold = text.weight >= Drawing::Weight::Semibold;
        for (int rest = 1; rest < glyphCells; ++rest)
            at(column + rest, row).text.clear();
        column += glyphCells;
    }
    if (text.caret && area.left < area.right)
        m_caret = Position{std::min(column, area.right - 1), row};
}
