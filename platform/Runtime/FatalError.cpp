#include "Runtime/FatalError.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <utility>

namespace {

std::function<void()>& fatalErrorCleanup() {
    static std::function<void()> cleanup;
    return cleanup;
}

std::string_view pathInSourceTree(std::string_view path) {
    constexpr std::string_view sourceDir = SOURCE_ROOT;
    if (path.starts_with(sourceDir))
        path.remove_prefix(sourceDir.size());
    return path;
}

} // namespace

std::function<void()> Runtime::setFatalErrorCleanup(std::function<void()> cleanup) {
    return std::exchange(fatalErrorCleanup(), std::move(cleanup));
}

void fatalError(std::string_view message, std::source_location location) {
    if (const auto cleanup = std::exchange(fatalErrorCleanup(), nullptr))
        cleanup();
    const std::string_view file = pathInSourceTree(location.file_name());
    std::fprintf(stderr, "%.*s:%u: Fatal error: %.*s\n", static_cast<int>(file.size()), file.data(),
                 static_cast<unsigned>(location.line()), static_cast<int>(message.size()),
                 message.data());
    std::fflush(stderr);
    std::abort();
}
