# 32-bit Windows PE32 binaries; CTest runs them through Wine's 32-bit loader in a
# win32 prefix.
set(QUILLON_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine/run-win32)
# What the Microsoft-mode test programs are built for (clang --target=...).
set(QUILLON_MSVC_TRIPLE i686-pc-windows-msvc)
