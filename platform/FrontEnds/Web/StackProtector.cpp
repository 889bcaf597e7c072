// The WebAssembly build compiles without stack protection, yet the compiler's runtime library
// was built with it and asks for these two.
#include <cstdlib>

extern "C" {
unsigned long __stack_chk_guard = 0x5eed1e55u;
[[noreturn]] void __stack_chk_fail() {
    std::abort();
}
}
