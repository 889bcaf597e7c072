// The design tool: an interface file as the interface design tool shows it. Its objects are
// sent prepareForInterfaceBuilder, not awakeFromNib, and no controller code runs.
#include "Foundation/NSBundle.h"
#include "Foundation/NSFileContents.h"
#include "Painters/CairoPainter.h"
#include "Runtime/Error.h"
#include "Runtime/NumberParsing.h"
#include "UIKit/UIHostSession.h"
#include "UIKit/UIStoryboard.h"

#include <iostream>
#include <optional>
#include <string_view>

namespace {

struct PreviewOptions {
    std::string interfacePath;
    std::string outputPath;
    double scale = 2;
};

std::string usage(const std::string& name) {
    return "Usage: " + name +
           " INTERFACE-FILE -o FILE.png [--scale N]\n"
           "Draws an interface file as the design tool shows it, into a PNG file.\n";
}

// The tool is built under each application's own name.
std::string programName(const char* path) {
    const std::string_view text = path && *path ? path : "preview";
    return std::string(text.substr(text.find_last_of('/') + 1));
}

std::optional<PreviewOptions> parse(int argc, char* argv[]) {
    PreviewOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if ((argument == "-o" || argument == "--output") && i + 1 < argc) {
            options.outputPath = argv[++i];
        } else if (argument == "--scale" && i + 1 < argc) {
            const auto scale = Runtime::doubleFromString(argv[++i]);
            if (!scale || !(*scale >= 1 && *scale <= 4))
                return std::nullopt;
            options.scale = *scale;
        } else if (!argument.starts_with("-") && options.interfacePath.empty()) {
            options.interfacePath = argument;
        } else {
            return std::nullopt;
        }
    }
    if (options.interfacePath.empty() || options.outputPath.empty())
        return std::nullopt;
    return options;
}

void preview(const PreviewOptions& options) {
    const std::string contents =
        NSDataWithContentsOfFile(options.interfacePath, NSBundle::maximumResourceLength);
    const auto root =
        UIStoryboard::instantiateInitialViewForInterfaceBuilder(contents, options.interfacePath);
    if (!root)
        throw Runtime::Error(options.interfacePath + ": the scene has no root view");
    const CGSize size = root->frame().size;
    auto canvas = std::make_shared<UIWindow>(CGRectMake(0, 0, size.width, size.height));
    canvas->addSubview(root);
    // No application runs: the session only lays the canvas out and hands over its frame.
    UIApplication application;
    UIHostSession session(application, *canvas);
    const auto painter = std::make_shared<CairoPainter>(size, options.scale);
    session.setTextMeasurer(painter);
    painter->paint(session.takeFrame());
    NSDataWriteToFileAtomically(options.outputPath, painter->encodePNG());
}

} // namespace

int main(int argc, char* argv[]) {
    const std::string name = programName(argc > 0 ? argv[0] : nullptr);
    const auto options = parse(argc, argv);
    if (!options) {
        std::cerr << usage(name);
        return 2;
    }
    try {
        preview(*options);
    } catch (const std::exception& error) {
        std::cerr << name << ": " << error.what() << '\n';
        return 1;
    }
    return 0;
}
