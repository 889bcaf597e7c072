#include "UIKit/UIApplication.h"

#include "Foundation/NSBundle.h"
#include "Runtime/ClassRegistry.h"
#include "Runtime/Error.h"
#include "Runtime/FatalError.h"
#include "Runtime/Notice.h"
#include "UIKit/UIApplicationHost.h"
#include "UIKit/UIHostSession.h"
#include "UIKit/UIScreen.h"
#include "UIKit/UIStoryboard.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace {

const Runtime::Registration registration =
    Runtime::ClassDeclaration<UIApplication>("UIApplication");

std::unique_ptr<UIApplicationHost>& linkedHost() {
    static std::unique_ptr<UIApplicationHost> host;
    return host;
}

} // namespace

std::string mainStoryboardFileName() {
    auto& bundle = NSBundle::mainBundle();
    const auto name = bundle.objectForInfoDictionaryKey("UIMainStoryboardFile");
    const std::string path = bundle.pathForResource("Info.plist");
    if (!name || name->empty())
        Runtime::raise(Runtime::Error(path + ": no UIMainStoryboardFile names the main interface"));
    if (name->find('/') != std::string::npos)
        Runtime::raise(Runtime::Error(path + ": UIMainStoryboardFile names '" + *name +
                                      "', which is not a file of the bundle"));
    return *name + ".storyboard";
}

namespace {

std::shared_ptr<UIApplication> makeApplication(const std::optional<std::string>& principalClassName,
                                               const std::string& delegateClassName) {
    const auto& registry = Runtime::ClassRegistry::shared();
    const auto create = [&](const std::string& name) {
        const Runtime::ClassInfo* info = registry.classNamed(name);
        if (!info || !info->create)
            Runtime::raise(Runtime::Error("no class " + name + " to create by name"));
        return info->create();
    };
    auto application = principalClassName
                           ? std::dynamic_pointer_cast<UIApplication>(create(*principalClassName))
                           : std::make_shared<UIApplication>();
    if (!application)
        Runtime::raise(Runtime::Error(*principalClassName + " is not an application class"));
    application->setDelegate(create(delegateClassName));
    return application;
}

// What messages call the program until Info.plist has said its name.
std::string executableName(const char* path) {
    const std::string_view text = path && *path ? path : "program";
    return std::string(text.substr(text.find_last_of('/') + 1));
}

void useStartingScreen(const UIStartingScreen& starting) {
    auto& screen = UIScreen::mainScreen();
    if (starting.points)
        screen.setBounds(CGRect{{}, *starting.points});
    if (starting.pointsPerPixel)
        screen.setPointsPerPixel(*starting.pointsPerPixel);
    screen.setSafeAreaInsets(starting.safeArea);
}

UIApplicationEnding launch(int argc, char* argv[],
                           const std::optional<std::string>& principalClassName,
                           const std::string& delegateClassName, std::string& programName) {
    auto& host = UIApplicationHost::linked();
    if (!host.prepare(argc, argv))
        return {};
    programName =
        NSBundle::mainBundle().objectForInfoDictionaryKey("CFBundleName").value_or(programName);
    Runtime::setProgramName(programName);
    useStartingScreen(host.startingScreen());
    const auto application = makeApplication(principalClassName, delegateClassName);
    auto& delegate = application->delegate();
    delegate.setWindow(loadMainInterfaceWindow());
    const auto window = delegate.window();
    window->makeKeyAndVisible();
    delegate.application(*application, std::nullopt);
    UIHostSession session(*application, *window);
    const UIApplicationEnding ending = host.run(session);
    application->terminate();
    return ending;
}

} // namespace

void UIApplication::setDelegate(std::shared_ptr<NSObject> delegate) {
    m_delegateInterface = dynamic_cast<UIApplicationDelegate*>(delegate.get());
    if (!m_delegateInterface)
        fatalError("the application delegate does not adopt UIApplicationDelegate");
    m_delegate = std::move(delegate);
}

UIApplicationDelegate& UIApplication::delegate() const {
    if (!m_delegateInterface)
        fatalError("the application has no delegate");
    return *m_delegateInterface;
}

void UIApplication::transitionTo(UIApplicationState state) {
    using enum UIApplicationState;
    if (m_terminated)
        return;
    // Active and Background are two steps apart, through Inactive.
    if (m_state != state && m_state != Inactive && state != Inactive)
        step(Inactive);
    if (m_state != state)
        step(state);
}

void UIApplication::step(UIApplicationState to) {
    using enum UIApplicationState;
    auto& delegate = this->delegate();
    if (m_state == Active && to == Inactive)
        delegate.applicationWillResignActive(*this);
    else if (m_state == Inactive && to == Active)
        delegate.applicationDidBecomeActive(*this);
    else if (m_state == Inactive && to == Background)
        delegate.applicationDidEnterBackground(*this);
    else if (m_state == Background && to == Inactive)
        delegate.applicationWillEnterForeground(*this);
    m_state = to;
}

void UIApplication::terminate() {
    transitionTo(UIApplicationState::Background);
    if (m_terminated)
        return;
    m_terminated = true;
    delegate().applicationWillTerminate(*this);
}

std::shared_ptr<UIWindow> loadMainInterfaceWindow() {
    const std::string name = mainStoryboardFileName();
    auto& bundle = NSBundle::mainBundle();
    auto controller = UIStoryboard::instantiateInitialViewController(
        bundle.contentsOfResource(name), bundle.pathForResource(name));
    auto window = std::make_shared<UIWindow>(UIScreen::mainScreen().bounds());
    window->setRootViewController(std::move(controller));
    return window;
}

UIApplicationHost& UIApplicationHost::linked() {
    if (!linkedHost())
        fatalError("the program was linked without a UIApplicationHost");
    return *linkedHost();
}

UIApplicationHost::Registration::Registration(std::unique_ptr<UIApplicationHost> host) {
    if (linkedHost())
        fatalError("the program was linked with two UIApplicationHosts");
    linkedHost() = std::move(host);
}

int UIApplicationMain(int argc, char* argv[], const std::optional<std::string>& principalClassName,
                      const std::string& delegateClassName) {
    std::string programName = executableName(argc > 0 ? argv[0] : nullptr);
    Runtime::setProgramName(programName);
    const UIApplicationEnding ending = Runtime::handlingErrors(
        [&] { return launch(argc, argv, principalClassName, delegateClassName, programName); },
        [&](const std::exception& error) {
            const bool usage = dynamic_cast<const Runtime::UsageError*>(&error) != nullptr;
            Runtime::printNotice(error.what());
            if (usage)
                std::fprintf(stderr, "Try '%s --help'.\n", programName.c_str());
            return UIApplicationEnding{usage ? 2 : 1, 0};
        });
    if (ending.signal != 0) {
        std::signal(ending.signal, SIG_DFL);
        std::raise(ending.signal);
    }
    std::exit(ending.status);
}
