# The start-up news check, the balloon notice and the News window, against a loopback service.
include(${PROJECT_SOURCE_DIR}/tests/support/support.cmake)
lintrel_add_gui_test(test_news_check test_news_check.cpp)
target_link_libraries(test_news_check PRIVATE lintrel_test_support)
lintrel_add_gui_test(test_news_window test_news_window.cpp)
target_link_libraries(test_news_window PRIVATE lintrel_test_support)
