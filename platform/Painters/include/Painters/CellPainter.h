#pragma once

#include "CoreGraphics/CGGeometry.h"
#include "Drawing/DisplayList.h"
#include "Drawing/TextMeasurer.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

// How a terminal of some columns and rows shows the screen: the screen's size in points,
// and the points one character cell covers across and down. The screen is the phone's
// height whatever the rows, and as wide as the columns make it at a width per cell that lets
// the phone's texts fit: the layout stretches and cells follow it, the same at every size.
struct CellGrid {
    int columns = 1;
    int rows = 1;
    CGSize pointsPerCell;

    static CellGrid forTerminal(int columns, int rows, CGSize phone);
    CGSize screenSize() const {
        return {columns * pointsPerCell.width, rows * pointsPerCell.height};
    }
};

// Replays a display list into a grid of character cells. Rectangles snap to whole cells
// without losing what tells them apart: a box that holds a line of text gets an odd number
// of rows around its centre, so that the text has a middle row; any other rectangle takes
// the rows and columns its edges round to, at least one. It measures text for the toolkit
// in whole cells, a character's one or two.
class CellPainter : public Drawing::TextMeasurer {
  public:
    struct Cell {
        std::string text = " "; // one character, UTF-8; empty for the right half of a wide one
        Drawing::Color foreground{1, 1, 1, 1};
        Drawing::Color background{0, 0, 0, 1};
        bool bold = false;
        // Ringed by the keyboard's focus: shown in reverse.
        bool emphasized = false;
        bool operator==(const Cell&) const = default;
    };
    struct Position {
        int column = 0;
        int row = 0;
        bool operator==(const Position&) const = default;
    };

    explicit CellPainter(CellGrid grid);

    CGFloat widthOf(std::string_view text, CGFloat fontSize, Drawing::Weight weight) override;
    CGFloat usableWidth(CGRect box) const override;
    CGFloat caretWidth() const override { return m_grid.pointsPerCell.width; }

    void paint(const Drawing::DisplayList& list);

    int columns() const { return m_grid.columns; }
    int rows() const { return m_grid.rows; }
    const Cell& cell(int column, int row) const;
    // Where the caret of the field being edited is, if one is.
    const std::optional<Position>& caret() const { return m_caret; }
    // The point a touch on a cell stands for: inside the box drawn there, nearest the cell's
    // centre, so that a click on any cell of a box touches what the box shows.
    CGPoint pointAt(Position cell) const;
    // The cells a rectangle of the last frame snapped to: first inclusive, last exclusive.
    std::pair<Position, Position> cellsCovering(CGRect rect) const;

  private:
    struct Area {
        int left, top, right, bottom; // cells, right and bottom exclusive
    };
    Area areaOf(CGRect rect, bool holdsText) const;
    Area clipped(Area area) const;
    void fill(const Drawing::FillRect& fill);
    void emphasize(CGRect rect);
    void drawText(const Drawing::DrawText& text);
    Cell& at(int column, int row) {
        return m_cells[static_cast<std::size_t>(row * m_grid.columns + column)];
    }

    CellGrid m_grid;
    std::vector<Cell> m_cells;
    // The rectangle, in points, of the box last drawn on each cell.
    std::vector<CGRect> m_boxes;
    std::vector<Area> m_clips;
    // The boxes of the last frame that hold a line of text, as the display list marks them.
    std::vector<CGRect> m_textBoxes;
    std::optional<Position> m_caret;
};
