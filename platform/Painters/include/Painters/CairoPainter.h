#pragma once

#include "CoreGraphics/CGGeometry.h"
#include "Drawing/DisplayList.h"
#include "Drawing/TextMeasurer.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

typedef struct _cairo_surface cairo_surface_t;
typedef struct _cairo cairo_t;
typedef struct _PangoLayout PangoLayout;

// An image in straight-alpha ARGB pixels (not premultiplied), row after row.
struct StraightImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

// Decodes a PNG file's bytes; an image without pixels when they are not a PNG image.
StraightImage decodePNG(std::string_view bytes);

// Rasterizes display lists into an ARGB image at a scale (points to pixels): shapes with
// Cairo, text with Pango in the Inter face (any sans-serif when Inter is missing). It
// measures text for the toolkit the way it draws it.
class CairoPainter : public Drawing::TextMeasurer {
  public:
    struct Pixel {
        std::uint8_t red, green, blue, alpha;
        bool operator==(const Pixel&) const = default;
    };

    CairoPainter(CGSize points, double scale);
    ~CairoPainter() override;
    CairoPainter(const CairoPainter&) = delete;
    CairoPainter& operator=(const CairoPainter&) = delete;

    // Raises Runtime::Error when Cairo cannot draw (out of memory, a surface too large).
    void paint(const Drawing::DisplayList& list);

    int pixelWidth() const;
    int pixelHeight() const;
    // A pixel of the last frame, un-premultiplied, at pixel coordinates.
    Pixel pixel(int x, int y) const;
    cairo_surface_t* surface() const { return m_surface.get(); }
    // The last frame as a PNG file's bytes; raises Runtime::Error when it cannot be encoded.
    std::string encodePNG() const;
    // How many characters of a text no installed font has a glyph for.
    int missingGlyphs(const Drawing::DrawText& text);

    CGFloat widthOf(std::string_view text, CGFloat fontSize, Drawing::Weight weight) override;

  private:
    bool coversSurfaceOpaquely(const Drawing::DisplayList& list) const;
    void fillRect(const Drawing::FillRect& fill);
    void pushClip(const Drawing::PushClip& clip);
    void popClip();
    void strokeRect(const Drawing::StrokeRect& ring);
    void drawText(const Drawing::DrawText& text);
    void roundedRectanglePath(CGRect rect, CGFloat radius);
    PangoLayout* layoutFor(std::string_view text, CGFloat fontSize, Drawing::Weight weight);

    struct SurfaceDeleter {
        void operator()(cairo_surface_t* surface) const;
    };
    struct ContextDeleter {
        void operator()(cairo_t* context) const;
    };
    struct LayoutDeleter {
        void operator()(PangoLayout* layout) const;
    };
    std::unique_ptr<cairo_surface_t, SurfaceDeleter> m_surface;
    std::unique_ptr<cairo_t, ContextDeleter> m_context;
    // Shaping text is the costly part of a frame, and frames mostly repeat their texts.
    using LayoutKey = std::tuple<std::string, CGFloat, Drawing::Weight>;
    std::map<LayoutKey, std::unique_ptr<PangoLayout, LayoutDeleter>> m_layouts;
};
