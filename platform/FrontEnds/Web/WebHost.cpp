// The host of a program compiled to WebAssembly and run by a web page: the page is its
// operating system and its event loop. The page calls main; UIApplicationMain comes here to
// run, and the loop it would run belongs to the browser, so run() hands control back to the
// page for good (the page's runLoop never returns), leaving the application alive. From then
// on the page calls the functions exported below, each a call of the session's: a touch, a
// key, text, a new screen, a change of life cycle, and the frame to paint when it changed.
#include "FrontEnds/ViewQuery.h"
#include "Runtime/FatalError.h"
#include "UIKit/UIApplicationHost.h"
#include "UIKit/UIHostSession.h"
#include "Web/DisplayListJson.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What the page gives the program: it ends the call that hands control over.
extern "C" [[noreturn]] __attribute__((import_module("platform"), import_name("runLoop"))) void
pageRunLoop();
// The width of `length` bytes of UTF-8 text at a size and weight (as Drawing::Weight numbers
// it), as the page's canvas draws it.
extern "C" __attribute__((import_module("platform"), import_name("measureText"))) double
pageMeasureText(const char* text, int length, double fontSize, int weight);

namespace {

// A page has touches, keys, text, a viewport that changes, a visibility, the safe areas of a
// phone's screen (its CSS env(safe-area-inset-*)), a wheel, and a screen reader reading its
// mirror.
constexpr UIHostFeatures pageFeatures{.touches = true,
                                      .hardwareKeys = true,
                                      .textInput = true,
                                      .screenChanges = true,
                                      .lifeCycle = true,
                                      .safeAreas = true,
                                      .wheel = true,
                                      .screenReader = true,
                                      .timers = true,
                                      .ringEnds = UIFocusRingEnds::HandBack};

// The page's canvas measures the texts it will draw.
class PageTextMeasurer : public Drawing::TextMeasurer {
  public:
    CGFloat widthOf(std::string_view text, CGFloat fontSize, Drawing::Weight weight) override {
        return pageMeasureText(text.data(), static_cast<int>(text.size()), fontSize,
                               static_cast<int>(weight));
    }
};

// What the page drives, from run() on.
struct PageState {
    UIHostSession* session = nullptr;
    std::string reply;               // the last text handed to the page
    std::string input;               // where the page writes text
    UIStartingScreen startingScreen; // the viewport before the program started
};

PageState& page() {
    static PageState shared;
    return shared;
}

UIHostSession& session() {
    if (!page().session)
        fatalError("the page called the program before it started");
    return *page().session;
}

class WebHost : public UIApplicationHost {
  public:
    bool prepare(int, char*[]) override { return true; }
    UIStartingScreen startingScreen() const override { return page().startingScreen; }
    UIApplicationEnding run(UIHostSession& session) override {
        page().session = &session;
        session.declareFeatures(pageFeatures);
        session.setTextMeasurer(std::make_shared<PageTextMeasurer>());
        session.setApplicationState(UIApplicationState::Active);
        pageRunLoop();
    }
};

const UIApplicationHost::Registration registration(std::make_unique<WebHost>());

const char* reply(std::string text) {
    page().reply = std::move(text);
    return page().reply.c_str();
}

template <class Enum> bool inRange(int value, Enum last) {
    return value >= 0 && value <= static_cast<int>(last);
}

} // namespace

// A touch: its phase as UITouchPhase numbers it; the point in CSS pixels (points).
extern "C" __attribute__((export_name("webTouch"))) void webTouch(int phase, double x, double y) {
    if (inRange(phase, UITouchPhase::Cancelled))
        session().touch(static_cast<UITouchPhase>(phase), {x, y});
}

// What was held with a key: Shift, Ctrl, Alt and Meta as the bits 1, 2, 4 and 8.
UIKeyModifiers heldWith(int modifiers) {
    return {.shift = (modifiers & 1) != 0,
            .control = (modifiers & 2) != 0,
            .alt = (modifiers & 4) != 0,
            .meta = (modifiers & 8) != 0};
}

// A key of a hardware keyboard, as UIKey numbers it, and what was held with it. 0 when it was
// left to the browser.
extern "C" __attribute__((export_name("webKey"))) int webKey(int key, int modifiers) {
    return inRange(key, UIKeyLast) &&
           session().pressKey(static_cast<UIKey>(key), heldWith(modifiers));
}

// A key that types the text in the input buffer, and what was held with it. 0 when it was
// left to the browser.
extern "C" __attribute__((export_name("webTypeKey"))) int webTypeKey(int modifiers) {
    return session().typeKey(page().input, heldWith(modifiers));
}

