# Window tests of the live-update check and of requests that wait for a server.
include(${PROJECT_SOURCE_DIR}/tests/support/support.cmake)

lintrel_add_gui_test(test_update_check test_update_check.cpp)
target_link_libraries(test_update_check PRIVATE lintrel_test_support)

lintrel_add_gui_test(test_requests_in_flight test_requests_in_flight.cpp)
target_link_libraries(test_requests_in_flight PRIVATE lintrel_test_support)
