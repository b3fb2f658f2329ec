# SPDX-License-Identifier: GPL-3.0-or-later
# One static library per folder of src/. A folder without sources yet gives an
# interface library, so the dependency graph is complete from the start.
function(brackenfold_library name)
    cmake_parse_arguments(ARG "" "" "DEPS;LINKS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS
        ${PROJECT_SOURCE_DIR}/src/${name}/*.cpp
        ${PROJECT_SOURCE_DIR}/src/${name}/*.h)
    set(target bf_${name})
    list(TRANSFORM ARG_DEPS PREPEND bf_)
    if(sources)
        add_library(${target} STATIC ${sources})
        target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
        target_link_libraries(${target} PUBLIC ${ARG_DEPS} ${ARG_LINKS})
    else()
        add_library(${target} INTERFACE)
        target_include_directories(${target} INTERFACE ${PROJECT_SOURCE_DIR}/src)
        target_link_libraries(${target} INTERFACE ${ARG_DEPS} ${ARG_LINKS})
    endif()
endfunction()

# The tests of src/<name>/ live in tests/<name>/ and build one executable.
function(brackenfold_tests name)
    cmake_parse_arguments(ARG "" "" "LINKS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${name}/*.cpp
                                        ${CMAKE_CURRENT_SOURCE_DIR}/${name}/*.h)
    if(NOT sources)
        return()
    endif()
    set(target test_${name})
    add_executable(${target} ${sources})
    target_link_libraries(${target} PRIVATE bf_${name} bf_testsupport ${ARG_LINKS})
    # GoogleTest's expectations expand to if/else; an unbraced `if (x) EXPECT_...` is fine.
    target_compile_options(${target} PRIVATE -Wno-dangling-else)
    gtest_discover_tests(${target}
        DISCOVERY_MODE PRE_TEST
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
