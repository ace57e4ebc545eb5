# Import libraries of system DLLs for the Microsoft-mode binaries, made by
# llvm-dlltool from a .def file that names each function with its x86 stdcall
# argument bytes (Name@N). For x86 the import library keeps the decorated symbol
# and imports the plain name (-k); for x86-64 the bytes are dropped first.
find_program(QUILLON_DLLTOOL NAMES llvm-dlltool llvm-dlltool-14 PATHS /usr/lib/llvm-14/bin
             REQUIRED)

# quillon_import_library(OUTPUT DEF ARCH): makes OUTPUT (a .lib) from DEF for ARCH
# (i686 or x86_64) at build time.
function(quillon_import_library output def arch)
    get_filename_component(name ${output} NAME_WE)
    set(for_arch ${CMAKE_CURRENT_BINARY_DIR}/${name}.${arch}.def)
    file(READ ${def} text)
    if(arch STREQUAL "x86_64")
        string(REGEX REPLACE "@[0-9]+" "" text "${text}")
        set(machine i386:x86-64)
    else()
        set(machine i386)
    endif()
    file(GENERATE OUTPUT ${for_arch} CONTENT "${text}")
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${def})
    add_custom_command(OUTPUT ${output}
        COMMAND ${QUILLON_DLLTOOL} -m ${machine} -k -d ${for_arch} -l ${output}
        DEPENDS ${for_arch}
        COMMENT "Import library ${name}.lib (${arch})")
endfunction()
