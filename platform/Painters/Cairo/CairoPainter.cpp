#include "Painters/CairoPainter.h"

#include "Runtime/Error.h"

#include <cairo.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

namespace {

// More of a line than this never fits on screen; laying out pasted megabytes would stall.
constexpr std::size_t maximumTextBytes = 4096;
// Enough for every text on a screen and its keyboard; past it the cache starts afresh.
constexpr std::size_t maximumCachedLayouts = 64;

void setSourceColor(cairo_t* context, const Drawing::Color& color) {
    cairo_set_source_rgba(context, color.red, color.green, color.blue, color.alpha);
}

PangoWeight pangoWeight(Drawing::Weight weight) {
    switch (weight) {
    case Drawing::Weight::Light:
        return PANGO_WEIGHT_LIGHT;
    case Drawing::Weight::Medium:
        return PANGO_WEIGHT_MEDIUM;
    case Drawing::Weight::Semibold:
        return PANGO_WEIGHT_SEMIBOLD;
    case Drawing::Weight::Bold:
        return PANGO_WEIGHT_BOLD;
    default:
        return PANGO_WEIGHT_NORMAL;
    }
}

// Pango takes only valid UTF-8, and a field takes whatever bytes it is given.
std::string displayableText(std::string_view text) {
    std::string shown(text.substr(0, maximumTextBytes));
    if (!g_utf8_validate(shown.data(), static_cast<gssize>(shown.size()), nullptr)) {
        gchar* valid = g_utf8_make_valid(shown.data(), static_cast<gssize>(shown.size()));
        shown = valid;
        g_free(valid);
    }
    return shown;
}

// Cairo's image surfaces end at 32767 pixels a side.
int pixels(double length) {
    constexpr double largest = 32767;
    if (!(length >= 1 && length <= largest))
        Runtime::raise(Runtime::Error("cannot draw an image " + std::to_string(length) +
                                      " pixels across; it takes 1 to 32767"));
    return static_cast<int>(std::lround(length));
}

// Pango measures in 1/1024 points in an int; a wider rectangle than that takes is no wider
// on screen.
int pangoUnits(CGFloat points) {
    constexpr CGFloat largest = 1e6;
    return static_cast<int>(std::clamp<CGFloat>(points, 0, largest) * PANGO_SCALE);
}

} // namespace

void CairoPainter::SurfaceDeleter::operator()(cairo_surface_t* surface) const {
    cairo_surface_destroy(surface);
}
void CairoPainter::ContextDeleter::operator()(cairo_t* context) const {
    cairo_destroy(context);
}
void CairoPainter::LayoutDeleter::operator()(PangoLayout* layout) const {
    g_object_unref(layout);
}

CairoPainter::CairoPainter(CGSize points, double scale)
    : m_surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, pixels(points.width * scale),
                                           pixels(points.height * scale))),
      m_context(cairo_create(m_surface.get())) {
    cairo_scale(m_context.get(), scale, scale);
}

CairoPainter::~CairoPainter() = default;

int CairoPainter::pixelWidth() const {
    return cairo_image_surface_get_width(m_surface.get());
}
int CairoPainter::pixelHeight() const {
    return cairo_image_surface_get_height(m_surface.get());
}

void CairoPainter::paint(const Drawing::DisplayList& list) {
    cairo_t* context = m_context.get();
    if (!coversSurfaceOpaquely(list)) {
        cairo_save(context);
        cairo_set_operator(context, CAIRO_OPERATOR_CLEAR);
        cairo_paint(context);
        cairo_restore(context);
    }
    for (const auto& command : list) {
        std::visit(Drawing::Overloaded{
                       [this](const Drawing::FillRect& fill) { fillRect(fill); },
                       [this](const Drawing::StrokeRect& ring) { strokeRect(ring); },
                       [this](const Drawing::PushClip& clip) { pushClip(clip); },
                       [this](const Drawing::PopClip&) { popClip(); },
                       [this](const Drawing::DrawText& text) { drawText(text); },
                   },
                   command);
    }
    cairo_surface_flush(m_surface.get());
    if (const cairo_status_t status = cairo_status(context); status != CAIRO_STATUS_SUCCESS)
        Runtime::raise(Runtime::Error(std::string("cannot draw the screen: ") +
                                      cairo_status_to_string(status)));
}

