// The module platform-window.so: the screen in a desktop window (SDL2), drawn by the Cairo
// painter at the display's scale.
#include "Foundation/NSBundle.h"
#include "FrontEnds/KeyCommands.h"
#include "FrontEnds/ModuleInterface.h"
#include "FrontEnds/Modules.h"
#include "Painters/CairoPainter.h"
#include "Runtime/FatalError.h"
#include "UIKit/UIApplication.h"
#include "UIKit/UIScreen.h"

#include <SDL.h>
#include <X11/Xlib.h>
#include <X11/Xresource.h>
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

// The smallest screen the layout is made for; a window is not dragged smaller.
constexpr CGSize minimumPoints{320, 568};
// Scales are chosen in quarters: what desktops offer, and crisp enough.
constexpr double scaleStep = 0.25;

bool isSet(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}

// The display SDL tries, as a message names it.
std::string displayName() {
    if (isSet("WAYLAND_DISPLAY"))
        return std::string("WAYLAND_DISPLAY=") + std::getenv("WAYLAND_DISPLAY");
    return std::string("DISPLAY=") + std::getenv("DISPLAY");
}

std::string formatScale(double scale) {
    char text[16];
    std::snprintf(text, sizeof text, "%g", scale);
    return text;
}

template <class T, void (*destroy)(T*)> struct SdlDeleter {
    void operator()(T* object) const { destroy(object); }
};
using SdlWindow = std::unique_ptr<SDL_Window, SdlDeleter<SDL_Window, SDL_DestroyWindow>>;
using SdlSurface = std::unique_ptr<SDL_Surface, SdlDeleter<SDL_Surface, SDL_FreeSurface>>;
using CairoSurface =
    std::unique_ptr<cairo_surface_t, SdlDeleter<cairo_surface_t, cairo_surface_destroy>>;

// X reports errors asynchronously, and Xlib's default answer ends the process. The one that
// comes is SDL waking its own event wait with a message to a window it destroys a moment
// later, on a second connection whose error arrives only as SDL closes it; harmless.
// Anything else is said, not died of.
extern "C" int reportXError(Display* display, XErrorEvent* error) {
    if (error->error_code == BadWindow)
        return 0;
    char text[256];
    XGetErrorText(display, error->error_code, text, sizeof text);
    Runtime::printNotice(std::string("the display reported an error: ") + text);
    return 0;
}

// SDL's video subsystem, opened when the front end is made: a display that cannot be
// reached is known before the application starts.
class SdlVideo {
  public:
    SdlVideo() {
        if (!isSet("DISPLAY") && !isSet("WAYLAND_DISPLAY"))
            throw FrontEndUnavailable("cannot open a window: no display (DISPLAY and "
                                      "WAYLAND_DISPLAY are not set)");
        // Only a desktop display will do; SDL's other drivers show nothing a person sees.
        SDL_SetHint(SDL_HINT_VIDEODRIVER, isSet("WAYLAND_DISPLAY") ? "wayland,x11" : "x11");
        // The window's pixels stay plain memory shared with the display server, not a GPU
        // texture that would load a whole GL stack.
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        // Before SDL starts: it puts back the handler it found when it quits, and the error
        // above only comes while it closes its connections.
        XSetErrorHandler(reportXError);
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
            throw FrontEndUnavailable("cannot open a window on " + displayName() + ": " +
                                      SDL_GetError());
    }
    ~SdlVideo() { SDL_Quit(); }
    SdlVideo(const SdlVideo&) = delete;
    SdlVideo& operator=(const SdlVideo&) = delete;

    bool onWayland() const { return std::strcmp(SDL_GetCurrentVideoDriver(), "wayland") == 0; }
};

// The scale an X desktop asks for: the resource Xft.dpi, against the 96 dots per inch of
// scale 1. Empty when the display sets none.
std::optional<double> xftScale() {
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return std::nullopt;
    std::optional<double> scale;
    if (const char* resources = XResourceManagerString(display)) {
        XrmInitialize();
        XrmDatabase database = XrmGetStringDatabase(resources);
        char* type = nullptr;
        XrmValue value{};
        if (database && XrmGetResource(database, "Xft.dpi", "Xft.Dpi", &type, &value) && value.addr)
            if (const double dpi = std::atof(value.addr); dpi > 0)
                scale = dpi / 96;
        if (database)
            XrmDestroyDatabase(database);
    }
    XCloseDisplay(display);
    return scale;
}

