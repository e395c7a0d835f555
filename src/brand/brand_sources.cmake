# Brand document, loader, marker, skin and publisher checks.
target_sources(lintrel_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/brand_document.cpp
    ${CMAKE_CURRENT_LIST_DIR}/brand_last_news.cpp
    ${CMAKE_CURRENT_LIST_DIR}/brand_lint.cpp
    ${CMAKE_CURRENT_LIST_DIR}/brand_lint_tags.cpp
    ${CMAKE_CURRENT_LIST_DIR}/brand_loader.cpp
    ${CMAKE_CURRENT_LIST_DIR}/brand_random.cpp
    ${CMAKE_CURRENT_LIST_DIR}/brand_report.cpp
    ${CMAKE_CURRENT_LIST_DIR}/brand_skin.cpp
    ${CMAKE_CURRENT_LIST_DIR}/brand_template.cpp
)
