#include "AppDelegate.h"

#include "Runtime/ClassRegistry.h"
#include "UIKit/UIApplication.h"

int main(int argc, char* argv[]) {
    const std::string& delegateClassName = Runtime::NSStringFromClass<orvane::AppDelegate>();
    UIApplicationMain(argc, argv, std::nullopt, delegateClassName);
    return 0;
}
