#include "FrontEnds/Modules.h"

#include <dlfcn.h>

#include <filesystem>
#include <map>
#include <set>

namespace Modules {
namespace {

struct Offers {
    std::map<std::string, FrontEndFactory> frontEnds;
    SnapshotPainterFactory snapshotPainter;
    std::set<std::string> loaded;
};

Offers& offers() {
    static Offers shared;
    return shared;
}

// Modules sit beside the program in a build, and in lib/orvane when installed.
std::vector<std::filesystem::path> candidatePaths(const std::string& file) {
    std::error_code error;
    const auto program = std::filesystem::read_symlink("/proc/self/exe", error);
    const auto folder = error ? std::filesystem::current_path() : program.parent_path();
    return {folder / file, folder / ".." / "lib" / "orvane" / file};
}

void load(const std::string& name) {
    if (!offers().loaded.insert(name).second)
        return;
    const std::string file = "orvane-" + name + ".so";
    std::string reason = "not found";
    for (const auto& path : candidatePaths(file)) {
        if (!std::filesystem::exists(path))
            continue;
        // Kept loaded for the life of the process: its registrations point into it.
        if (dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL))
            return;
        reason = dlerror();
        break;
    }
    throw FrontEndUnavailable("cannot load " + file + ": " + reason);
}

} // namespace

void registerFrontEnd(const std::string& name, FrontEndFactory factory) {
    offers().frontEnds.insert_or_assign(name, std::move(factory));
}

void registerSnapshotPainter(SnapshotPainterFactory factory) {
    offers().snapshotPainter = std::move(factory);
}

std::unique_ptr<FrontEnd> makeFrontEnd(const std::string& name, const PlatformOptions& options) {
    load(name);
    const auto found = offers().frontEnds.find(name);
    if (found == offers().frontEnds.end())
        throw FrontEndUnavailable("orvane-" + name + ".so offers no front end");
    return found->second(options);
}

std::unique_ptr<SnapshotPainter> makeSnapshotPainter() {
    load("cairo");
    if (!offers().snapshotPainter)
        throw FrontEndUnavailable("orvane-cairo.so offers no painter");
    return offers().snapshotPainter();
}

} // namespace Modules
