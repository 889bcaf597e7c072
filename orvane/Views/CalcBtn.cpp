#include "Views/CalcBtn.h"

#include "Runtime/ClassRegistry.h"
#include "Runtime/FatalError.h"

namespace orvane {
namespace {

const Runtime::Registration registration = Runtime::ClassDeclaration<CalcBtn>("orvane.CalcBtn");

constexpr UIColor calculateOrange{1.0f, 0.5917804f, 0.020563286f, 1.0f};

// Stops before the base class is built: a CalcBtn from a coder is never half made.
[[noreturn]] CGRect initWithCoderNotImplemented() {
    fatalError("init(coder:) has not been implemented");
}

} // namespace

CalcBtn::CalcBtn(CGRect frame) : UIButton(frame) {
    setBackgroundColor(calculateOrange);
    setTitle("Calculate", UIControlStateNormal);
    setTitleColor(UIColor::whiteColor(), UIControlStateNormal);
}

CalcBtn::CalcBtn(NSCoder&) : UIButton(initWithCoderNotImplemented()) {
}

} // namespace orvane
