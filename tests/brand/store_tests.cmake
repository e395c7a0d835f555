# The last-news marker store on real settings files.
lintrel_add_test(test_settings_store
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_settings_store.cpp
    LIBS lintrel_core)
