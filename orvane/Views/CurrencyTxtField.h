#pragma once

#include "UIKit/UILabel.h"
#include "UIKit/UITextField.h"

#include <memory>

namespace orvane {

// An amount-of-money field: translucent and rounded, with the current locale's currency
// symbol in a small grey badge at its left edge.
class CurrencyTxtField : public UITextField {
  public:
    explicit CurrencyTxtField(CGRect frame);
    explicit CurrencyTxtField(NSCoder& coder);

    // Builds the badge on the first pass; later passes move it to the field's current height
    // and give it the currency symbol of the locale at that moment.
    void draw(CGRect rect) override;
    void prepareForInterfaceBuilder() override;
    void awakeFromNib() override;

    virtual void customizeView();

  private:
    std::weak_ptr<UILabel> m_currencyLbl;
};

} // namespace orvane
