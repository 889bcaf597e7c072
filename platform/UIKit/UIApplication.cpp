#include "UIKit/UIApplication.h"

#include "Foundation/NSBundle.h"
#include "Runtime/FatalError.h"
#include "UIKit/UIStoryboard.h"

#include <pugixml.hpp>

namespace {

constexpr CGRect screenBounds = CGRectMake(0, 0, 375, 667);

std::string readResource(const std::string& name) {
    const auto& bundle = NSBundle::mainBundle();
    auto contents = bundle.contentsOfResource(name);
    if (!contents)
        throw UIApplicationLaunchError("cannot read " + bundle.pathForResource(name));
    return *contents;
}

// Info.plist is a property list; the one key read is the main interface's name.
std::string mainStoryboardName() {
    const std::string name = "Info.plist";
    const std::string contents = readResource(name);
    const std::string path = NSBundle::mainBundle().pathForResource(name);
    pugi::xml_document plist;
    if (!plist.load_buffer(contents.data(), contents.size()))
        throw UIApplicationLaunchError(path + ": malformed XML");
    for (const auto& key : plist.child("plist").child("dict").children("key"))
        if (std::string_view(key.text().get()) == "UIMainStoryboardFile")
            return key.next_sibling("string").text().get();
    throw UIApplicationLaunchError(path + ": no UIMainStoryboardFile names the main interface");
}

} // namespace

std::shared_ptr<UIWindow> loadMainInterfaceWindow() {
    const std::string name = mainStoryboardName() + ".storyboard";
    auto controller = UIStoryboard::instantiateInitialViewController(
        readResource(name), NSBundle::mainBundle().pathForResource(name));
    auto window = std::make_shared<UIWindow>(screenBounds);
    window->setRootViewController(std::move(controller));
    return window;
}

UIApplication::UIApplication(std::shared_ptr<NSObject> delegate)
    : m_delegate(std::move(delegate)),
      m_delegateInterface(dynamic_cast<UIApplicationDelegate*>(m_delegate.get())) {
    if (!m_delegateInterface)
        fatalError("the application delegate does not adopt UIApplicationDelegate");
}
