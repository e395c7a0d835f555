# lintrel_newsd_core: forms, answers, routes and the content folder reader of lintrel-newsd.
add_library(lintrel_newsd_core STATIC
    ${CMAKE_CURRENT_LIST_DIR}/news_content.cpp
    ${CMAKE_CURRENT_LIST_DIR}/record_text.cpp
    ${CMAKE_CURRENT_LIST_DIR}/news_answers.cpp
    ${CMAKE_CURRENT_LIST_DIR}/news_form.cpp
    ${CMAKE_CURRENT_LIST_DIR}/news_routes.cpp
)
target_include_directories(lintrel_newsd_core PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(lintrel_newsd_core PUBLIC lintrel_core)