// The display's own pixels per point: GDK_SCALE where the desktop sets it, else Xft.dpi,
// in quarters from 1 to 4; 1 when nothing says.
double displayScale() {
    std::optional<double> scale;
    if (const char* gdkScale = std::getenv("GDK_SCALE"); gdkScale && std::atoi(gdkScale) > 0)
        scale = std::atoi(gdkScale);
    else
        scale = xftScale();
    return std::clamp(std::round(scale.value_or(1) / scaleStep) * scaleStep, 1.0, 4.0);
}

struct WindowShape {
    double scale;
    CGSize points;
};

// The largest scale, from the wanted one down in quarters, at which the window fits the
// usable part of the screen; at scale 1, a window no larger than that part.
WindowShape fittingShape(CGSize points, double scale, const SDL_Rect& usable) {
    const auto fits = [&](double s) {
        return points.width * s <= usable.w && points.height * s <= usable.h;
    };
    double chosen = scale;
    while (chosen > 1 && !fits(chosen))
        chosen = std::max(1.0, chosen - scaleStep);
    if (chosen != scale)
        Runtime::printNotice("a window at scale " + formatScale(scale) + " does not fit the " +
                             std::to_string(usable.w) + " x " + std::to_string(usable.h) +
                             " pixels the screen has free; it opens at scale " +
                             formatScale(chosen));
    if (!fits(chosen))
        points = {std::clamp<CGFloat>(usable.w / chosen, minimumPoints.width, points.width),
                  std::clamp<CGFloat>(usable.h / chosen, minimumPoints.height, points.height)};
    return {chosen, points};
}

// The application's icon, from the PNG its Info.plist names (CFBundleIconFile), in SDL's
// straight-alpha pixels. Null when it has none.
SdlSurface applicationIcon() {
    auto& bundle = NSBundle::mainBundle();
    const auto name = bundle.objectForInfoDictionaryKey("CFBundleIconFile");
    if (!name)
        return nullptr;
    std::string png;
    try {
        png = bundle.contentsOfResource(*name + ".png");
    } catch (const Runtime::Error& error) {
        Runtime::printNotice(std::string("the window has no icon: ") + error.what());
        return nullptr;
    }
    std::string_view rest = png;
    const auto read = [](void* closure, unsigned char* data, unsigned int length) {
        auto& bytes = *static_cast<std::string_view*>(closure);
        if (bytes.size() < length)
            return CAIRO_STATUS_READ_ERROR;
        std::memcpy(data, bytes.data(), length);
        bytes.remove_prefix(length);
        return CAIRO_STATUS_SUCCESS;
    };
    const CairoSurface image(cairo_image_surface_create_from_png_stream(read, &rest));
    if (cairo_surface_status(image.get()) != CAIRO_STATUS_SUCCESS)
        return nullptr;
    const int width = cairo_image_surface_get_width(image.get());
    const int height = cairo_image_surface_get_height(image.get());
    SdlSurface icon(SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888));
    if (!icon)
        return nullptr;
    const auto* source = cairo_image_surface_get_data(image.get());
    const int stride = cairo_image_surface_get_stride(image.get());
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint32_t pixel;
            std::memcpy(&pixel, source + y * stride + x * 4, sizeof pixel);
            const std::uint32_t alpha = pixel >> 24;
            const auto channel = [&](int shift) {
                const std::uint32_t value = (pixel >> shift) & 0xFF;
                return alpha ? std::min<std::uint32_t>(255, value * 255 / alpha) << shift : 0;
            };
            const std::uint32_t straight = (alpha << 24) | channel(16) | channel(8) | channel(0);
            std::memcpy(static_cast<std::uint8_t*>(icon->pixels) + y * icon->pitch + x * 4,
                        &straight, sizeof straight);
        }
    return icon;
}

// One window showing the screen, and the loop that feeds it events.
class WindowSession {
  public:
    WindowSession(UIApplication& application, UIWindow& screen, const SdlVideo& video,
                  std::optional<double> scale);
    void run(bool exitAfterFirstFrame);

  private:
    void handle(const SDL_Event& event);
    void handleWindowEvent(const SDL_WindowEvent& event);
    void handleKey(const SDL_KeyboardEvent& event);
    void touch(UITouchPhase phase, int x, int y);
    // The screen takes the window's new size in points; the painter its pixels.
    void resize();
    void present();

