#pragma once

#include "Drawing/DisplayList.h"
#include "FrontEnds/FrontEnd.h"
#include "FrontEnds/PlatformOptions.h"

#include <functional>
#include <memory>
#include <string>

// The front ends and painters that need large libraries (SDL, Cairo and Pango, ncurses) live
// in modules beside the program, loaded only when used: a headless run never maps them.
// A module registers what it offers when it is loaded.
namespace Modules {

using FrontEndFactory = std::function<std::unique_ptr<FrontEnd>(const PlatformOptions&)>;

// Pixels of a whole screen, written as a PNG file.
class SnapshotPainter {
  public:
    virtual ~SnapshotPainter() = default;
    // False when the file cannot be written.
    virtual bool writePNG(const Drawing::DisplayList& screen, CGSize points, double scale,
                          const std::string& path) = 0;
};
using SnapshotPainterFactory = std::function<std::unique_ptr<SnapshotPainter>()>;

// Called by modules as they load ("window", "terminal").
void registerFrontEnd(const std::string& name, FrontEndFactory factory);
void registerSnapshotPainter(SnapshotPainterFactory factory);

// Load the module "orvane-NAME.so" if need be; throw FrontEndUnavailable when it cannot be.
std::unique_ptr<FrontEnd> makeFrontEnd(const std::string& name, const PlatformOptions& options);
std::unique_ptr<SnapshotPainter> makeSnapshotPainter();

// Registers a module's offer when the module is loaded; one constant beside each.
struct Registration {
    Registration(const std::string& name, FrontEndFactory factory) {
        registerFrontEnd(name, std::move(factory));
    }
    explicit Registration(SnapshotPainterFactory factory) {
        registerSnapshotPainter(std::move(factory));
    }
};

} // namespace Modules
