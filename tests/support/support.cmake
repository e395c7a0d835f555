# Shared test helpers (loopback HTTP server, raw socket server); include() from any tests/
# directory that needs them, then link lintrel_test_support.
if(NOT TARGET lintrel_test_support)
    add_library(lintrel_test_support STATIC
        ${CMAKE_CURRENT_LIST_DIR}/loopback_http_server.cpp
        ${CMAKE_CURRENT_LIST_DIR}/raw_socket_server.cpp)
    find_package(Threads REQUIRED)
    target_link_libraries(lintrel_test_support PUBLIC PkgConfig::HTTPLIB Threads::Threads)
    target_include_directories(lintrel_test_support PUBLIC ${PROJECT_SOURCE_DIR}/tests)
endif()
