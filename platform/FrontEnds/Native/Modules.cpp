#include "FrontEnds/Modules.h"

#include "FrontEnds/ModuleInterface.h"

#include <dlfcn.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <optional>
#include <vector>

namespace Modules {
namespace {

struct Loaded {
    Offers offers;
    // Why the module could not be loaded; asked again, it gives the same answer.
    std::optional<std::string> failure;
};

std::map<std::string, Loaded>& modules() {
    static std::map<std::string, Loaded> loaded;
    return loaded;
}

// The program's own path, symbolic links resolved.
std::string programPath() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    return length > 0 ? std::string(path, static_cast<std::size_t>(length)) : std::string();
}

// Beside the program in a build; in LIBDIR/PROGRAM-NAME when installed.
std::vector<std::string> candidatePaths(const std::string& file) {
    const std::string program = programPath();
    const auto slash = program.find_last_of('/');
    if (slash == std::string::npos)
        return {file};
    const std::string folder = program.substr(0, slash);
    const std::string name = program.substr(slash + 1);
    return {folder + "/" + file,
            folder + "/" PLATFORM_MODULES_FROM_PROGRAM "/" + name + "/" + file};
}

bool exists(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0;
}

// The module's offers, or why there are none.
Loaded open(const std::string& file, const std::string& path) {
    // Kept loaded for the life of the process: what it offers points into it.
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        return {{}, "cannot load " + file + ": " + dlerror()};
    const auto interface =
        reinterpret_cast<const char* (*)()>(dlsym(handle, "platformModuleInterface"));
    const auto offer = reinterpret_cast<void (*)(Offers&)>(dlsym(handle, "platformModuleOffer"));
    if (!interface || !offer) {
        dlclose(handle);
        return {{}, "cannot load " + file + ": " + path + " is not a module of this program"};
    }
    if (std::strcmp(interface(), interfaceStamp) != 0) {
        const std::string failure = "cannot load " + file + ": " + path +
                                    " was built from another version (" + interface() +
                                    ", this program is " + interfaceStamp +
                                    "); build or install them together";
        dlclose(handle);
        return {{}, failure};
    }
    Loaded loaded;
    offer(loaded.offers);
    return loaded;
}

const Offers& load(const std::string& name) {
    auto found = modules().find(name);
    if (found == modules().end()) {
        const std::string file = "platform-" + name + ".so";
        Loaded loaded{{}, "cannot load " + file + ": it is not installed beside the program"};
        for (const auto& path : candidatePaths(file))
            if (exists(path)) {
                loaded = open(file, path);
                break;
            }
        found = modules().emplace(name, std::move(loaded)).first;
    }
    if (found->second.failure)
        Runtime::raise(FrontEndUnavailable(*found->second.failure));
    return found->second.offers;
}

} // namespace

std::unique_ptr<FrontEnd> makeFrontEnd(const std::string& name, const PlatformOptions& options) {
    const Offers& offers = load(name);
    const auto found = offers.frontEnds.find(name);
    if (found == offers.frontEnds.end())
        Runtime::raise(FrontEndUnavailable("platform-" + name + ".so offers no front end"));
    return found->second(options);
}

std::unique_ptr<SnapshotPainter> makeSnapshotPainter(CGSize points, double scale) {
    const Offers& offers = load("cairo");
    if (!offers.snapshotPainter)
        Runtime::raise(FrontEndUnavailable("platform-cairo.so offers no snapshot painter"));
    return offers.snapshotPainter(points, scale);
}

} // namespace Modules
