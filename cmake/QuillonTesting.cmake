# GoogleTest for the tests: the machine's packages natively; for the Windows
# build, compiled from /usr/src/googletest with the cross compiler.
if(CMAKE_CROSSCOMPILING)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    foreach(library gtest gtest_main gmock)
        if(NOT TARGET GTest::${library})
            add_library(GTest::${library} ALIAS ${library})
        endif()
    endforeach()
else()
    find_package(GTest REQUIRED)
    include(GoogleTest)
endif()

# Registers a GoogleTest binary with CTest. Natively each test case is its own
# CTest test; under Wine each binary is one test, since every process start there
# costs far more than the tests themselves.
function(quillon_add_gtest target)
    target_link_libraries(${target} PRIVATE GTest::gtest GTest::gmock GTest::gtest_main)
    quillon_warnings(${target})
    if(CMAKE_CROSSCOMPILING)
        add_test(NAME ${target} COMMAND ${target})
        set_tests_properties(${target} PROPERTIES TIMEOUT 300)
    else()
        gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 120)
    endif()
endfunction()
