#pragma once

#include "CoreGraphics/CGGeometry.h"
#include "Drawing/DisplayList.h"

#include <optional>
#include <string>
#include <vector>

// Replays a display list into a grid of character cells, for a terminal. The screen is
// scaled to fit the grid: rows as they come, columns up to the screen's true shape (a cell
// being about twice as tall as wide) but never fewer than can show its texts.
class CellPainter {
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

    CellPainter(CGSize points, int columns, int rows);

    void paint(const Drawing::DisplayList& list);

    int columns() const { return m_columns; }
    int rows() const { return m_rows; }
    const Cell& cell(int column, int row) const;
    // Where the caret of the field being edited is, if one is.
    const std::optional<Position>& caret() const { return m_caret; }
    // The cells a rectangle in points covers, and the point at the center of a cell.
    std::pair<Position, Position> cellsCovering(CGRect rect) const;
    CGPoint pointAt(Position cell) const;
    // The screen's own columns and rows within the grid (it is centered).
    CGRect screenArea() const;

  private:
    struct Area {
        int left, top, right, bottom; // cells, right and bottom exclusive
    };
    Area areaOf(CGRect rect) const;
    void fill(const Drawing::FillRect& fill);
    void emphasize(CGRect rect);
    void drawText(const Drawing::DrawText& text);
    Cell& at(int column, int row) {
        return m_cells[static_cast<std::size_t>(row * m_columns + column)];
    }

    CGSize m_points;
    int m_columns;
    int m_rows;
    double m_pointsPerColumn;
    double m_pointsPerRow;
    int m_leftMargin;
    std::vector<Cell> m_cells;
    std::vector<Area> m_clips;
    std::optional<Position> m_caret;
};
