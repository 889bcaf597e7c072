#include "Foundation/NSBundle.h"
#include "FrontEnds/Headless/HeadlessFrontEnd.h"
#include "FrontEnds/Modules.h"
#include "FrontEnds/PlatformOptions.h"
#include "FrontEnds/ViewQuery.h"
#include "Runtime/ClassRegistry.h"
#include "UIKit/UIApplication.h"
#include "UIKit/UIStoryboard.h"

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>
#include <stdexcept>

namespace {

PlatformOptions::UserInterface chosenUserInterface(const PlatformOptions& options) {
    using UserInterface = PlatformOptions::UserInterface;
    if (options.userInterface != UserInterface::Automatic)
        return options.userInterface;
    if (options.scriptPath || options.snapshotPath)
        return UserInterface::Headless;
    if (displayReachable())
        return UserInterface::Window;
    if (onTerminal())
        return UserInterface::Terminal;
    return UserInterface::Headless;
}

std::unique_ptr<FrontEnd> makeFrontEnd(const PlatformOptions& options, std::ifstream& scriptFile) {
    const auto userInterface = chosenUserInterface(options);
    if (userInterface == PlatformOptions::UserInterface::Window)
        return Modules::makeFrontEnd("window", options);
    if (userInterface == PlatformOptions::UserInterface::Terminal)
        return Modules::makeFrontEnd("terminal", options);
    const HeadlessFrontEnd::Snapshots snapshots{options.scale.value_or(2), options.snapshotPath};
    if (!options.scriptPath)
        return std::make_unique<HeadlessFrontEnd>(std::cin, std::cout, snapshots);
    scriptFile.open(*options.scriptPath);
    if (!scriptFile)
        throw UIApplicationLaunchError("cannot read the script " + *options.scriptPath);
    return std::make_unique<HeadlessFrontEnd>(scriptFile, std::cout, snapshots);
}

int runApplication(const PlatformOptions& options, const std::string& delegateClassName) {
    if (options.resourceDirectory)
        NSBundle::mainBundle().setResourceDirectory(*options.resourceDirectory);
    std::ifstream scriptFile;
    const auto frontEnd = makeFrontEnd(options, scriptFile);

    const auto& delegateClass = Runtime::ClassRegistry::shared().classNamed(delegateClassName);
    if (!delegateClass.create)
        throw UIApplicationLaunchError(delegateClassName + " cannot be created by name");
    UIApplication application(delegateClass.create());
    auto& delegate = application.delegate();

    delegate.setWindow(loadMainInterfaceWindow());
    delegate.window()->makeKeyAndVisible();
    delegate.application(application, std::nullopt);
    const int status = frontEnd->run(application, *delegate.window());
    if (options.dumpPath &&
        !(std::ofstream(*options.dumpPath) << ViewQuery::dump(*delegate.window())))
        throw UIApplicationLaunchError("cannot write " + *options.dumpPath);
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
        if (!(std::cout << (options.showHelp ? PlatformOptions::help() : "orvane 0.1\n")
                        << std::flush)) {
            std::cerr << "orvane: cannot write to standard output\n";
            std::exit(1);
        }
        return 0;
    }
    int status = 0;
    try {
        status = runApplication(options, delegateClassName);
    } catch (const UIStoryboard::LoadError& error) {
        std::cerr << error.what() << '\n';
        status = 1;
    } catch (const FrontEndUnavailable& error) {
        std::cerr << "orvane: " << error.what() << '\n';
        status = 1;
    } catch (const UIApplicationLaunchError& error) {
        std::cerr << "orvane: " << error.what() << '\n';
        status = 1;
    } catch (const Runtime::RuntimeError& error) {
        std::cerr << "orvane: " << error.what() << '\n';
        status = 1;
    }
    // The platform ends the process itself on failure, after everything was released.
    if (status != 0)
        std::exit(status);
    return 0;
}
