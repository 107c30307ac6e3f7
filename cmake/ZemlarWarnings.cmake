# SPDX-License-Identifier: GPL-3.0-or-later
# zemlar_warnings(<target>): the project's warning set, errors when ZEMLAR_WERROR is on.
function(zemlar_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wconversion
                                             -Wno-sign-conversion)
    if(ZEMLAR_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()

# zemlar_test_suite(<name> <label> <libraries...>): one GoogleTest binary from the .cpp files of
# the current folder, discovered by CTest and labelled.
function(zemlar_test_suite name label)
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
    add_executable(${name} ${sources})
    target_link_libraries(${name} PRIVATE ${ARGN} GTest::gtest GTest::gtest_main GTest::gmock)
    target_compile_definitions(${name} PRIVATE
        ZEMLAR_SHARED_TESTDATA="${PROJECT_SOURCE_DIR}/../shared/testdata/external")
    target_include_directories(${name} PRIVATE "${PROJECT_SOURCE_DIR}/Tests/Support")
    zemlar_warnings(${name})
    set(properties LABELS ${label})
    if(label STREQUAL "x11")
        # Tests on the X display press real keys and grab them: one at a time.
        list(APPEND properties RESOURCE_LOCK x11-display)
    endif()
    gtest_discover_tests(${name} PROPERTIES ${properties} DISCOVERY_TIMEOUT 60)
endfunction()