    UIApplication& m_application;
    UIWindow& m_screen;
    SdlWindow m_window;
    std::unique_ptr<CairoPainter> m_painter;
    // The painter's pixels, as SDL sees them.
    SdlSurface m_frame;
    // Window units (pixels on X11, points on a scaling Wayland compositor) per point.
    double m_unitsPerPoint = 1;
    bool m_touching = false;
    bool m_minimized = false;
    bool m_exposed = true;
    bool m_quit = false;
};

WindowSession::WindowSession(UIApplication& application, UIWindow& screen, const SdlVideo& video,
                             std::optional<double> scale)
    : m_application(application), m_screen(screen) {
    // A Wayland compositor scales a high-density window itself: its size is in points and
    // its surface has the output's pixels. On X11 the window is sized in pixels.
    const bool compositorScales = video.onWayland() && !scale;
    SDL_Rect usable{0, 0, 1 << 14, 1 << 14};
    SDL_GetDisplayUsableBounds(0, &usable);
    const auto [units, points] =
        fittingShape(screen.bounds().size, scale.value_or(displayScale()),
                     compositorScales ? SDL_Rect{0, 0, 1 << 14, 1 << 14} : usable);
    m_unitsPerPoint = compositorScales ? 1 : units;
    const std::string title =
        NSBundle::mainBundle().objectForInfoDictionaryKey("CFBundleName").value_or("");
    const Uint32 flags = SDL_WINDOW_RESIZABLE | (compositorScales ? SDL_WINDOW_ALLOW_HIGHDPI : 0);
    m_window.reset(SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                    static_cast<int>(std::lround(points.width * m_unitsPerPoint)),
                                    static_cast<int>(std::lround(points.height * m_unitsPerPoint)),
                                    flags));
    if (!m_window)
        throw FrontEndUnavailable(std::string("cannot open a window: ") + SDL_GetError());
    SDL_SetWindowMinimumSize(m_window.get(),
                             static_cast<int>(std::lround(minimumPoints.width * m_unitsPerPoint)),
                             static_cast<int>(std::lround(minimumPoints.height * m_unitsPerPoint)));
    if (const auto icon = applicationIcon())
        SDL_SetWindowIcon(m_window.get(), icon.get());
    resize();
    SDL_StartTextInput();
}

void WindowSession::resize() {
    int width = 0, height = 0;
    SDL_GetWindowSize(m_window.get(), &width, &height);
    const CGRect bounds = CGRectMake(0, 0, width / m_unitsPerPoint, height / m_unitsPerPoint);
    // Frames go straight to the window's own pixels: a 2D screen needs no GPU, and a
    // software GL stack would cost a hundred megabytes and a slow start.
    SDL_Surface* windowSurface = SDL_GetWindowSurface(m_window.get());
    if (!windowSurface)
        throw FrontEndUnavailable(std::string("cannot draw in the window: ") + SDL_GetError());
    const double pixelsPerPoint = windowSurface->w / bounds.size.width;
    UIScreen::mainScreen().setBounds(bounds);
    UIScreen::mainScreen().setPointsPerPixel({1 / pixelsPerPoint, 1 / pixelsPerPoint});
    m_screen.screenDidChange();
    m_frame.reset();
    m_painter = std::make_unique<CairoPainter>(bounds.size, pixelsPerPoint);
    cairo_surface_t* pixels = m_painter->surface();
    m_frame.reset(SDL_CreateRGBSurfaceWithFormatFrom(
        cairo_image_surface_get_data(pixels), m_painter->pixelWidth(), m_painter->pixelHeight(), 32,
        cairo_image_surface_get_stride(pixels), SDL_PIXELFORMAT_ARGB8888));
    if (!m_frame)
        throw FrontEndUnavailable(std::string("cannot draw in the window: ") + SDL_GetError());
    m_exposed = true;
}

void WindowSession::run(bool exitAfterFirstFrame) {
    m_screen.displayIfNeeded();
    present();
    if (exitAfterFirstFrame)
        return;
    SDL_Event event;
    // SDL_WaitEvent sleeps until something happens: an idle window costs no CPU.
    while (!m_quit && SDL_WaitEvent(&event)) {
        do
            handle(event);
        while (!m_quit && SDL_PollEvent(&event));
        m_screen.displayIfNeeded();
        if (m_screen.needsScreenUpdate() || m_exposed)
            present();
    }
}

