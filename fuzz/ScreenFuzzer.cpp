// The main screen driven by random taps, typing (any bytes, long pastes), deletes,
// calculations and clears. After every step: a calculation shows exactly the hours computed
// here, independently, from the two texts, or changes nothing; clear hides both labels and
// empties both fields; each field has one currency badge; the view tree does not grow.
#include "Controller/MainVC.h"
#include "UIKit/UIApplication.h"
#include "UIKit/UIButton.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <locale.h>
#include <optional>
#include <string>

namespace {

void check(bool condition) {
    if (!condition)
        __builtin_trap();
}

// The hours, worked out without the application's own code: strtod on a whole decimal
// literal in the C locale, then ceil and the 64-bit range.
std::optional<std::int64_t> expectedHours(const std::string& wageText,
                                          const std::string& priceText) {
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", nullptr);
    const auto parse = [](const std::string& text) -> std::optional<double> {
        if (text.empty() || text.find_first_not_of("0123456789.eE+-") != std::string::npos ||
            text.find_first_of("0123456789") == std::string::npos)
            return std::nullopt;
        char* end = nullptr;
        const double value = strtod_l(text.c_str(), &end, cLocale);
        if (end != text.c_str() + text.size())
            return std::nullopt;
        return value;
    };
    const auto wage = parse(wageText);
    const auto price = parse(priceText);
    if (!wage || !price)
        return std::nullopt;
    const double hours = std::ceil(*price / *wage);
    if (!(hours >= -9223372036854775808.0 && hours < 9223372036854775808.0))
        return std::nullopt;
    return static_cast<std::int64_t>(hours);
}

struct ScreenState {
    bool resultHidden, hoursHidden, keyboardUp;
    std::optional<std::string> result, hours, wage, price;
    bool operator==(const ScreenState&) const = default;
};

std::size_t countViews(const UIView& view) {
    std::size_t count = 1;
    for (const auto& subview : view.subviews())
        count += countViews(*subview);
    return count;
}

class Session {
  public:
    Session() : m_window(loadMainInterfaceWindow()) {
        m_window->makeKeyAndVisible();
        m_window->displayIfNeeded();
        m_baseViews = countViews(*m_window);
    }

    void step(std::uint8_t operation, const std::uint8_t*& data, const std::uint8_t* end);

  private:
    orvane::MainVC& controller() {
        return dynamic_cast<orvane::MainVC&>(*m_window->rootViewController());
    }
    ScreenState state() {
        auto& c = controller();
        return {c.resultLbl()->isHidden(),
                c.hoursLbl()->isHidden(),
                m_window->visibleKeyboard() != nullptr,
                c.resultLbl()->text(),
                c.hoursLbl()->text(),
                c.wageTxt()->text(),
                c.priceTxt()->text()};
    }
    void tap(const UIView& view) {
        const CGRect frame = view.frameInWindow();
        const CGPoint center{CGRectGetMidX(frame), CGRectGetMidY(frame)};
        m_window->sendTouch(UITouchPhase::Began, center);
        m_window->sendTouch(UITouchPhase::Ended, center);
    }
    void calculate();
    void checkInvariants();

    std::shared_ptr<UIWindow> m_window;
    std::size_t m_baseViews = 0;
};

void Session::step(std::uint8_t operation, const std::uint8_t*& data, const std::uint8_t* end) {
    const auto take = [&](std::size_t wanted) {
        const std::size_t length =
            std::min<std::size_t>(wanted, static_cast<std::size_t>(end - data));
        std::string bytes(reinterpret_cast<const char*>(data), length);
        data += length;
        return bytes;
    };
    const std::size_t argument = data < end ? *data++ : 0;
    switch (operation % 7) {
    case 0:
        tap(*controller().wageTxt());
        break;
    case 1:
        tap(*controller().priceTxt());
        break;
    case 2:
        if (auto* input = dynamic_cast<UIKeyInput*>(m_window->firstResponder().get()))
            input->insertText(take(argument % 16));
        break;
    case 3:
        if (auto* input = dynamic_cast<UIKeyInput*>(m_window->firstResponder().get()))
            for (std::size_t i = 0; i < argument % 8; ++i)
                input->deleteBackward();
        break;
    case 4:
        calculate();
        break;
    case 5: {
        const ScreenState before = state();
        controller().clearCalculatorPressed(nullptr);
        const ScreenState after = state();
        check(after.resultHidden && after.hoursHidden && after.wage == "" && after.price == "");
        check(after.keyboardUp == before.keyboardUp && after.result == before.result);
        break;
    }
    case 6: // a long paste
        if (auto* input = dynamic_cast<UIKeyInput*>(m_window->firstResponder().get()))
            input->insertText(std::string(argument * 1024, static_cast<char>(operation)));
        break;
    }
    checkInvariants();
}

void Session::calculate() {
    const auto keyboard = m_window->visibleKeyboard();
    if (!keyboard)
        return;
    const ScreenState before = state();
    const auto hours = expectedHours(*before.wage, *before.price);
    tap(*keyboard->accessoryView());
    const ScreenState after = state();
    if (!hours) {
        check(after == before);
        return;
    }
    check(!after.resultHidden && !after.hoursHidden && !after.keyboardUp);
    check(after.result == std::to_string(*hours));
    check(after.hours == before.hours && after.wage == before.wage && after.price == before.price);
}

void Session::checkInvariants() {
    m_window->displayIfNeeded();
    for (const auto& field : {controller().wageTxt(), controller().priceTxt()}) {
        std::size_t badges = 0;
        for (const auto& subview : field->subviews())
            badges += dynamic_cast<const UILabel*>(subview.get()) != nullptr;
        check(badges == 1);
    }
    const auto keyboard = m_window->visibleKeyboard();
    check(countViews(*m_window) == m_baseViews + (keyboard ? countViews(*keyboard) : 0));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Session session;
    const std::uint8_t* end = data + size;
    while (data < end) {
        const std::uint8_t operation = *data++;
        session.step(operation, data, end);
    }
    return 0;
}
