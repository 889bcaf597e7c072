#pragma once

#include "Painters/CellPainter.h"
#include "Painters/TerminalColors.h"
#include "Terminal/CursesSession.h"

#include <optional>

// Draws a painted grid of cells in the terminal through curses, in the colours it shows (or,
// without any, in reverse and bold), with the keys' hint on a last row when there is room; or,
// in a terminal too small to show the screen, a request for room.
class TerminalDrawing {
  public:
    explicit TerminalDrawing(CursesSession::ColorMode colors) : m_colors(colors) {}

    // From this many rows, the last one carries a hint of the keys.
    static constexpr int rowsForHint = 20;

    void draw(const CellPainter& painter);
    void drawTooSmall();

  private:
    void drawHint(int columns, int row);
    void drawCell(int column, int row, const CellPainter::Cell& cell);
    // With fewer colours than 24-bit, the frame's are chosen together, for the cells drawn.
    void choosePalette(const CellPainter& painter);
    // A background's number, or a text's over the background under it.
    int colorNumber(const Drawing::Color& color,
                    const std::optional<Drawing::Color>& under = std::nullopt) const;

    CursesSession::ColorMode m_colors;
    std::optional<TerminalColors::Palette> m_palette;
};
