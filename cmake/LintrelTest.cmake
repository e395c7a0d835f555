# One test executable per module over a shared test main, added with one call:
#   lintrel_add_test(NAME SOURCES... [LIBS ...] [GUI] [TOOLS tool...] [DEFINES ...])
# GUI tests get the window test main (a real application object) and run under the
# offscreen Qt platform. Each TOOLS target is built first and its path compiled in as
# LINTREL_<NAME>_TOOL (lintrel-brand: LINTREL_BRAND_TOOL). Every test may use the shared
# helpers of tests/support (loopback servers, temporary folder, window harness).
function(lintrel_add_test name)
    cmake_parse_arguments(T "GUI" "" "SOURCES;LIBS;TOOLS;DEFINES" ${ARGN})
    add_executable(${name} ${T_SOURCES} ${T_UNPARSED_ARGUMENTS})
    set(main lintrel_test_main)
    set(env "LINTREL_FIXTURES=${PROJECT_SOURCE_DIR}/tests/fixtures"
            "LINTREL_BUILD_DIR=${PROJECT_BINARY_DIR}"
            "DBUS_SESSION_BUS_ADDRESS=disabled:")
    if(T_GUI)
        set(main lintrel_gui_test_main)
        # Every change of a text area's statistics is also checked against a full recount.
        list(APPEND env "QT_QPA_PLATFORM=offscreen" "LINTREL_CHECK_STATISTICS=1")
    endif()
    target_link_libraries(${name} PRIVATE ${T_LIBS} lintrel_test_support ${main}
                                          GTest::gtest GTest::gmock)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    target_compile_definitions(${name} PRIVATE ${T_DEFINES})
    foreach(tool IN LISTS T_TOOLS)
        string(REGEX REPLACE "^lintrel-" "" short ${tool})
        string(TOUPPER ${short} short)
        target_compile_definitions(${name} PRIVATE LINTREL_${short}_TOOL="$<TARGET_FILE:${tool}>")
        add_dependencies(${name} ${tool})
    endforeach()
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env}" TIMEOUT 300)
endfunction()
