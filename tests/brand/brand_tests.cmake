# Brand document, loader, marker, skin, report and checks; field helpers; browser command.
lintrel_add_test(test_brand
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/test_fields.cpp
        ${CMAKE_CURRENT_LIST_DIR}/test_brand_document.cpp
        ${CMAKE_CURRENT_LIST_DIR}/test_brand_loader.cpp
        ${CMAKE_CURRENT_LIST_DIR}/test_brand_last_news.cpp
        ${CMAKE_CURRENT_LIST_DIR}/test_brand_tools.cpp
        ${CMAKE_CURRENT_LIST_DIR}/test_browser_command.cpp
    LIBS lintrel_core)
