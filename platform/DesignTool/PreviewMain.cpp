// orvane-preview: an interface file as the interface design tool shows it. Its objects are
// sent prepareForInterfaceBuilder, not awakeFromNib, and no controller code runs.
#include "Painters/CairoPainter.h"
#include "Runtime/NumberParsing.h"
#include "UIKit/UIStoryboard.h"
#include "UIKit/UIWindow.h"

#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string_view>

namespace {

struct PreviewOptions {
    std::string interfacePath;
    std::string outputPath;
    double scale = 2;
};

constexpr const char* usage =
    "Usage: orvane-preview INTERFACE-FILE -o FILE.png [--scale N]\n"
    "Draws an interface file as the design tool shows it, into a PNG file.\n";

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

int preview(const PreviewOptions& options) {
    std::ifstream file(options.interfacePath, std::ios::binary);
    std::ostringstream contents;
    contents << file.rdbuf();
    if (!file) {
        std::cerr << "orvane-preview: cannot read " << options.interfacePath << '\n';
        return 1;
    }
    std::shared_ptr<UIView> root;
    try {
        root = UIStoryboard::instantiateInitialViewForInterfaceBuilder(contents.str(),
                                                                       options.interfacePath);
    } catch (const UIStoryboard::LoadError& error) {
        std::cerr << error.what() << '\n';
        return 1;
    }
    if (!root) {
        std::cerr << options.interfacePath << ": the scene has no root view\n";
        return 1;
    }
    const CGSize size = root->frame().size;
    auto canvas = std::make_shared<UIWindow>(CGRectMake(0, 0, size.width, size.height));
    canvas->addSubview(root);
    canvas->displayIfNeeded();
    Drawing::DisplayList list;
    canvas->describe(list);
    CairoPainter painter(size, options.scale);
    painter.paint(list);
    if (!painter.writePNG(options.outputPath)) {
        std::cerr << "orvane-preview: cannot write " << options.outputPath << '\n';
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    const auto options = parse(argc, argv);
    if (!options) {
        std::cerr << usage;
        return 2;
    }
    return preview(*options);
}
