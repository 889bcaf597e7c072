#pragma once

#include "Drawing/DisplayList.h"
#include "Drawing/TextMeasurer.h"
#include "FrontEnds/FrontEnd.h"
#include "FrontEnds/PlatformOptions.h"

#include <functional>
#include <map>
#include <memory>
#include <string>

// The front ends and painters that need large libraries (SDL, Cairo and Pango, ncurses) live
// in modules beside the program, loaded only when used: a headless run never maps them.
namespace Modules {

using FrontEndFactory = std::function<std::unique_ptr<FrontEnd>(const PlatformOptions&)>;

// Pixels of a whole screen of one size and scale, written as a PNG file.
class SnapshotPainter {
  public:
    virtual ~SnapshotPainter() = default;
    // How it measures text: the screen's texts are laid out with it for its snapshots.
    virtual std::shared_ptr<Drawing::TextMeasurer> textMeasurer() = 0;
    // Raises Runtime::Error naming the path and the reason when the file cannot be written;
    // a failed write leaves no file behind.
    virtual void writePNG(const Drawing::DisplayList& screen, const std::string& path) = 0;
};
using SnapshotPainterFactory =
    std::function<std::unique_ptr<SnapshotPainter>(CGSize points, double scale)>;

// What one module offers, filled in by its entry point when it has been loaded.
struct Offers {
    std::map<std::string, FrontEndFactory> frontEnds;
    SnapshotPainterFactory snapshotPainter;
};

// Loads "platform-NAME.so" the first time it is asked for, from beside the program or from
// the folder it is installed in, and makes what it offers. A module that cannot be loaded,
// or was built from another version of the toolkit, raises FrontEndUnavailable with the
// reason, the same reason each time it is asked for again.
std::unique_ptr<FrontEnd> makeFrontEnd(const std::string& name, const PlatformOptions& options);
std::unique_ptr<SnapshotPainter> makeSnapshotPainter(CGSize points, double scale);

} // namespace Modules

// Every module defines these two; the loader finds them by these names.
// The toolkit version the module was built against (Modules::interfaceStamp).
extern "C" const char* platformModuleInterface();
// Hands over what the module offers; called only when the versions match.
extern "C" void platformModuleOffer(Modules::Offers& offers);
