#include "Foundation/NSBundle.h"
#include "FrontEnds/KeyCommands.h"
#include "FrontEnds/ModuleInterface.h"
#include "FrontEnds/Modules.h"
#include "Painters/CairoPainter.h"
#include "UIKit/UIApplication.h"

#include <SDL.h>

#include <cairo.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

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

template <class T, void (*destroy)(T*)> struct SdlDeleter {
    void operator()(T* object) const { destroy(object); }
};
using SdlWindow = std::unique_ptr<SDL_Window, SdlDeleter<SDL_Window, SDL_DestroyWindow>>;
using SdlSurface = std::unique_ptr<SDL_Surface, SdlDeleter<SDL_Surface, SDL_FreeSurface>>;

// The application's name, as its Info.plist gives it.
std::string windowTitle() {
    return NSBundle::mainBundle().objectForInfoDictionaryKey("CFBundleName").value_or("");
}

// SDL's video subsystem for the life of one run.
class SdlVideo {
  public:
    SdlVideo() {
        if (!isSet("DISPLAY") && !isSet("WAYLAND_DISPLAY"))
            throw FrontEndUnavailable("cannot open a window: no display (DISPLAY and "
                                      "WAYLAND_DISPLAY are not set)");
        // Only a desktop display will do; SDL's other drivers show nothing a person sees.
        const char* wayland = std::getenv("WAYLAND_DISPLAY");
        SDL_SetHint(SDL_HINT_VIDEODRIVER, wayland && *wayland ? "wayland,x11" : "x11");
        // The window's pixels stay plain memory shared with the display server, not a GPU
        // texture that would load a whole GL stack.
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
            throw FrontEndUnavailable("cannot open a window on " + displayName() + ": " +
                                      SDL_GetError());
    }
    ~SdlVideo() { SDL_Quit(); }
    SdlVideo(const SdlVideo&) = delete;
    SdlVideo& operator=(const SdlVideo&) = delete;
};

// One window showing the screen, and the loop that feeds it events.
class WindowSession {
  public:
    WindowSession(UIApplication& application, UIWindow& screen, std::optional<double> scale);
    void run(bool exitAfterFirstFrame);

  private:
    void handle(const SDL_Event& event);
    void handleWindowEvent(const SDL_WindowEvent& event);
    void handleKey(const SDL_KeyboardEvent& event);
    void touch(UITouchPhase phase, int x, int y);
    void present();

    UIApplication& m_application;
    UIWindow& m_screen;
    SdlWindow m_window;
    std::unique_ptr<CairoPainter> m_painter;
    // The painter's pixels, as SDL sees them.
    SdlSurface m_frame;
    double m_windowUnitsPerPoint = 1;
    bool m_touching = false;
    bool m_minimized = false;
    bool m_exposed = true;
    bool m_quit = false;
};

WindowSession::WindowSession(UIApplication& application, UIWindow& screen,
                             std::optional<double> scale)
    : m_application(application), m_screen(screen) {
    const CGSize points = screen.bounds().size;
    m_windowUnitsPerPoint = scale.value_or(1);
    const int flags = scale ? 0 : SDL_WINDOW_ALLOW_HIGHDPI;
    m_window.reset(
        SDL_CreateWindow(windowTitle().c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                         static_cast<int>(std::lround(points.width * m_windowUnitsPerPoint)),
                         static_cast<int>(std::lround(points.height * m_windowUnitsPerPoint)),
                         static_cast<Uint32>(flags)));
    if (!m_window)
        throw FrontEndUnavailable(std::string("cannot open a window: ") + SDL_GetError());
    // Frames go straight to the window's own pixels: a 2D screen needs no GPU, and a
    // software GL stack would cost a hundred megabytes and a slow start.
    SDL_Surface* windowSurface = SDL_GetWindowSurface(m_window.get());
    if (!windowSurface)
        throw FrontEndUnavailable(std::string("cannot draw in the window: ") + SDL_GetError());
    const double pixelsPerPoint = windowSurface->w / points.width;
    m_painter = std::make_unique<CairoPainter>(points, pixelsPerPoint);
    cairo_surface_t* pixels = m_painter->surface();
    m_frame.reset(SDL_CreateRGBSurfaceWithFormatFrom(
        cairo_image_surface_get_data(pixels), m_painter->pixelWidth(), m_painter->pixelHeight(), 32,
        cairo_image_surface_get_stride(pixels), SDL_PIXELFORMAT_ARGB8888));
    if (!m_frame)
        throw FrontEndUnavailable(std::string("cannot draw in the window: ") + SDL_GetError());
    SDL_StartTextInput();
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
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        m_exposed = true;
        break;
    default:
        break;
    }
}

void WindowSession::handleKey(const SDL_KeyboardEvent& event) {
    const bool shift = (event.keysym.mod & KMOD_SHIFT) != 0;
    switch (event.keysym.sym) {
    case SDLK_BACKSPACE:
        KeyCommands::deleteBackward(m_screen);
        break;
    case SDLK_TAB:
        if (auto next = KeyCommands::nextInFocusRing(m_screen, m_screen.firstResponder().get(),
                                                     shift, false))
            next->becomeFirstResponder();
        break;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        KeyCommands::tapKeyboardAccessory(m_screen);
        break;
    case SDLK_ESCAPE:
        m_screen.endEditing(true);
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
    m_screen.sendTouch(phase, {x / m_windowUnitsPerPoint, y / m_windowUnitsPerPoint});
}

void WindowSession::present() {
    Drawing::DisplayList list;
    m_screen.describe(list);
    m_painter->paint(list);
    // The window's surface is renewed when the window changes size, so ask for it each time.
    if (SDL_Surface* windowSurface = SDL_GetWindowSurface(m_window.get())) {
        SDL_BlitSurface(m_frame.get(), nullptr, windowSurface, nullptr);
        SDL_UpdateWindowSurface(m_window.get());
    }
    m_screen.screenUpdated();
    m_exposed = false;
}

// The screen in a desktop window (SDL2), drawn by the Cairo painter at the display's scale.
// The mouse touches; the physical keyboard types, Tab and Shift-Tab move between the text
// fields, Enter taps the keyboard's accessory, Escape ends editing, Ctrl-Q or closing the
// window quits. Sleeps between events: nothing is drawn unless something changed.
class WindowFrontEnd : public FrontEnd {
  public:
    // The display is opened here, so that one that cannot be reached is known before the
    // application starts. scale: pixels per point, empty for the display's own.
    // exitAfterFirstFrame: for measuring the time from start to the first frame on screen.
    WindowFrontEnd(std::optional<double> scale, bool exitAfterFirstFrame)
        : m_scale(scale), m_exitAfterFirstFrame(exitAfterFirstFrame) {}

    UIApplicationEnding run(UIApplication& application, UIWindow& window) override {
        WindowSession session(application, window, m_scale);
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
