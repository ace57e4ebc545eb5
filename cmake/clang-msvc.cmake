# Windows DLLs in Microsoft's C++ ABI, built on Linux from Debian packages by
# clang-cl and lld-link, for the architecture that the including toolchain file
# names (QUILLON_MSVC_ARCH: i686 or x86_64). clang-cl takes Microsoft's compiler
# flags, so CMake treats it as it treats Microsoft's compiler itself, and the same
# CMake files build with Microsoft's compiler on Windows.
#
# What Microsoft's tool set would bring comes from elsewhere:
#  - the C runtime headers from Wine's development package (its msvcrt headers,
#    with the few SDK headers they pull in), for msvcrt.dll, the C runtime of
#    every Windows installation;
#  - <new> and <initializer_list> from the libc++ headers, without the Microsoft
#    C++ runtime behind them (there is no C++ standard library in this build);
#  - the import libraries of msvcrt.dll and kernel32.dll, and the little that
#    Microsoft's static runtime links into each DLL (entry point, operator new
#    and delete, the stack-protection cookie): msvc_runtime/.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${QUILLON_MSVC_ARCH})
set(QUILLON_MSVC_TRIPLE ${QUILLON_MSVC_ARCH}-pc-windows-msvc)
# The project's own stand-in of Microsoft's runtime (msvc_runtime/) is linked in.
set(QUILLON_OWN_MSVC_RUNTIME ON)

find_program(QUILLON_CLANG_CL NAMES clang-cl clang-cl-14 PATHS /usr/lib/llvm-14/bin REQUIRED)
find_program(QUILLON_LLD_LINK NAMES lld-link lld-link-14 PATHS /usr/lib/llvm-14/bin REQUIRED)
find_program(QUILLON_LLVM_LIB NAMES llvm-lib llvm-lib-14 PATHS /usr/lib/llvm-14/bin REQUIRED)
find_program(QUILLON_LLVM_RC NAMES llvm-rc llvm-rc-14 PATHS /usr/lib/llvm-14/bin REQUIRED)
find_program(QUILLON_LLVM_MT NAMES llvm-mt llvm-mt-14 PATHS /usr/lib/llvm-14/bin)
set(CMAKE_C_COMPILER ${QUILLON_CLANG_CL})
set(CMAKE_CXX_COMPILER ${QUILLON_CLANG_CL})
set(CMAKE_LINKER ${QUILLON_LLD_LINK})
set(CMAKE_AR ${QUILLON_LLVM_LIB})
set(CMAKE_RC_COMPILER ${QUILLON_LLVM_RC})
if(QUILLON_LLVM_MT)
    set(CMAKE_MT ${QUILLON_LLVM_MT})
endif()
set(CMAKE_C_COMPILER_TARGET ${QUILLON_MSVC_TRIPLE})
set(CMAKE_CXX_COMPILER_TARGET ${QUILLON_MSVC_TRIPLE})

set(libcxx_headers /usr/lib/llvm-14/include/c++/v1)
set(wine_headers /usr/include/wine/wine)
foreach(folder ${libcxx_headers} ${wine_headers}/msvcrt ${wine_headers}/windows)
    if(NOT IS_DIRECTORY ${folder})
        message(FATAL_ERROR "${folder} is missing: scripts/install-deps.sh installs it")
    endif()
endforeach()
# /X: no %INCLUDE%; the headers above instead, as system headers. _MSVCR_VER=0
# makes Wine's headers describe msvcrt.dll rather than the universal C runtime.
# Thread-safe initialisation of local statics needs runtime support that this
# build does not have; a component runs on the host's one thread.
set(flags "--target=${QUILLON_MSVC_TRIPLE} /X -imsvc ${libcxx_headers} -imsvc ${wine_headers}/msvcrt -imsvc ${wine_headers}/windows /D_MSVCR_VER=0 /D_LIBCPP_NO_VCRUNTIME /D_LIBCPP_DISABLE_VISIBILITY_ANNOTATIONS /Zc:threadSafeInit-")
set(CMAKE_C_FLAGS_INIT "${flags}")
set(CMAKE_CXX_FLAGS_INIT "${flags}")
# Nothing of Microsoft's own libraries exists here: every DLL links the project's
# runtime and import libraries instead, and names no default library.
set(CMAKE_SHARED_LINKER_FLAGS_INIT "/nodefaultlib /manifest:no")
set(CMAKE_EXE_LINKER_FLAGS_INIT "/nodefaultlib /manifest:no")
set(CMAKE_C_STANDARD_LIBRARIES "" CACHE STRING "" FORCE)
set(CMAKE_CXX_STANDARD_LIBRARIES "" CACHE STRING "" FORCE)
# A test executable could not link without a C runtime start-up; the compiler
# checks build a static library instead.
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)