// A screen whose first command paints every pixel opaquely needs no clearing first.
bool CairoPainter::coversSurfaceOpaquely(const Drawing::DisplayList& list) const {
    const auto* first = list.empty() ? nullptr : std::get_if<Drawing::FillRect>(&list.front());
    double x = 0, y = 0;
    double width = pixelWidth(), height = pixelHeight();
    cairo_device_to_user(m_context.get(), &x, &y);
    cairo_device_to_user_distance(m_context.get(), &width, &height);
    return first && first->color.alpha >= 1 && first->cornerRadius <= 0 &&
           first->rect.origin.x <= x && first->rect.origin.y <= y &&
           CGRectGetMaxX(first->rect) >= x + width && CGRectGetMaxY(first->rect) >= y + height;
}

void CairoPainter::roundedRectanglePath(CGRect rect, CGFloat radius) {
    cairo_t* context = m_context.get();
    const CGFloat r =
        std::clamp<CGFloat>(radius, 0, std::min(rect.size.width, rect.size.height) / 2);
    if (r <= 0) {
        cairo_rectangle(context, rect.origin.x, rect.origin.y, rect.size.width, rect.size.height);
        return;
    }
    const CGFloat left = rect.origin.x, top = rect.origin.y;
    const CGFloat right = CGRectGetMaxX(rect), bottom = CGRectGetMaxY(rect);
    constexpr double quarter = std::numbers::pi / 2;
    cairo_new_sub_path(context);
    cairo_arc(context, right - r, top + r, r, -quarter, 0);
    cairo_arc(context, right - r, bottom - r, r, 0, quarter);
    cairo_arc(context, left + r, bottom - r, r, quarter, 2 * quarter);
    cairo_arc(context, left + r, top + r, r, 2 * quarter, 3 * quarter);
    cairo_close_path(context);
}

void CairoPainter::fillRect(const Drawing::FillRect& fill) {
    roundedRectanglePath(fill.rect, fill.cornerRadius);
    setSourceColor(m_context.get(), fill.color);
    cairo_fill(m_context.get());
}

void CairoPainter::pushClip(const Drawing::PushClip& clip) {
    cairo_save(m_context.get());
    roundedRectanglePath(clip.rect, clip.cornerRadius);
    cairo_clip(m_context.get());
}

void CairoPainter::popClip() {
    cairo_restore(m_context.get());
}

void CairoPainter::strokeRect(const Drawing::StrokeRect& ring) {
    // Just outside the rectangle, so the ring hides none of what it rings.
    const CGFloat half = ring.lineWidth / 2;
    const CGRect outside =
        CGRectMake(ring.rect.origin.x - half, ring.rect.origin.y - half,
                   ring.rect.size.width + ring.lineWidth, ring.rect.size.height + ring.lineWidth);
    roundedRectanglePath(outside, ring.cornerRadius + half);
    setSourceColor(m_context.get(), ring.color);
    cairo_set_line_width(m_context.get(), ring.lineWidth);
    cairo_stroke(m_context.get());
}

void CairoPainter::drawText(const Drawing::DrawText& text) {
    const CGRect& rect = text.rect;
    if (rect.size.width <= 0 || rect.size.height <= 0)
        return;
    PangoLayout* layout = layoutFor(text.text, text.fontSize, text.weight);
    PangoRectangle logical;
    pango_layout_get_extents(layout, nullptr, &logical);
    const CGFloat width = static_cast<CGFloat>(logical.width) / PANGO_SCALE;
    const CGFloat height = static_cast<CGFloat>(logical.height) / PANGO_SCALE;
    CGFloat left = rect.origin.x;
    if (text.alignment == Drawing::Alignment::Center)
        left += (rect.size.width - width - (text.caret ? caretWidth() : 0)) / 2;
    else if (text.alignment == Drawing::Alignment::Right)
        left += rect.size.width - width - (text.caret ? caretWidth() : 0);
    const CGFloat top = rect.origin.y + (rect.size.height - height) / 2;
    cairo_t* context = m_context.get();
    cairo_save(context);
    cairo_rectangle(context, rect.origin.x, rect.origin.y, rect.size.width, rect.size.height);
    cairo_clip(context);
    cairo_move_to(context, left, top);
    setSourceColor(context, text.color);
    pango_cairo_show_layout(context, layout);
    if (text.caret) {
        cairo_rectangle(context,
                        left + static_cast<CGFloat>(logical.x + logical.width) / PANGO_SCALE, top,
                        caretWidth(), height);
        setSourceColor(context, *text.caret);
        cairo_fill(context);
    }
    cairo_restore(context);
}

