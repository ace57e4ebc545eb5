# The component kit, as `cmake --install` lays it out under a prefix, for a
# project of one's own that does find_package(TarnKit) and calls
# tarn_add_component:
#   include/tarn/          the host contract, the framework's classes, the frame
#   lib/                   the frame, the framework stand-ins (and, in Microsoft
#                          mode without Microsoft's runtime, msvc_runtime with the
#                          import libraries of msvcrt.dll and kernel32.dll)
#   bin/                   panelhost (for Windows panelhost.exe and the framework
#                          DLLs, and when built on Linux tarn-wine, which runs
#                          them under Wine)
#   lib/cmake/TarnKit/     the package, tarn_add_component, the toolchain files
#   share/doc/TarnKit/     the pages on writing and testing a component
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(kit_dir ${QUILLON_KIT_PACKAGE_DIR})
set(header_dir ${CMAKE_INSTALL_INCLUDEDIR}/tarn)

file(GLOB contract_headers ${PROJECT_SOURCE_DIR}/platform/*.h)
# The parsers' shared empty text is their own, not part of the contract.
list(FILTER contract_headers EXCLUDE REGEX "/empty_text\\.h$")
install(FILES ${contract_headers}
              ${PROJECT_SOURCE_DIR}/frame/tarn_script_helper.h
              ${PROJECT_SOURCE_DIR}/frame/ButtonNotify.h
              ${PROJECT_SOURCE_DIR}/frame/DatabaseNotify.h
              ${PROJECT_SOURCE_DIR}/frame/ParentCommandNotify.h
              ${PROJECT_SOURCE_DIR}/frame/PassThroughNotify.h
              ${PROJECT_SOURCE_DIR}/frame/decodeTARNString.h
        DESTINATION ${header_dir})

set_target_properties(tarn_frame PROPERTIES EXPORT_NAME frame)
set(kit_targets host_contract command_text tarn_frame tarn_string tarn_config debug_output)
if(TARGET debug_output_stand_in)
    list(APPEND kit_targets debug_output_stand_in)
endif()
if(TARGET msvc_runtime)
    list(APPEND kit_targets msvc_runtime)
    install(FILES ${QUILLON_MSVC_IMPORT_LIBRARIES} DESTINATION ${CMAKE_INSTALL_LIBDIR})
    install(FILES ${PROJECT_SOURCE_DIR}/cmake/clang-msvc.cmake
                  ${PROJECT_SOURCE_DIR}/cmake/clang-msvc-i686.cmake
                  ${PROJECT_SOURCE_DIR}/cmake/clang-msvc-x86_64.cmake
            DESTINATION ${kit_dir}/toolchains)
endif()
install(TARGETS ${kit_targets} EXPORT TarnKitTargets
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        INCLUDES DESTINATION ${header_dir})
if(TARGET panelhost)
    install(TARGETS panelhost RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
elseif(NOT QUILLON_HOST_BUILD STREQUAL "")
    # Microsoft mode builds no panelhost: the kit ships the MinGW build's of the
    # same architecture, the one the deployment tests drive the DLLs with.
    set(host_panelhost ${QUILLON_HOST_BUILD}/bin/panelhost.exe)
    install(CODE "if(NOT EXISTS \"${host_panelhost}\")
    message(FATAL_ERROR \"The kit takes panelhost.exe from the MinGW build in QUILLON_HOST_BUILD, \"
                        \"and ${host_panelhost} is not built: build that preset first \"
                        \"(kit-windows or kit-windows64, beside kit-windows-msvc or kit-windows64-msvc)\")
endif()")
    install(PROGRAMS ${host_panelhost} DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
if(WIN32 AND CMAKE_HOST_UNIX)
    # A Windows kit built on Linux runs its programs under Wine: the runner that a
    # component's tests go through (the package sets it as the emulator).
    math(EXPR TARN_WINE_BITS "${CMAKE_SIZEOF_VOID_P} * 8")
    if(TARN_WINE_BITS EQUAL 64)
        set(TARN_WINE_LOADERS "wine64 /usr/lib/wine/wine64 wine")
        set(TARN_WINE_PACKAGE wine64)
    else()
        set(TARN_WINE_LOADERS wine)
        set(TARN_WINE_PACKAGE wine32:i386)
    endif()
    configure_file(${PROJECT_SOURCE_DIR}/cmake/tarn-wine.in ${PROJECT_BINARY_DIR}/tarn-wine @ONLY)
    install(PROGRAMS ${PROJECT_BINARY_DIR}/tarn-wine DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(EXPORT TarnKitTargets NAMESPACE Tarn:: DESTINATION ${kit_dir})

# The pages a component writer reads, beside the kit they describe.
install(FILES ${PROJECT_SOURCE_DIR}/docs/components.md ${PROJECT_SOURCE_DIR}/docs/scenarios.md
              ${PROJECT_SOURCE_DIR}/docs/audits.md ${PROJECT_SOURCE_DIR}/docs/validation.md
              ${PROJECT_SOURCE_DIR}/docs/panelhost.md ${PROJECT_SOURCE_DIR}/docs/behaviour.md
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/TarnKit)

configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/TarnKitConfig.cmake.in
                              ${PROJECT_BINARY_DIR}/TarnKitConfig.cmake
                              INSTALL_DESTINATION ${kit_dir})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/TarnKitConfigVersion.cmake
                                 VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/TarnKitConfig.cmake
              ${PROJECT_BINARY_DIR}/TarnKitConfigVersion.cmake
              ${PROJECT_SOURCE_DIR}/cmake/TarnComponent.cmake
              ${PROJECT_SOURCE_DIR}/cmake/component.map
        DESTINATION ${kit_dir})
