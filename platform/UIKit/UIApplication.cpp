#include "UIKit/UIApplication.h"

#include "Runtime/FatalError.h"

UIApplication::UIApplication(std::shared_ptr<NSObject> delegate)
    : m_delegate(std::move(delegate)),
      m_delegateInterface(dynamic_cast<UIApplicationDelegate*>(m_delegate.get())) {
    if (!m_delegateInterface)
        fatalError("the application delegate does not adopt UIApplicationDelegate");
}
