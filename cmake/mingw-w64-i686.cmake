# Cross-compiles for 32-bit Windows with Debian's MinGW-w64 (posix threads, i686)
# and runs the results under Wine, which needs 32-bit Wine (wine32) for them.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(MINGW_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
