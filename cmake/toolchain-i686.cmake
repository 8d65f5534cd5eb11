# Cross-compiling for Windows with Debian's MinGW-w64 (i686).
# The win32 thread model: the program creates no threads, and so carries no
# thread runtime (the posix model would link one in statically).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TOOLCHAIN_PREFIX i686-w64-mingw32)
set(CMAKE_C_COMPILER ${TOOLCHAIN_PREFIX}-gcc-win32)
set(CMAKE_CXX_COMPILER ${TOOLCHAIN_PREFIX}-g++-win32)
set(CMAKE_RC_COMPILER ${TOOLCHAIN_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TOOLCHAIN_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# The test build runs under 32-bit Wine inside the i386 root: CTest prefixes
# every test program with these two (a chroot into the root, then Wine), and
# the test scripts with the first alone, so that they act inside the root too.
get_filename_component(KV_TOOLS ${CMAKE_CURRENT_LIST_DIR}/../tools ABSOLUTE)
set(KV_TEST_LAUNCHER ${KV_TOOLS}/i386-exec)
set(CMAKE_CROSSCOMPILING_EMULATOR ${KV_TEST_LAUNCHER} ${KV_TOOLS}/wine-exec)
