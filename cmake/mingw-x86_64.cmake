# 64-bit Windows PE32+ binaries; CTest runs them through wine64 in a win64 prefix,
# which works on every machine, also where the kernel cannot execute 32-bit programs.
set(QUILLON_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine/run-win64)
# What the Microsoft-mode test programs are built for (clang --target=...).
set(QUILLON_MSVC_TRIPLE x86_64-pc-windows-msvc)
