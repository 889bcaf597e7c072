#include "Window/Display.h"

#include "Window/SessionBus.h"

#include "FrontEnds/Environment.h"
#include "FrontEnds/FrontEnd.h"
#include "Runtime/Notice.h"

#include <X11/Xlib.h>
#include <X11/Xresource.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

namespace WindowDisplay {
namespace {

// Scales are chosen in quarters: what desktops offer, and crisp enough.
constexpr double scaleStep = 0.25;

// The display SDL tries, as a message names it.
std::string displayName() {
    if (isEnvironmentSet("WAYLAND_DISPLAY"))
        return std::string("WAYLAND_DISPLAY=") + std::getenv("WAYLAND_DISPLAY");
    return std::string("DISPLAY=") + std::getenv("DISPLAY");
}

std::string formatScale(double scale) {
    char text[16];
    std::snprintf(text, sizeof text, "%g", scale);
    return text;
}

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

} // namespace

SdlVideo::SdlVideo() {
    if (!isEnvironmentSet("DISPLAY") && !isEnvironmentSet("WAYLAND_DISPLAY"))
        throw FrontEndUnavailable("cannot open a window: no display (DISPLAY and "
                                  "WAYLAND_DISPLAY are not set)");
    // Only a desktop display will do; SDL's other drivers show nothing a person sees.
    SDL_SetHint(SDL_HINT_VIDEODRIVER, isEnvironmentSet("WAYLAND_DISPLAY") ? "wayland,x11" : "x11");
    // The window's pixels stay plain memory shared with the display server, not a GPU
    // texture that would load a whole GL stack.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // Before SDL starts: it puts back the handler it found when it quits, and the error
    // reportXError passes over only comes while it closes its connections.
    XSetErrorHandler(reportXError);
    SessionBus::setAsideUnlessItAnswers();
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        throw FrontEndUnavailable("cannot open a window on " + displayName() + ": " +
                                  SDL_GetError());
}

SdlVideo::~SdlVideo() {
    SDL_Quit();
}

bool SdlVideo::onWayland() const {
    return std::strcmp(SDL_GetCurrentVideoDriver(), "wayland") == 0;
}

double displayScale() {
    std::optional<double> scale;
    if (const char* gdkScale = std::getenv("GDK_SCALE"); gdkScale && std::atoi(gdkScale) > 0)
        scale = std::atoi(gdkScale);
    else
        scale = xftScale();
    return std::clamp(std::round(scale.value_or(1) / scaleStep) * scaleStep, 1.0, 4.0);
}

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

} // namespace WindowDisplay
