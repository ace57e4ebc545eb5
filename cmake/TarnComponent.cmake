# tarn_add_component(NAME SOURCES source... [UI layout...])
#
# A script component for the panel host: a shared library (NAME.dll on Windows,
# libNAME.so elsewhere) on the plug-in frame, which exports
# load_tarn_client_script and nothing else (a version script natively, a .def
# file on Windows), with its UI layout files copied into a folder "ui" beside it,
# where panelhost looks for them by default. The sources are also kept as the
# object library NAME_objects, for programs that build the component in (a
# fuzzer, say). Works alike in this project, in a project that adds it with
# add_subdirectory, and with the installed kit (find_package(TarnKit)).
function(tarn_add_component name)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "SOURCES;UI")
    if(NOT arg_SOURCES)
        message(FATAL_ERROR "tarn_add_component(${name}): no SOURCES")
    endif()
    add_library(${name}_objects OBJECT ${arg_SOURCES})
    target_link_libraries(${name}_objects PUBLIC Tarn::frame)
    set_target_properties(${name}_objects PROPERTIES CXX_VISIBILITY_PRESET hidden
                                                     VISIBILITY_INLINES_HIDDEN ON
                                                     POSITION_INDEPENDENT_CODE ON)

    add_library(${name} SHARED $<TARGET_OBJECTS:${name}_objects>)
    target_link_libraries(${name} PRIVATE Tarn::frame)
    if(WIN32)
        set(def ${CMAKE_CURRENT_BINARY_DIR}/${name}.def)
        file(GENERATE OUTPUT ${def}
             CONTENT "LIBRARY ${name}.dll\nEXPORTS\n    load_tarn_client_script\n")
        target_sources(${name} PRIVATE ${def})
        set_target_properties(${name} PROPERTIES PREFIX "")
    else()
        set(map ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/component.map)
        # Every symbol resolved at link time, as the Windows loader demands.
        target_link_options(${name} PRIVATE -Wl,--version-script=${map} -Wl,--no-undefined)
        set_target_properties(${name} PROPERTIES LINK_DEPENDS ${map})
    endif()

    foreach(layout ${arg_UI})
        get_filename_component(layout ${layout} ABSOLUTE)
        add_custom_command(TARGET ${name} POST_BUILD
            COMMAND ${CMAKE_COMMAND} -E make_directory $<TARGET_FILE_DIR:${name}>/ui
            COMMAND ${CMAKE_COMMAND} -E copy_if_different ${layout} $<TARGET_FILE_DIR:${name}>/ui/
            VERBATIM)
        set_property(TARGET ${name} APPEND PROPERTY TARN_UI_FILES ${layout})
    endforeach()
endfunction()
