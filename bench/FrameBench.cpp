// One whole frame of the main screen with the keyboard up, at 2x: describing the view tree,
// and describing plus painting it with Cairo and Pango.
#include "FrontEnds/ViewQuery.h"
#include "Painters/CairoPainter.h"
#include "UIKit/UIApplication.h"
#include "UIKit/UIHostSession.h"
#include "UIKit/UIScreen.h"
#include "UIKit/UITextField.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

std::shared_ptr<UIWindow> editingScreen() {
    setenv("LC_ALL", "en_US.UTF-8", 1);
    auto window = loadMainInterfaceWindow();
    window->makeKeyAndVisible();
    window->displayIfNeeded();
    const auto wage = std::get<std::shared_ptr<UIView>>(ViewQuery::find(*window, "wage"));
    const CGPoint center{CGRectGetMidX(wage->frameInWindow()),
                         CGRectGetMidY(wage->frameInWindow())};
    window->sendTouch(UITouchPhase::Began, center);
    window->sendTouch(UITouchPhase::Ended, center);
    std::dynamic_pointer_cast<UITextField>(wage)->insertText("15.5");
    window->displayIfNeeded();
    return window;
}

void describeFrame(benchmark::State& state) {
    const auto window = editingScreen();
    for (auto _ : state) {
        Drawing::DisplayList list;
        window->describe(list);
        benchmark::DoNotOptimize(list.data());
    }
}

// What a front end does for a frame: the session lays the screen out, measured by the painter,
// and the painter draws it.
void paintFrameAt2x(benchmark::State& state) {
    const auto window = editingScreen();
    UIApplication application;
    UIHostSession session(application, *window);
    const auto painter = std::make_shared<CairoPainter>(window->bounds().size, 2);
    session.setTextMeasurer(painter);
    for (auto _ : state) {
        painter->paint(session.takeFrame());
        benchmark::DoNotOptimize(painter->pixel(0, 0));
    }
    UIScreen::mainScreen().setTextMeasurer(nullptr);
}

BENCHMARK(describeFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(paintFrameAt2x)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
