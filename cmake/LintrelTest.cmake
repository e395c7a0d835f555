# One test executable per module: lintrel_add_test(NAME SOURCES... [LIBS ...] [GUI])
# GUI tests run under the offscreen Qt platform.
function(lintrel_add_test name)
    cmake_parse_arguments(T "GUI" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES} ${T_UNPARSED_ARGUMENTS})
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock lintrel_test_main)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    add_test(NAME ${name} COMMAND ${name})
    set(env "LINTREL_FIXTURES=${PROJECT_SOURCE_DIR}/tests/fixtures"
            "LINTREL_BUILD_DIR=${PROJECT_BINARY_DIR}"
            "DBUS_SESSION_BUS_ADDRESS=disabled:")
    if(T_GUI)
        list(APPEND env "QT_QPA_PLATFORM=offscreen")
    endif()
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env}" TIMEOUT 300)
endfunction()
