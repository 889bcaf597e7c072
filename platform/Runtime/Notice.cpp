#include "Runtime/Notice.h"

#include <cstdio>
#include <utility>

namespace {
std::string& programName() {
    static std::string name = "program";
    return name;
}
} // namespace

void Runtime::printNotice(std::string_view message) {
    std::fprintf(stderr, "%s: %.*s\n", programName().c_str(), static_cast<int>(message.size()),
                 message.data());
    std::fflush(stderr);
}

void Runtime::setProgramName(std::string name) {
    programName() = std::move(name);
}
