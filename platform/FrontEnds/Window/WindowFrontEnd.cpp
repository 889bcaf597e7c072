// The module platform-window.so: the screen in a desktop window (SDL2), drawn by the Cairo
// painter at the display's scale, and offered to screen readers on the desktop's
// accessibility bus. It only translates: SDL's events into the session's calls, the
// session's frames into the window's pixels, and its accessibility tree into AT-SPI's.
#include "Foundation/NSBundle.h"
#include "FrontEnds/ModuleInterface.h"
#include "FrontEnds/Modules.h"
#include "Painters/CairoPainter.h"
#include "Runtime/Notice.h"
#include "UIKit/UIHostSession.h"
#include "Window/Accessibility/AtSpiBridge.h"
#include "Window/Display.h"
#include "Window/EventWait.h"
#include "Window/ScreenReaderKeys.h"

#include <SDL.h>
#include <cairo.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>

namespace {

using namespace WindowDisplay;

constexpr UIHostFeatures windowFeatures{.touches = true,
                                        .hardwareKeys = true,
                                        .textInput = true,
                                        .screenChanges = true,
                                        .lifeCycle = true,
                                        .safeAreas = false, // a desktop window covers nothing
                                        .wheel = true,
                                        .screenReader = true,
                                        .timers = true};

// Large enough for any screen, where the compositor sizes the window itself.
constexpr SDL_Rect unboundedScreen{0, 0, 1 << 14, 1 << 14};

template <class T, void (*destroy)(T*)> struct SdlDeleter {
    void operator()(T* object) const { destroy(object); }
};
using SdlWindow = std::unique_ptr<SDL_Window, SdlDeleter<SDL_Window, SDL_DestroyWindow>>;
using SdlSurface = std::unique_ptr<SDL_Surface, SdlDeleter<SDL_Surface, SDL_FreeSurface>>;
using SdlCursor = std::unique_ptr<SDL_Cursor, SdlDeleter<SDL_Cursor, SDL_FreeCursor>>;

SDL_SystemCursor systemCursor(UICursor cursor) {
    switch (cursor) {
    case UICursor::Pointer:
        return SDL_SYSTEM_CURSOR_HAND;
    case UICursor::Text:
        return SDL_SYSTEM_CURSOR_IBEAM;
    case UICursor::Arrow:
        break;
    }
    return SDL_SYSTEM_CURSOR_ARROW;
}

// The application's icon, from the PNG its Info.plist names (CFBundleIconFile). Null when it
// has none.
SdlSurface applicationIcon() {
    auto& bundle = NSBundle::mainBundle();
    const auto name = bundle.objectForInfoDictionaryKey("CFBundleIconFile");
    if (!name)
        return nullptr;
    StraightImage image;
    try {
        image = decodePNG(bundle.contentsOfResource(*name + ".png"));
    } catch (const Runtime::Error& error) {
        Runtime::printNotice(std::string("the window has no icon: ") + error.what());
        return nullptr;
    }
    if (image.pixels.empty())
        return nullptr;
    SdlSurface icon(
        SDL_CreateRGBSurfaceWithFormat(0, image.width, image.height, 32, SDL_PIXELFORMAT_ARGB8888));
    if (!icon)
        return nullptr;
    for (int y = 0; y < image.height; ++y)
        std::memcpy(static_cast<std::uint8_t*>(icon->pixels) + y * icon->pitch,
                    image.pixels.data() + static_cast<std::size_t>(y) * image.width,
                    static_cast<std::size_t>(image.width) * 4);
    return icon;
}

// One window showing the screen, and the loop that feeds it events.
class WindowSession : public AtSpiWindow {
  public:
    WindowSession(UIHostSession& session, const SdlVideo& video, std::optional<double> scale);
    void run(bool exitAfterFirstFrame);

    std::string title() const override { return SDL_GetWindowTitle(m_window.get()); }
    AtkRectangle areaOnScreen() const override;
    double pixelsPerPoint() const override { return m_unitsPerPoint; }

  private:
    void handle(const SDL_Event& event);
    void handleWindowEvent(const SDL_WindowEvent& event);
    // A screen reader's key listeners hear each key first; what they take goes no further.
    void handleKeyEvent(const SDL_KeyboardEvent& event);
    void handleKey(const SDL_KeyboardEvent& event);
    void touch(UITouchPhase phase, int x, int y);
    // The mouse's cursor as the view under it asks, while no button is down.
    void hover(int x, int y);
    void wheel(const SDL_MouseWheelEvent& event);
    void paste();
    // The screen takes the window's new size in points; the painter its pixels.
    void resize();
    void present();

