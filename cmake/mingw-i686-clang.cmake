# Cross-compiles for 32-bit Windows with Debian's clang and lld against the
# mingw-w64 headers and libraries, and the C++ standard library of Debian's
# mingw-w64 GCC (its posix threading model: GoogleTest needs std::mutex and
# std::thread). GCC 12's own link-time optimisation crashes on this code;
# clang's full LTO with lld makes setup.exe a third smaller.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(MORVANE_TARGET i686-w64-mingw32)
set(CMAKE_C_COMPILER /usr/bin/clang-14)
set(CMAKE_CXX_COMPILER /usr/bin/clang++-14)
set(CMAKE_C_COMPILER_TARGET ${MORVANE_TARGET})
set(CMAKE_CXX_COMPILER_TARGET ${MORVANE_TARGET})
set(CMAKE_AR /usr/bin/llvm-ar-14)
set(CMAKE_RANLIB /usr/bin/llvm-ranlib-14)
set(CMAKE_RC_COMPILER ${MORVANE_TARGET}-windres)

# clang does not find Debian's layout of the mingw-w64 GCC by itself.
set(MORVANE_GCC_DIR /usr/lib/gcc/${MORVANE_TARGET}/12-posix)
set(CMAKE_CXX_FLAGS_INIT "-nostdinc++ -isystem ${MORVANE_GCC_DIR}/include/c++ \
-isystem ${MORVANE_GCC_DIR}/include/c++/${MORVANE_TARGET} -isystem ${MORVANE_GCC_DIR}/include/c++/backward")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-fuse-ld=lld -L${MORVANE_GCC_DIR} -Wno-unused-command-line-argument")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-fuse-ld=lld -L${MORVANE_GCC_DIR} -Wno-unused-command-line-argument")
# The posix threading model's runtime, which GCC's driver would add itself.
set(CMAKE_CXX_STANDARD_LIBRARIES "-Wl,-Bstatic -lpthread")

set(CMAKE_FIND_ROOT_PATH /usr/${MORVANE_TARGET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
