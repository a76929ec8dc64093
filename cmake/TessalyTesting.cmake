# tessaly_add_test(NAME SOURCES ... LIBS ... [QT])
#   Builds one GoogleTest executable and registers its tests with CTest.
#   QT: the test needs a QApplication; it gets the shared Qt test main, which
#   runs offscreen unless QT_QPA_PLATFORM says otherwise.
include(GoogleTest)
find_package(GTest REQUIRED)

function(tessaly_add_test name)
    cmake_parse_arguments(ARG "QT" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/tests")
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock)
    if(ARG_QT)
        target_link_libraries(${name} PRIVATE tessaly_qt_test_main Qt6::Test)
    else()
        target_link_libraries(${name} PRIVATE GTest::gtest_main)
    endif()
    target_compile_definitions(${name} PRIVATE
        TESSALY_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
        TESSALY_OUTPUT_DIR="${TESSALY_OUTPUT_DIR}")
    # Pictures not read by the program's own decoders are read by the helper.
    if(TARGET tessaly-picture-reader)
        add_dependencies(${name} tessaly-picture-reader)
    endif()
    gtest_discover_tests(${name}
        DISCOVERY_TIMEOUT 60
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
