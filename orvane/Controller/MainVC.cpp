#include "Controller/MainVC.h"

#include "Model/Wage.h"
#include "Runtime/ClassRegistry.h"
#include "Runtime/NumberParsing.h"
#include "Views/CalcBtn.h"

#include <string>

namespace orvane {
namespace {

const Runtime::Registration registration =
    Runtime::ClassDeclaration<MainVC>("orvane.MainVC")
        .outlet("setWageTxt:", &MainVC::setWageTxt)
        .outlet("setPriceTxt:", &MainVC::setPriceTxt)
        .outlet("setResultLbl:", &MainVC::setResultLbl)
        .outlet("setHoursLbl:", &MainVC::setHoursLbl)
        .action("calculate", &MainVC::calculate)
        .action("clearCalculatorPressed:", &MainVC::clearCalculatorPressed);

constexpr CGFloat calcBtnHeight = 60;

} // namespace

MainVC::MainVC(NSCoder& coder) : UIViewController(coder) {
}

std::shared_ptr<CurrencyTxtField> MainVC::wageTxt(std::source_location location) const {
    return m_wageTxt.unwrap(location);
}
void MainVC::setWageTxt(const std::shared_ptr<CurrencyTxtField>& field) {
    m_wageTxt.set(field);
}

std::shared_ptr<CurrencyTxtField> MainVC::priceTxt(std::source_location location) const {
    return m_priceTxt.unwrap(location);
}
void MainVC::setPriceTxt(const std::shared_ptr<CurrencyTxtField>& field) {
    m_priceTxt.set(field);
}

std::shared_ptr<UILabel> MainVC::resultLbl(std::source_location location) const {
    return m_resultLbl.unwrap(location);
}
void MainVC::setResultLbl(const std::shared_ptr<UILabel>& label) {
    m_resultLbl.set(label);
}

std::shared_ptr<UILabel> MainVC::hoursLbl(std::source_location location) const {
    return m_hoursLbl.unwrap(location);
}
void MainVC::setHoursLbl(const std::shared_ptr<UILabel>& label) {
    m_hoursLbl.set(label);
}

std::shared_ptr<UIView> MainVC::rootView(std::source_location location) {
    auto root = view();
    if (!root)
        fatalError("Unexpectedly found nil while implicitly unwrapping an Optional value",
                   location);
    return root;
}

void MainVC::viewDidLoad() {
    UIViewController::viewDidLoad();
    const CGFloat width = rootView()->frame().size.width;
    // Both fields own the one button; the controller keeps no reference to it.
    const auto calcBtn = std::make_shared<CalcBtn>(CGRectMake(0, 0, width, calcBtnHeight));
    calcBtn->addTarget(weak_from_this(), "calculate", UIControlEventTouchUpInside);
    wageTxt()->setInputAccessoryView(calcBtn);
    priceTxt()->setInputAccessoryView(calcBtn);
    resultLbl()->setHidden(true);
    hoursLbl()->setHidden(true);
}

void MainVC::calculate() {
    const auto wageText = wageTxt()->text();
    if (!wageText)
        return;
    const auto priceText = priceTxt()->text();
    if (!priceText)
        return;
    const auto wage = Runtime::doubleFromString(*wageText);
    if (!wage)
        return;
    const auto price = Runtime::doubleFromString(*priceText);
    if (!price)
        return;
    // A pair with no whole-hours answer (a zero wage, an overflow) is unusable input like
    // any other: asked before anything changes, so that nothing does.
    const auto hours = Wage::getHours(*wage, *price);
    if (!hours)
        return;

    rootView()->endEditing(true);
    resultLbl()->setHidden(false);
    hoursLbl()->setHidden(false);
    resultLbl()->setText(std::to_string(*hours));
}

void MainVC::clearCalculatorPressed(const std::shared_ptr<NSObject>&) {
    resultLbl()->setHidden(true);
    hoursLbl()->setHidden(true);
    wageTxt()->setText("");
    priceTxt()->setText("");
}

} // namespace orvane