// The wheel over a point, in CSS pixels: the content there scrolls by `amount`, in the unit
// UIScrollUnit numbers.
extern "C" __attribute__((export_name("webScrollWheel"))) int
webScrollWheel(double x, double y, double amount, int unit) {
    return inRange(unit, UIScrollUnit::Pages) &&
           session().scrollWheel({x, y}, amount, static_cast<UIScrollUnit>(unit));
}

namespace {
// The accessibility element whose places the input buffer holds: its place among its
// siblings, and theirs above it, from the top, each 32 bits with the low byte first (as
// WebAssembly keeps numbers). Empty when the buffer holds no whole number of them.
std::optional<std::vector<std::size_t>> pathInInput() {
    const std::string& bytes = page().input;
    if (bytes.size() % sizeof(std::uint32_t) != 0)
        return std::nullopt;
    std::vector<std::size_t> path(bytes.size() / sizeof(std::uint32_t));
    for (std::size_t i = 0; i < path.size(); ++i) {
        std::uint32_t place = 0;
        std::memcpy(&place, bytes.data() + i * sizeof place, sizeof place);
        path[i] = place;
    }
    return path;
}
} // namespace

// A screen reader activates the element whose place the input buffer holds.
extern "C" __attribute__((export_name("webActivate"))) int webActivate() {
    const auto path = pathInInput();
    return path && session().activateAccessibilityElement(*path);
}

// The browser's focus moved to the element whose place the input buffer holds (a screen
// reader, Tab from outside the page): the program's focus goes there too.
extern "C" __attribute__((export_name("webFocus"))) int webFocus() {
    const auto path = pathInInput();
    return path && session().focusAccessibilityElement(*path);
}

// Where the page writes `length` bytes (text, UTF-8, or an element's places) before the call
// that reads them.
extern "C" __attribute__((export_name("webInputBuffer"))) char* webInputBuffer(int length) {
    page().input.resize(static_cast<std::size_t>(std::max(length, 0)));
    return page().input.data();
}

extern "C" __attribute__((export_name("webInsertText"))) int webInsertText() {
    return session().insertText(page().input);
}

// The viewport's size in CSS pixels, how many device pixels one of them is, and the insets
// its safe area keeps from each edge. Before the program starts, the screen it starts on.
extern "C" __attribute__((export_name("webResize"))) void webResize(double width, double height,
                                                                    double pixelRatio, double top,
                                                                    double left, double bottom,
                                                                    double right) {
    const CGSize pixel{1 / pixelRatio, 1 / pixelRatio};
    const UIEdgeInsets safeArea{top, left, bottom, right};
    if (page().session)
        session().setScreen({width, height}, pixel, safeArea);
    else
        page().startingScreen = {CGSize{width, height}, pixel, safeArea};
}

// A font file the page draws with arrived: what was measured without it is measured again.
extern "C" __attribute__((export_name("webFacesChanged"))) void webFacesChanged() {
    session().textFacesChanged();
}

// What the mouse's cursor looks like at a point, as UICursor numbers it.
extern "C" __attribute__((export_name("webCursorAt"))) int webCursorAt(double x, double y) {
    return static_cast<int>(session().cursorAt({x, y}));
}

// How many milliseconds until something scheduled is due; -1 while nothing is.
extern "C" __attribute__((export_name("webTimeUntilNextTimer"))) double webTimeUntilNextTimer() {
    const auto wait = session().timeUntilNextTimer();
    return wait ? static_cast<double>(wait->count()) : -1;
}

extern "C" __attribute__((export_name("webFireTimers"))) void webFireTimers() {
    session().fireTimers();
}

// The page was hidden, shown, or given or denied the focus: its state as UIApplicationState
// numbers it.
extern "C" __attribute__((export_name("webLifeCycle"))) void webLifeCycle(int state) {
    if (inRange(state, UIApplicationState::Background))
        session().setApplicationState(static_cast<UIApplicationState>(state));
}

// The frame to paint, as JSON, when the screen has changed since the last; else null.
extern "C" __attribute__((export_name("webFrame"))) const char* webFrame() {
    const auto frame = session().takeFrameIfChanged();
    return frame ? reply(displayListJson(*frame)) : nullptr;
}

// What a screen reader is given, for the page's accessible mirror, as JSON.
extern "C" __attribute__((export_name("webAccessibility"))) const char* webAccessibility() {
    return reply(accessibilityJson(UIAccessibilityTree(session().window())));
}

// The view tree as the headless front end's dump writes it.
extern "C" __attribute__((export_name("webDump"))) const char* webDump() {
    return reply(ViewQuery::dump(session().window()));
}
