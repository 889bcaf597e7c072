// A fuzz target with a crash planted in it, for checking that scripts/fuzz reports what a
// target finds: it stops on the input "planted crash", which its seed corpus holds.
#include <cstdint>
#include <cstring>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (std::string_view(reinterpret_cast<const char*>(data), size) == "planted crash")
        __builtin_trap();
    return 0;
}
