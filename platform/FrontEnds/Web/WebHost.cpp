// The host of a program compiled to WebAssembly and run by a web page: the page is its
// operating system and its event loop. The page calls main; UIApplicationMain comes here to
// run, and the loop it would run belongs to the browser, so run() hands control back to the
// page for good (the page's runLoop never returns), leaving the application alive. From then
// on the page calls the functions exported below: a touch, a key, typed text, a new size, a
// change of life cycle, and asks for the frame to paint when the screen has changed.
#include "FrontEnds/KeyCommands.h"
#include "FrontEnds/ViewQuery.h"
#include "Runtime/FatalError.h"
#include "UIKit/UIApplication.h"
#include "UIKit/UIApplicationHost.h"
#include "UIKit/UIButton.h"
#include "UIKit/UILabel.h"
#include "UIKit/UIScreen.h"
#include "UIKit/UITextField.h"
#include "Web/Json.h"

#include <string>

// What the page gives the program: it ends the call that hands control over.
extern "C" [[noreturn]] __attribute__((import_module("platform"), import_name("runLoop"))) void
pageRunLoop();

namespace {

// The application the page drives, from run() on.
struct Session {
    UIApplication* application = nullptr;
    UIWindow* window = nullptr;
    std::string reply; // the last text handed to the page
    std::string input; // where the page writes typed text
};

Session& session() {
    static Session shared;
    return shared;
}

UIWindow& window() {
    if (!session().window)
        fatalError("the page called the program before it started");
    return *session().window;
}

class WebHost : public UIApplicationHost {
  public:
    bool prepare(int, char*[]) override { return true; }
    UIApplicationEnding run(UIApplication& application, UIWindow& window) override {
        session().application = &application;
        session().window = &window;
        application.delegate().applicationDidBecomeActive(application);
        pageRunLoop();
    }
};

const UIApplicationHost::Registration registration(std::make_unique<WebHost>());

const char* reply(std::string text) {
    session().reply = std::move(text);
    return session().reply.c_str();
}

void describeColor(Json& json, const Drawing::Color& color) {
    json.number(color.red).number(color.green).number(color.blue).number(color.alpha);
}

void describeRect(Json& json, const CGRect& rect) {
    json.number(rect.origin.x)
        .number(rect.origin.y)
        .number(rect.size.width)
        .number(rect.size.height);
}

// The display list as the page's painter reads it: one array per command, its kind first.
std::string displayListJson(const Drawing::DisplayList& list) {
    Json json;
    json.beginArray();
    for (const auto& command : list) {
        json.beginArray();
        std::visit(Drawing::Overloaded{
                       [&](const Drawing::FillRect& fill) {
                           json.string("fill");
                           describeRect(json, fill.rect);
                           json.number(fill.cornerRadius);
                           describeColor(json, fill.color);
                       },
                       [&](const Drawing::StrokeRect& ring) {
                           json.string("ring");
                           describeRect(json, ring.rect);
                           json.number(ring.cornerRadius).number(ring.lineWidth);
                           describeColor(json, ring.color);
                       },
                       [&](const Drawing::PushClip& clip) {
                           json.string("clip");
                           describeRect(json, clip.rect);
                           json.number(clip.cornerRadius);
                       },
                       [&](const Drawing::PopClip&) { json.string("unclip"); },
                       [&](const Drawing::DrawText& text) {
                           json.string("text");
                           describeRect(json, text.rect);
                           json.string(text.text).number(text.fontSize);
                           json.number(static_cast<int>(text.weight));
                           json.number(static_cast<int>(text.alignment));
                           describeColor(json, text.color);
                           json.number(text.minimumScaleFactor);
                           json.number(text.overflow == Drawing::Overflow::ShowEnd ? 1 : 0);
                           if (text.caret)
                               describeColor(json, *text.caret);
                       },
                   },
                   command);
        json.endArray();
    }
    json.endArray();
    return json.text();
}

// What a screen reader is told a view is.
const char* roleOf(const UIView& view) {
    if (dynamic_cast<const UITextField*>(&view))
        return "textbox";
    if (dynamic_cast<const UIButton*>(&view))
        return "button";
    if (dynamic_cast<const UILabel*>(&view))
        return "text";
    return view.shouldGroupAccessibilityChildren() ? "status" : "group";
}

// The shown views, as a tree the page mirrors into elements a screen reader reads.
void describeForAccessibility(Json& json, const UIView& view) {
    json.beginObject();
    json.key("role").string(roleOf(view));
    json.key("name").string(view.accessibilityLabel().value_or(""));
    json.key("identifier").string(view.accessibilityIdentifier());
    if (const auto* field = dynamic_cast<const UITextField*>(&view)) {
        json.key("value").string(field->text().value_or(""));
        json.key("placeholder").string(field->placeholder().value_or(""));
        json.key("editing").boolean(field->isEditing());
    }
    json.key("frame").beginArray();
    describeRect(json, view.frameInWindow());
    json.endArray();
    json.key("children").beginArray();
    for (const auto& subview : view.subviews())
        if (!subview->isHidden())
            describeForAccessibility(json, *subview);
    json.endArray();
    json.endObject();
}

} // namespace