CGFloat CairoPainter::widthOf(std::string_view text, CGFloat fontSize, Drawing::Weight weight) {
    PangoRectangle logical;
    pango_layout_get_extents(layoutFor(text, fontSize, weight), nullptr, &logical);
    return static_cast<CGFloat>(logical.width) / PANGO_SCALE;
}

PangoLayout* CairoPainter::layoutFor(std::string_view text, CGFloat fontSize,
                                     Drawing::Weight weight) {
    LayoutKey key{displayableText(text), fontSize, weight};
    if (const auto found = m_layouts.find(key); found != m_layouts.end())
        return found->second.get();
    if (m_layouts.size() == maximumCachedLayouts)
        m_layouts.clear();

    PangoLayout* layout = pango_cairo_create_layout(m_context.get());
    pango_layout_set_single_paragraph_mode(layout, TRUE);
    PangoFontDescription* font = pango_font_description_from_string(Drawing::textFamilies);
    pango_font_description_set_absolute_size(font, pangoUnits(fontSize));
    pango_font_description_set_weight(font, pangoWeight(weight));
    pango_layout_set_font_description(layout, font);
    pango_font_description_free(font);
    const std::string& shown = std::get<0>(key);
    pango_layout_set_text(layout, shown.data(), static_cast<int>(shown.size()));
    return m_layouts.emplace(std::move(key), layout).first->second.get();
}

int CairoPainter::missingGlyphs(const Drawing::DrawText& text) {
    return pango_layout_get_unknown_glyphs_count(layoutFor(text.text, text.fontSize, text.weight));
}

namespace {

// Cairo's ARGB pixel, premultiplied, with its colour divided back out of its alpha.
std::uint32_t unpremultiplied(std::uint32_t argb) {
    const std::uint32_t alpha = argb >> 24;
    const auto channel = [&](int shift) -> std::uint32_t {
        const std::uint32_t premultiplied = (argb >> shift) & 0xFF;
        return alpha == 0 ? 0
                          : std::min<std::uint32_t>(255, (premultiplied * 255 + alpha / 2) / alpha);
    };
    return (alpha << 24) | (channel(16) << 16) | (channel(8) << 8) | channel(0);
}

std::uint32_t pixelAt(cairo_surface_t* surface, int x, int y) {
    const auto* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    std::uint32_t argb = 0;
    std::memcpy(&argb, data + y * stride + x * 4, sizeof argb);
    return unpremultiplied(argb);
}

} // namespace

StraightImage decodePNG(std::string_view bytes) {
    const auto read = [](void* closure, unsigned char* data, unsigned int length) {
        auto& rest = *static_cast<std::string_view*>(closure);
        if (rest.size() < length)
            return CAIRO_STATUS_READ_ERROR;
        std::memcpy(data, rest.data(), length);
        rest.remove_prefix(length);
        return CAIRO_STATUS_SUCCESS;
    };
    cairo_surface_t* surface = cairo_image_surface_create_from_png_stream(read, &bytes);
    StraightImage image;
    if (cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS) {
        cairo_surface_flush(surface);
        image.width = cairo_image_surface_get_width(surface);
        image.height = cairo_image_surface_get_height(surface);
        image.pixels.reserve(static_cast<std::size_t>(image.width) * image.height);
        for (int y = 0; y < image.height; ++y)
            for (int x = 0; x < image.width; ++x)
                image.pixels.push_back(pixelAt(surface, x, y));
    }
    cairo_surface_destroy(surface);
    return image;
}

CairoPainter::Pixel CairoPainter::pixel(int x, int y) const {
    const std::uint32_t argb = pixelAt(m_surface.get(), x, y);
    return {static_cast<std::uint8_t>(argb >> 16), static_cast<std::uint8_t>(argb >> 8),
            static_cast<std::uint8_t>(argb), static_cast<std::uint8_t>(argb >> 24)};
}

std::string CairoPainter::encodePNG() const {
    std::string bytes;
    const auto append = [](void* closure, const unsigned char* data, unsigned int length) {
        static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
        return CAIRO_STATUS_SUCCESS;
    };
    const cairo_status_t status =
        cairo_surface_write_to_png_stream(m_surface.get(), append, &bytes);
    if (status != CAIRO_STATUS_SUCCESS)
        Runtime::raise(Runtime::Error(std::string("cannot encode a PNG image: ") +
                                      cairo_status_to_string(status)));
    return bytes;
}
