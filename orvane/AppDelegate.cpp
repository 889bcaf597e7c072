#include "AppDelegate.h"

#include "Runtime/ClassRegistry.h"

namespace orvane {
namespace {
const Runtime::Registration registration =
    Runtime::ClassDeclaration<AppDelegate>("orvane.AppDelegate");
}

// The platform builds the screen from the main interface; launching has nothing to add.
bool AppDelegate::application(UIApplication&, const std::optional<UIApplicationLaunchOptions>&) {
    return true;
}

// The application keeps no data, so no transition has anything to save or restore.
void AppDelegate::applicationWillResignActive(UIApplication&) {
}
void AppDelegate::applicationDidEnterBackground(UIApplication&) {
}
void AppDelegate::applicationWillEnterForeground(UIApplication&) {
}
void AppDelegate::applicationDidBecomeActive(UIApplication&) {
}
void AppDelegate::applicationWillTerminate(UIApplication&) {
}

} // namespace orvane
