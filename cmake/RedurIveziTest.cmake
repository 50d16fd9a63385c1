# SPDX-License-Identifier: MIT

include(GoogleTest)

# GoogleTest: the system's, or for another architecture built here from the sources that
# Debian's libgtest-dev ships, so that a cross build needs no -dev package of that
# architecture.
if(CMAKE_CROSSCOMPILING)
    set(REDURIVEZI_GTEST_SOURCE /usr/src/googletest CACHE PATH
        "GoogleTest's sources, built for the target when cross-compiling")
    if(NOT EXISTS ${REDURIVEZI_GTEST_SOURCE}/googletest/CMakeLists.txt)
        message(FATAL_ERROR "GoogleTest's sources are not in ${REDURIVEZI_GTEST_SOURCE}: "
                            "install libgtest-dev (tools/setup.sh --arm64)")
    endif()
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(${REDURIVEZI_GTEST_SOURCE} ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    # GCC 12 warns of an overlapping copy that cannot happen in std::string's operator+
    # (GCC bug 105329), inlined into GoogleTest's own code.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
        target_compile_options(gtest PRIVATE -Wno-restrict)
    endif()
    # The names find_package(GTest) gives, where GoogleTest's own build does not make them.
    foreach(lib gtest gtest_main)
        if(NOT TARGET GTest::${lib})
            add_library(GTest::${lib} ALIAS ${lib})
        endif()
    endforeach()
else()
    find_package(GTest REQUIRED)
endif()

# redurivezi_add_test(name SOURCES ... LIBS ... [WIDGETS] [PLAIN_MATHS])
# Builds one GoogleTest executable and registers each of its cases with CTest.
# WIDGETS tests get a QApplication from widgettestmain.cpp and run on the
# offscreen platform, so they pass on a machine without a display.
#
# PLAIN_MATHS registers the cases once more, each as its name with .plainmaths, on glibc's
# plain variants of the maths functions. On x86-64 glibc picks its sin, cos, exp, log and
# pow by the processor, those with fused multiply-adds where it has FMA and AVX2, and they
# may round otherwise in the last bit: the listed lines must not depend on which. The
# tunable names x86-64's features, so only x86-64 builds run the copies.
function(redurivezi_add_test name)
    cmake_parse_arguments(ARG "WIDGETS;PLAIN_MATHS" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    if(ARG_WIDGETS)
        target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/widgettestmain.cpp)
        target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest Qt6::Widgets)
        set(env "QT_QPA_PLATFORM=offscreen")
    else()
        target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
        set(env "")
    endif()
    gtest_discover_tests(${name} PROPERTIES ENVIRONMENT "${env}" DISCOVERY_TIMEOUT 60)
    if(ARG_PLAIN_MATHS AND CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64)$")
        # A property of its own: gtest_discover_tests would split a list of two variables.
        set(properties ENVIRONMENT_MODIFICATION "GLIBC_TUNABLES=set:glibc.cpu.hwcaps=-AVX2,-FMA")
        if(env)
            list(APPEND properties ENVIRONMENT "${env}")
        endif()
        # Without the value in the name, so that the suffix ends it.
        gtest_discover_tests(${name} TEST_SUFFIX .plainmaths NO_PRETTY_VALUES
                             DISCOVERY_TIMEOUT 60 PROPERTIES ${properties})
    endif()
endfunction()