    UIHostSession& m_session;
    SdlWindow m_window;
    std::shared_ptr<CairoPainter> m_painter;
    // The painter's pixels, as SDL sees them.
    SdlSurface m_frame;
    // Window units (pixels on X11, points on a scaling Wayland compositor) per point.
    double m_unitsPerPoint = 1;
    bool m_touching = false;
    UICursor m_cursor = UICursor::Arrow;
    SdlCursor m_systemCursor;
    bool m_minimized = false;
    bool m_active = false;
    bool m_exposed = true;
    bool m_quit = false;
    // The text a key taken by the screen reader would have typed is not typed either.
    bool m_keyTaken = false;
    std::unique_ptr<AtSpiBridge> m_bridge;
};

WindowSession::WindowSession(UIHostSession& session, const SdlVideo& video,
                             std::optional<double> scale)
    : m_session(session) {
    // A Wayland compositor scales a high-density window itself: its size is in points and
    // its surface has the output's pixels. On X11 the window is sized in pixels.
    const bool compositorScales = video.onWayland() && !scale;
    SDL_Rect usable = unboundedScreen;
    SDL_GetDisplayUsableBounds(0, &usable);
    const auto [units, points] =
        fittingShape(session.window().bounds().size, scale.value_or(displayScale()),
                     compositorScales ? unboundedScreen : usable);
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
    const CGSize points{width / m_unitsPerPoint, height / m_unitsPerPoint};
    // Frames go straight to the window's own pixels: a 2D screen needs no GPU, and a
    // software GL stack would cost a hundred megabytes and a slow start.
    SDL_Surface* windowSurface = SDL_GetWindowSurface(m_window.get());
    if (!windowSurface)
        throw FrontEndUnavailable(std::string("cannot draw in the window: ") + SDL_GetError());
    const double pixelsPerPoint = windowSurface->w / points.width;
    m_session.setScreen(points, {1 / pixelsPerPoint, 1 / pixelsPerPoint});
    m_frame.reset();
    m_painter = std::make_shared<CairoPainter>(points, pixelsPerPoint);
    m_session.setTextMeasurer(m_painter);
    cairo_surface_t* pixels = m_painter->surface();
    m_frame.reset(SDL_CreateRGBSurfaceWithFormatFrom(
        cairo_image_surface_get_data(pixels), m_painter->pixelWidth(), m_painter->pixelHeight(), 32,
        cairo_image_surface_get_stride(pixels), SDL_PIXELFORMAT_ARGB8888));
    if (!m_frame)
        throw FrontEndUnavailable(std::string("cannot draw in the window: ") + SDL_GetError());
}

void WindowSession::run(bool exitAfterFirstFrame) {
    m_painter->paint(m_session.takeFrame());
    present();
    if (exitAfterFirstFrame)
        return;
    // Only now: a screen reader's bus, asked for in the background, never delays the window.
    m_bridge = AtSpiBridge::start(
        m_session, *this,
        NSBundle::mainBundle().objectForInfoDictionaryKey("CFBundleName").value_or(""));
    if (m_bridge)
        m_bridge->setWindowActive(m_active);
    EventWait events(m_window.get());
    SDL_Event event;
    while (!m_quit) {
        while (!m_quit && SDL_PollEvent(&event))
            handle(event);
        if (m_bridge)
            m_bridge->carryOutRequests();
        m_session.fireTimers();
        if (auto frame = m_session.takeFrameIfChanged()) {
            m_painter->paint(*frame);
            m_exposed = true;
            if (m_bridge)
                m_bridge->update();
        }
        if (m_exposed)
            present();
        if (!m_quit)
            events.wait(m_session.timeUntilNextTimer());
    }
    m_bridge.reset();
}

AtkRectangle WindowSession::areaOnScreen() const {
    AtkRectangle area{};
    SDL_GetWindowPosition(m_window.get(), &area.x, &area.y);
    SDL_GetWindowSize(m_window.get(), &area.width, &area.height);
    return area;
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
        else
            hover(event.motion.x, event.motion.y);
        break;
    case SDL_MOUSEBUTTONUP:
        if (event.button.button == SDL_BUTTON_LEFT && m_touching)
            touch(UITouchPhase::Ended, event.button.x, event.button.y);
        break;
    case SDL_MOUSEWHEEL:
        wheel(event.wheel);
        break;
    case SDL_TEXTINPUT:
        // Space arrives here too, as text: the session decides what it does.
        if (!m_keyTaken)
            m_session.typeKey(event.text.text);
        m_keyTaken = false;
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        handleKeyEvent(event.key);
        break;
    default:
        break;
    }
}