// A touch: phase 0 began, 1 moved, 2 ended, 3 cancelled; the point in CSS pixels (points).
extern "C" __attribute__((export_name("webTouch"))) void webTouch(int phase, double x, double y) {
    constexpr UITouchPhase phases[] = {UITouchPhase::Began, UITouchPhase::Moved,
                                       UITouchPhase::Ended, UITouchPhase::Cancelled};
    if (phase >= 0 && phase < 4)
        window().sendTouch(phases[phase], {x, y});
}

// A key of a hardware keyboard, numbered as KeyCommands::Key is.
extern "C" __attribute__((export_name("webKey"))) int webKey(int key) {
    if (key < 0 || key > static_cast<int>(KeyCommands::Key::Backspace))
        return 0;
    return KeyCommands::press(window(), static_cast<KeyCommands::Key>(key));
}

// Where the page writes `length` bytes of typed text, UTF-8, before calling webType.
extern "C" __attribute__((export_name("webInputBuffer"))) char* webInputBuffer(int length) {
    session().input.resize(static_cast<std::size_t>(std::max(length, 0)));
    return session().input.data();
}

extern "C" __attribute__((export_name("webType"))) int webType() {
    return KeyCommands::typeText(window(), session().input);
}

// The viewport's size in CSS pixels, and how many device pixels one of them is.
extern "C" __attribute__((export_name("webResize"))) void webResize(double width, double height,
                                                                    double pixelRatio) {
    UIScreen::mainScreen().setBounds(CGRectMake(0, 0, width, height));
    UIScreen::mainScreen().setPointsPerPixel({1 / pixelRatio, 1 / pixelRatio});
    if (session().window)
        window().screenDidChange();
}

// The page was hidden (0) or shown again (1).
extern "C" __attribute__((export_name("webLifeCycle"))) void webLifeCycle(int shown) {
    auto& application = *session().application;
    auto& delegate = application.delegate();
    if (shown) {
        delegate.applicationWillEnterForeground(application);
        delegate.applicationDidBecomeActive(application);
    } else {
        delegate.applicationWillResignActive(application);
        delegate.applicationDidEnterBackground(application);
    }
}

// The frame to paint, as JSON, when the screen has changed since the last; else null.
extern "C" __attribute__((export_name("webFrame"))) const char* webFrame() {
    auto& screen = window();
    screen.displayIfNeeded();
    if (!screen.needsScreenUpdate())
        return nullptr;
    Drawing::DisplayList list;
    screen.describeScreen(list);
    screen.screenUpdated();
    return reply(displayListJson(list));
}

// The shown view tree for the page's accessible mirror, as JSON.
extern "C" __attribute__((export_name("webAccessibility"))) const char* webAccessibility() {
    Json json;
    describeForAccessibility(json, window());
    return reply(json.text());
}

// The view tree as the headless front end's dump writes it.
extern "C" __attribute__((export_name("webDump"))) const char* webDump() {
    return reply(ViewQuery::dump(window()));
}
