# SPDX-License-Identifier: MIT

include(GoogleTest)

# redurivezi_add_test(name SOURCES ... LIBS ... [WIDGETS])
# Builds one GoogleTest executable and registers each of its cases with CTest.
# WIDGETS tests get a QApplication from widgettestmain.cpp and run on the
# offscreen platform, so they pass on a machine without a display.
function(redurivezi_add_test name)
    cmake_parse_arguments(ARG "WIDGETS" "" "SOURCES;LIBS" ${ARGN})
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
endfunction()
