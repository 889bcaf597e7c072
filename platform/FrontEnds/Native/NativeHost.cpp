// The host of a native program: the platform's command-line options, the choice of front
// end (window, terminal or headless, the first two loaded as modules), and what happens
// around the loop.
#include "Foundation/NSFileContents.h"
#include "FrontEnds/Environment.h"
#include "FrontEnds/Modules.h"
#include "FrontEnds/PlatformOptions.h"
#include "FrontEnds/ViewQuery.h"
#include "Headless/HeadlessFrontEnd.h"
#include "Runtime/Notice.h"

#include "Foundation/NSBundle.h"
#include "UIKit/UIApplication.h"
#include "UIKit/UIApplicationHost.h"
#include "UIKit/UIStoryboard.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// The names the main interface's views answer to, read from its file without building it;
// none when it cannot be read, which the run itself would then report.
std::vector<std::string> mainInterfaceViewNames() {
    try {
        auto& bundle = NSBundle::mainBundle();
        const std::string name = mainStoryboardFileName();
        return UIStoryboard::leafViewIdentifiers(bundle.contentsOfResource(name));
    } catch (const Runtime::Error&) {
        return {};
    }
}

// The titles of what the main screen's fields show on top of the keyboard: made by the
// screen's controller as its view loads, so the screen is built (and never shown) to read
// them; none when it cannot be.
std::vector<std::string> mainScreenAccessoryTitles() {
    try {
        const std::string name = mainStoryboardFileName();
        const auto controller = UIStoryboard::instantiateInitialViewController(
            NSBundle::mainBundle().contentsOfResource(name), name);
        return controller && controller->view() ? ViewQuery::accessoryTitles(*controller->view())
                                                : std::vector<std::string>{};
    } catch (const Runtime::Error&) {
        return {};
    }
}

void writeToStandardOutput(const std::string& text) {
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0)
        Runtime::raise(Runtime::Error(std::string("cannot write to standard output: ") +
                                      std::strerror(errno)));
}

class NativeHost : public UIApplicationHost {
  public:
    bool prepare(int argc, char* argv[]) override;
    // Snapshots are the headless screen's pixels.
    UIStartingScreen startingScreen() const override {
        const double scale = m_options.scale.value_or(2);
        return {.points = m_options.screenSize, .pointsPerPixel = CGSize{1 / scale, 1 / scale}};
    }
    UIApplicationEnding run(UIHostSession& session) override;

  private:
    std::unique_ptr<FrontEnd> makeFrontEnd() const;

    PlatformOptions m_options;
};

const UIApplicationHost::Registration registration(std::make_unique<NativeHost>());

bool NativeHost::prepare(int argc, char* argv[]) {
    m_options = PlatformOptions::parse(argc, argv);
    auto& bundle = NSBundle::mainBundle();
    if (m_options.resourceDirectory)
        bundle.setResourceDirectory(*m_options.resourceDirectory);
    if (!m_options.showHelp && !m_options.showVersion)
        return true;
    const std::string name = bundle.objectForInfoDictionaryKey("CFBundleName").value_or("");
    if (m_options.showHelp)
        writeToStandardOutput(PlatformHelp{
            name, bundle.objectForInfoDictionaryKey("NSHumanReadableDescription").value_or(""),
            mainInterfaceViewNames(), mainScreenAccessoryTitles()}
                                  .text());
    else
        writeToStandardOutput(
            name + " " +
            bundle.objectForInfoDictionaryKey("CFBundleShortVersionString").value_or("") + "\n");
    return false;
}

std::unique_ptr<FrontEnd> NativeHost::makeFrontEnd() const {
    using UserInterface = PlatformOptions::UserInterface;
    switch (m_options.userInterface) {
    case UserInterface::Window:
        return Modules::makeFrontEnd("window", m_options);
    case UserInterface::Terminal:
        return Modules::makeFrontEnd("terminal", m_options);
    case UserInterface::Headless:
        return std::make_unique<HeadlessFrontEnd>(m_options);
    case UserInterface::Automatic:
        break;
    }
    if (m_options.scriptPath || m_options.snapshotPath)
        return std::make_unique<HeadlessFrontEnd>(m_options);
    // A display or a terminal that cannot be used is passed over, as if it were not there.
    if (isEnvironmentSet("DISPLAY") || isEnvironmentSet("WAYLAND_DISPLAY")) {
        try {
            return Modules::makeFrontEnd("window", m_options);
        } catch (const FrontEndUnavailable&) {
        }
    }
    if (isatty(STDIN_FILENO) && isatty(STDOUT_FILENO)) {
        try {
            return Modules::makeFrontEnd("terminal", m_options);
        } catch (const FrontEndUnavailable& unusable) {
            // A person at a terminal would otherwise see a program that waits for nothing.
            Runtime::printNotice(std::string(unusable.what()) +
                                 "; reading script commands from standard input instead "
                                 "(--help lists them; --ui chooses how to run)");
        }
    }
    return std::make_unique<HeadlessFrontEnd>(m_options);
}

UIApplicationEnding NativeHost::run(UIHostSession& session) {
    const auto frontEnd = makeFrontEnd();
    session.declareFeatures(frontEnd->features());
    const UIApplicationEnding ending = frontEnd->run(session);
    if (m_options.dumpPath)
        NSDataWriteToFileAtomically(*m_options.dumpPath, ViewQuery::dump(session));
    return ending;
}

} // namespace