void WindowSession::handle(const SDL_Event& event) {
    switch (event.type) {
    case SDL_QUIT:
        m_quit = true;
        break;
    case SDL_WINDOWEVENT:
        handleWindowEvent(event.window);
        break;
    case SDL_MOUSEBUTTONDOWN:
        if (event.button.button == SDL_BUTTON_LEFT)
            touch(UITouchPhase::Began, event.button.x, event.button.y);
        break;
    case SDL_MOUSEMOTION:
        if (m_touching)
            touch(UITouchPhase::Moved, event.motion.x, event.motion.y);
        break;
    case SDL_MOUSEBUTTONUP:
        if (event.button.button == SDL_BUTTON_LEFT && m_touching)
            touch(UITouchPhase::Ended, event.button.x, event.button.y);
        break;
    case SDL_TEXTINPUT:
        KeyCommands::typeText(m_screen, event.text.text);
        break;
    case SDL_KEYDOWN:
        handleKey(event.key);
        break;
    default:
        break;
    }
}

void WindowSession::handleWindowEvent(const SDL_WindowEvent& event) {
    auto& delegate = m_application.delegate();
    switch (event.event) {
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        delegate.applicationDidBecomeActive(m_application);
        break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        delegate.applicationWillResignActive(m_application);
        break;
    case SDL_WINDOWEVENT_MINIMIZED:
        m_minimized = true;
        delegate.applicationDidEnterBackground(m_application);
        break;
    case SDL_WINDOWEVENT_RESTORED:
        if (m_minimized)
            delegate.applicationWillEnterForeground(m_application);
        m_minimized = false;
        m_exposed = true;
        break;
    case SDL_WINDOWEVENT_CLOSE:
        m_quit = true;
        break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        resize();
        break;
    case SDL_WINDOWEVENT_EXPOSED:
        m_exposed = true;
        break;
    default:
        break;
    }
}

void WindowSession::handleKey(const SDL_KeyboardEvent& event) {
    using KeyCommands::Key;
    const bool shift = (event.keysym.mod & KMOD_SHIFT) != 0;
    switch (event.keysym.sym) {
    case SDLK_BACKSPACE:
        KeyCommands::press(m_screen, Key::Backspace);
        break;
    case SDLK_TAB:
        KeyCommands::press(m_screen, shift ? Key::ShiftTab : Key::Tab);
        break;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        KeyCommands::press(m_screen, Key::Enter);
        break;
    case SDLK_SPACE:
        KeyCommands::press(m_screen, Key::Space);
        break;
    case SDLK_ESCAPE:
        KeyCommands::press(m_screen, Key::Escape);
        break;
    case SDLK_q:
        if (event.keysym.mod & KMOD_CTRL)
            m_quit = true;
        break;
    default:
        break;
    }
}

void WindowSession::touch(UITouchPhase phase, int x, int y) {
    m_touching = phase == UITouchPhase::Began || phase == UITouchPhase::Moved;
    m_screen.sendTouch(phase, {x / m_unitsPerPoint, y / m_unitsPerPoint});
}

void WindowSession::present() {
    Drawing::DisplayList list;
    m_screen.describeScreen(list);
    m_painter->paint(list);
    // The window's surface is renewed when the window changes size, so ask for it each time.
    if (SDL_Surface* windowSurface = SDL_GetWindowSurface(m_window.get())) {
        SDL_BlitSurface(m_frame.get(), nullptr, windowSurface, nullptr);
        SDL_UpdateWindowSurface(m_window.get());
    }
    m_screen.screenUpdated();
    m_exposed = false;
}

// The screen in a desktop window. The mouse touches; the keyboard's keys do what
// KeyCommands says; Ctrl-Q or closing the window quits. It can be resized, down to the
// smallest phone; it sleeps between events and draws only when something changed.
class WindowFrontEnd : public FrontEnd {
  public:
    // scale: pixels per point, empty for the display's own. exitAfterFirstFrame: for
    // measuring the time from start to the first frame on screen.
    WindowFrontEnd(std::optional<double> scale, bool exitAfterFirstFrame)
        : m_scale(scale), m_exitAfterFirstFrame(exitAfterFirstFrame) {}

    UIApplicationEnding run(UIApplication& application, UIWindow& window) override {
        WindowSession session(application, window, m_video, m_scale);
        session.run(m_exitAfterFirstFrame);
        return {};
    }

  private:
    SdlVideo m_video;
    std::optional<double> m_scale;
    bool m_exitAfterFirstFrame;
};

} // namespace

extern "C" const char* platformModuleInterface() {
    return Modules::interfaceStamp;
}

extern "C" void platformModuleOffer(Modules::Offers& offers) {
    offers.frontEnds["window"] = [](const PlatformOptions& options) {
        return std::make_unique<WindowFrontEnd>(options.scale, options.exitAfterFirstFrame);
    };
}
