# Builds for WebAssembly (wasm32, WASI preview 1) with Debian's clang 22, its wasm32 C++
# library and wasi-libc. The C++ library has no exceptions at run time, so none are used;
# the stack protector that its compiler runtime expects comes from the web front end.
set(CMAKE_SYSTEM_NAME Generic)
set(CMAKE_SYSTEM_PROCESSOR wasm32)
# The toolkit builds its web variant: no ICU, pugixml from source, the page as front end.
set(PLATFORM_WEB ON)
set(CMAKE_C_COMPILER clang-22)
set(CMAKE_CXX_COMPILER clang++-22)
set(CMAKE_AR llvm-ar-22)
set(CMAKE_RANLIB llvm-ranlib-22)

# Debian installs wasi-libc under the older target name; a sysroot of links gives it the one
# clang 22 looks for.
set(wasm_sysroot ${CMAKE_BINARY_DIR}/wasi-sysroot)
file(MAKE_DIRECTORY ${wasm_sysroot}/lib ${wasm_sysroot}/include)
file(CREATE_LINK /usr/lib/wasm32-wasi ${wasm_sysroot}/lib/wasm32-wasip1 SYMBOLIC)
file(CREATE_LINK /usr/include/wasm32-wasi ${wasm_sysroot}/include/wasm32-wasip1 SYMBOLIC)

set(CMAKE_C_COMPILER_TARGET wasm32-wasip1)
set(CMAKE_CXX_COMPILER_TARGET wasm32-wasip1)
set(CMAKE_SYSROOT ${wasm_sysroot})
# Without -nostdlibinc clang would also search the host's /usr/include. The process calls
# that WASI lacks (a process id for a file's temporary name, raising a signal) are its
# emulations: never reached in a browser, but the code is the same everywhere.
set(wasm_flags "-nostdlibinc -isystem ${wasm_sysroot}/include/wasm32-wasip1 -fno-exceptions \
-fno-stack-protector -D_WASI_EMULATED_GETPID -D_WASI_EMULATED_SIGNAL")
set(CMAKE_C_FLAGS_INIT "${wasm_flags}")
set(CMAKE_CXX_FLAGS_INIT "-isystem /usr/lib/llvm-22/include/wasm32-wasi/c++/v1 ${wasm_flags}")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-lc++ -lc++abi -lwasi-emulated-getpid -lwasi-emulated-signal")

set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_EXECUTABLE_SUFFIX .wasm)
