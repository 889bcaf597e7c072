// The host of a program compiled to WebAssembly and run by a web page: the page is its
// operating system and its event loop. The page calls main; UIApplicationMain comes here to
// run, and the loop it would run belongs to the browser, so run() hands control back to the
// page for good (the page's runLoop never returns), leaving the application alive. From then
// on the page calls the program's exports (generated from boundary.json), each a call of the
// session's or one answered here: a new screen, the accessibility tree, the dump.
#include "FrontEnds/ViewQuery.h"
#include "PageBoundary.h"
#include "Runtime/FatalError.h"
#include "UIKit/UIApplicationHost.h"
#include "UIKit/UIHostSession.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

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
        return PageImports::measureText(text, fontSize, weight);
    }
};

// What the page drives, from run() on.
struct PageState {
    UIHostSession* session = nullptr;
    UIStartingScreen startingScreen; // the viewport before the program started
};

PageState& page() {
    static PageState shared;
    return shared;
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
        PageImports::runLoop();
    }
};

const UIApplicationHost::Registration registration(std::make_unique<WebHost>());

} // namespace

UIHostSession& PageHost::session() {
    if (!page().session)
        fatalError("the page called the program before it started");
    return *page().session;
}

void PageHost::resize(const PageViewport& viewport) {
    const CGSize pixel{1 / viewport.pixelRatio, 1 / viewport.pixelRatio};
    const CGSize points{viewport.width, viewport.height};
    if (page().session)
        session().setScreen(points, pixel, viewport.safeArea);
    else
        page().startingScreen = {points, pixel, viewport.safeArea};
}

std::optional<double> PageHost::timeUntilNextTimer() {
    const auto wait = session().timeUntilNextTimer();
    return wait ? std::optional<double>(static_cast<double>(wait->count())) : std::nullopt;
}

UIAccessibilityElement PageHost::accessibilityTree() {
    return UIAccessibilityTree(session().window());
}

std::string PageHost::dump() {
    return ViewQuery::dump(session());
}
