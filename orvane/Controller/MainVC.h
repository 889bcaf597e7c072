#pragma once

#include "Runtime/Outlet.h"
#include "UIKit/UILabel.h"
#include "UIKit/UIViewController.h"
#include "Views/CurrencyTxtField.h"

#include <memory>
#include <source_location>

namespace orvane {

// The one screen: reads a wage and a price, shows the hours they come to, clears.
class MainVC : public UIViewController {
  public:
    MainVC() = default;
    explicit MainVC(NSCoder& coder);

    // Outlets: weak, and a programming error to read while empty.
    virtual std::shared_ptr<CurrencyTxtField>
    wageTxt(std::source_location location = std::source_location::current()) const;
    virtual void setWageTxt(const std::shared_ptr<CurrencyTxtField>& field);
    virtual std::shared_ptr<CurrencyTxtField>
    priceTxt(std::source_location location = std::source_location::current()) const;
    virtual void setPriceTxt(const std::shared_ptr<CurrencyTxtField>& field);
    virtual std::shared_ptr<UILabel>
    resultLbl(std::source_location location = std::source_location::current()) const;
    virtual void setResultLbl(const std::shared_ptr<UILabel>& label);
    virtual std::shared_ptr<UILabel>
    hoursLbl(std::source_location location = std::source_location::current()) const;
    virtual void setHoursLbl(const std::shared_ptr<UILabel>& label);

    void viewDidLoad() override;
    virtual void calculate();
    virtual void clearCalculatorPressed(const std::shared_ptr<NSObject>& sender);

  private:
    std::shared_ptr<UIView>
    rootView(std::source_location location = std::source_location::current());

    Outlet<CurrencyTxtField> m_wageTxt;
    Outlet<CurrencyTxtField> m_priceTxt;
    Outlet<UILabel> m_resultLbl;
    Outlet<UILabel> m_hoursLbl;
};

} // namespace orvane
