#include "Foundation/NSBundle.h"
#include "FrontEnds/Headless/HeadlessFrontEnd.h"
#include "FrontEnds/PlatformOptions.h"
#include "Runtime/ClassRegistry.h"
#include "UIKit/UIApplication.h"
#include "UIKit/UIStoryboard.h"

#include <pugixml.hpp>

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>
#include <stdexcept>

namespace {

constexpr CGRect screenBounds = CGRectMake(0, 0, 375, 667);

// Something the platform cannot start with: a missing file, a broken interface file.
class LaunchError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

std::string readResource(const std::string& name) {
    const auto& bundle = NSBundle::mainBundle();
    auto contents = bundle.contentsOfResource(name);
    if (!contents)
        throw LaunchError("cannot read " + bundle.pathForResource(name));
    return *contents;
}

// Info.plist is a property list; the one key read is the main interface's name.
std::string mainStoryboardName() {
    const std::string name = "Info.plist";
    const std::string contents = readResource(name);
    pugi::xml_document plist;
    if (!plist.load_buffer(contents.data(), contents.size()))
        throw LaunchError(NSBundle::mainBundle().pathForResource(name) + ": malformed XML");
    for (const auto& key : plist.select_nodes("/plist/dict/key"))
        if (std::string_view(key.node().text().get()) == "UIMainStoryboardFile")
            return key.node().next_sibling("string").text().get();
    throw LaunchError(NSBundle::mainBundle().pathForResource(name) +
                      ": no UIMainStoryboardFile names the main interface");
}

std::shared_ptr<UIWindow> loadMainWindow() {
    const std::string name = mainStoryboardName() + ".storyboard";
    auto controller = UIStoryboard::instantiateInitialViewController(
        readResource(name), NSBundle::mainBundle().pathForResource(name));
    auto window = std::make_shared<UIWindow>(screenBounds);
    window->setRootViewController(std::move(controller));
    return window;
}

std::unique_ptr<FrontEnd> makeFrontEnd(const PlatformOptions& options, std::ifstream& scriptFile) {
    const HeadlessFrontEnd::Snapshots snapshots{options.scale, options.snapshotPath};
    if (!options.scriptPath)
        return std::make_unique<HeadlessFrontEnd>(std::cin, std::cout, snapshots);
    scriptFile.open(*options.scriptPath);
    if (!scriptFile)
        throw LaunchError("cannot read the script " + *options.scriptPath);
    return std::make_unique<HeadlessFrontEnd>(scriptFile, std::cout, snapshots);
}

int runApplication(const PlatformOptions& options, const std::string& delegateClassName) {
    if (options.resourceDirectory)
        NSBundle::mainBundle().setResourceDirectory(*options.resourceDirectory);
    std::ifstream scriptFile;
    const auto frontEnd = makeFrontEnd(options, scriptFile);

    const auto& delegateClass = Runtime::ClassRegistry::shared().classNamed(delegateClassName);
    if (!delegateClass.create)
        throw LaunchError(delegateClassName + " cannot be created by name");
    UIApplication application(delegateClass.create());
    auto& delegate = application.delegate();

    delegate.setWindow(loadMainWindow());
    delegate.window()->makeKeyAndVisible();
    delegate.application(application, std::nullopt);
    const int status = frontEnd->run(application, *delegate.window());
    delegate.applicationWillTerminate(application);
    return status;
}

} // namespace

int UIApplicationMain(int argc, char* argv[], const std::optional<std::string>&,
                      const std::string& delegateClassName) {
    const auto parsed = PlatformOptions::parse(argc, argv);
    if (const auto* message = std::get_if<std::string>(&parsed)) {
        std::cerr << "orvane: " << *message << "\nTry 'orvane --help'.\n";
        std::exit(2);
    }
    const auto& options = std::get<PlatformOptions>(parsed);
    if (options.showHelp || options.showVersion) {
        std::cout << (options.showHelp ? PlatformOptions::help() : "orvane 0.1\n");
        return 0;
    }
    int status = 0;
    try {
        status = runApplication(options, delegateClassName);
    } catch (const UIStoryboard::LoadError& error) {
        std::cerr << error.what() << '\n';
        status = 1;
    } catch (const std::runtime_error& error) {
        std::cerr << "orvane: " << error.what() << '\n';
        status = 1;
    }
    // The platform ends the process itself on failure, after everything was released.
    if (status != 0)
        std::exit(status);
    return 0;
}
