# 64-bit Windows PE32+ DLLs in Microsoft's C++ ABI (clang-cl, lld-link): the DLLs
# to deploy beside a 64-bit panel host.
set(QUILLON_MSVC_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/clang-msvc.cmake)
# In this project, CTest's runner of the build's private Wine prefix; installed
# with a kit, the kit's package names its own runner instead.
if(EXISTS ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine/run-win64)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine/run-win64)
endif()
