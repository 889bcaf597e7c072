#include "Views/CurrencyTxtField.h"

#include "Foundation/NSNumberFormatter.h"
#include "Runtime/ClassRegistry.h"

namespace orvane {
namespace {

const Runtime::Registration registration =
    Runtime::ClassDeclaration<CurrencyTxtField>("orvane.CurrencyTxtField");

constexpr UIColor fieldBackground{0.995943606f, 0.989647806f, 1.0f, 0.25f};
constexpr UIColor badgeBackground{0.884053469f, 0.878465712f, 0.888343275f, 0.797067583f};
constexpr UIColor badgeText{65.0f / 255.0f, 70.0f / 255.0f, 77.0f / 255.0f, 1.0f};
constexpr CGFloat cornerRadius = 5.0;
constexpr CGFloat badgeSize = 20;

std::shared_ptr<UILabel> makeCurrencyLbl() {
    auto label = std::make_shared<UILabel>();
    label->setBackgroundColor(badgeBackground);
    label->setTextAlignment(NSTextAlignmentCenter);
    label->setTextColor(badgeText);
    label->layer().setCornerRadius(cornerRadius);
    label->setClipsToBounds(true);
    return label;
}

} // namespace

CurrencyTxtField::CurrencyTxtField(CGRect frame) : UITextField(frame) {
}

CurrencyTxtField::CurrencyTxtField(NSCoder& coder) : UITextField(coder) {
}

void CurrencyTxtField::draw(CGRect) {
    const CGFloat height = frame().size.height;
    auto currencyLbl = m_currencyLbl.lock();
    if (!currencyLbl) {
        currencyLbl = makeCurrencyLbl();
        m_currencyLbl = currencyLbl;
        addSubview(currencyLbl);
    }
    currencyLbl->setFrame(CGRectMake(5, height / 2 - badgeSize / 2, badgeSize, badgeSize));

    NSNumberFormatter formatter;
    formatter.setNumberStyle(NSNumberFormatterCurrencyStyle);
    formatter.setLocale(NSLocale::currentLocale());
    currencyLbl->setText(formatter.currencySymbol());
}

void CurrencyTxtField::prepareForInterfaceBuilder() {
    customizeView();
}

void CurrencyTxtField::awakeFromNib() {
    UITextField::awakeFromNib();
    customizeView();
}

void CurrencyTxtField::customizeView() {
    setBackgroundColor(fieldBackground);
    layer().setCornerRadius(cornerRadius);
    setTextAlignment(NSTextAlignmentCenter);
    setClipsToBounds(true);

    const auto placeholder = this->placeholder();
    if (!placeholder)
        return;
    const NSAttributedString place(*placeholder,
                                   {{NSForegroundColorAttributeName, UIColor::whiteColor()}});
    setAttributedPlaceholder(place);
    setTextColor(UIColor::whiteColor());
}

} // namespace orvane