void WindowSession::handleWindowEvent(const SDL_WindowEvent& event) {
    switch (event.event) {
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        m_active = true;
        m_session.setApplicationState(UIApplicationState::Active);
        if (m_bridge)
            m_bridge->setWindowActive(true);
        break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        m_active = false;
        if (!m_minimized)
            m_session.setApplicationState(UIApplicationState::Inactive);
        if (m_bridge)
            m_bridge->setWindowActive(false);
        break;
    case SDL_WINDOWEVENT_MINIMIZED:
        m_minimized = true;
        m_session.setApplicationState(UIApplicationState::Background);
        break;
    case SDL_WINDOWEVENT_RESTORED:
        if (m_minimized)
            m_session.setApplicationState(UIApplicationState::Inactive);
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

namespace {
constexpr std::array<std::pair<SDL_Keycode, UIKey>, 10> sessionKeys{{
    {SDLK_TAB, UIKey::Tab},
    {SDLK_BACKSPACE, UIKey::Backspace},
    {SDLK_DELETE, UIKey::Delete},
    {SDLK_RETURN, UIKey::Enter},
    {SDLK_KP_ENTER, UIKey::Enter},
    {SDLK_ESCAPE, UIKey::Escape},
    {SDLK_UP, UIKey::Up},
    {SDLK_DOWN, UIKey::Down},
    {SDLK_PAGEUP, UIKey::PageUp},
    {SDLK_PAGEDOWN, UIKey::PageDown},
}};

UIKeyModifiers heldWith(const SDL_Keysym& key) {
    return {.shift = (key.mod & KMOD_SHIFT) != 0,
            .control = (key.mod & KMOD_CTRL) != 0,
            .alt = (key.mod & KMOD_ALT) != 0,
            .meta = (key.mod & KMOD_GUI) != 0};
}
} // namespace

void WindowSession::handleKeyEvent(const SDL_KeyboardEvent& event) {
    const bool taken = m_bridge && m_bridge->keyTaken(screenReaderKey(event, m_window.get()));
    if (event.type != SDL_KEYDOWN)
        return;
    // A shortcut's key can type too (Alt-q types a q): it is a shortcut, not typing.
    m_keyTaken = taken || heldWith(event.keysym).makesShortcut();
    if (!taken)
        handleKey(event);
}

// What the session leaves unhandled, the window's own shortcuts: Ctrl-Q quits, Ctrl-V pastes.
void WindowSession::handleKey(const SDL_KeyboardEvent& event) {
    const SDL_Keycode key = event.keysym.sym;
    const UIKeyModifiers held = heldWith(event.keysym);
    for (const auto& [code, sessionKey] : sessionKeys)
        if (key == code)
            return static_cast<void>(m_session.pressKey(sessionKey, held));
    // Without a shortcut's modifiers, what a key types arrives as text.
    const bool typesACharacter = key >= ' ' && key < 127;
    if (!held.makesShortcut() || !typesACharacter ||
        m_session.typeKey(std::string(1, static_cast<char>(key)), held))
        return;
    if (key == SDLK_q && (held.control || held.meta))
        m_quit = true;
    else if (key == SDLK_v && (held.control || held.meta))
        paste();
}

void WindowSession::touch(UITouchPhase phase, int x, int y) {
    m_touching = phase == UITouchPhase::Began || phase == UITouchPhase::Moved;
    m_session.touch(phase, {x / m_unitsPerPoint, y / m_unitsPerPoint});
}

// A turn away from the person (up) shows what is above: the content moves down.
void WindowSession::wheel(const SDL_MouseWheelEvent& event) {
    const float flip = event.direction == SDL_MOUSEWHEEL_FLIPPED ? -1.0f : 1.0f;
    int x = 0, y = 0;
    SDL_GetMouseState(&x, &y);
    m_session.scrollWheel({x / m_unitsPerPoint, y / m_unitsPerPoint}, -event.preciseY * flip,
                          UIScrollUnit::Lines);
}

void WindowSession::hover(int x, int y) {
    const UICursor cursor = m_session.cursorAt({x / m_unitsPerPoint, y / m_unitsPerPoint});
    if (cursor == m_cursor)
        return;
    m_cursor = cursor;
    // Shown before the one it replaces is freed.
    if (SdlCursor next{SDL_CreateSystemCursor(systemCursor(cursor))}) {
        SDL_SetCursor(next.get());
        m_systemCursor = std::move(next);
    }
}

// The clipboard's text, as a paste: the session puts it where typing would go.
void WindowSession::paste() {
    char* text = SDL_GetClipboardText();
    if (text && *text)
        m_session.insertText(text);
    SDL_free(text);
}

// The painter's last frame onto the window; also what an uncovered window shows again.
void WindowSession::present() {
    // The window's surface is renewed when the window changes size, so ask for it each time.
    if (SDL_Surface* windowSurface = SDL_GetWindowSurface(m_window.get())) {
        SDL_BlitSurface(m_frame.get(), nullptr, windowSurface, nullptr);
        SDL_UpdateWindowSurface(m_window.get());
    }
    m_exposed = false;
}

// The screen in a desktop window. The mouse touches; keys go to the session; Ctrl-Q or
// closing the window quits. It can be resized, down to the smallest phone; it sleeps
// between events and draws only when something changed.
class WindowFrontEnd : public FrontEnd {
  public:
    // scale: pixels per point, empty for the display's own. exitAfterFirstFrame: for
    // measuring the time from start to the first frame on screen.
    WindowFrontEnd(std::optional<double> scale, bool exitAfterFirstFrame)
        : m_scale(scale), m_exitAfterFirstFrame(exitAfterFirstFrame) {}

    UIHostFeatures features() const override { return windowFeatures; }
    UIApplicationEnding run(UIHostSession& session) override {
        WindowSession window(session, m_video, m_scale);
        window.run(m_exitAfterFirstFrame);
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
