# Install layout and the Debian package.
#
# <prefix>/lib/lintrel/     the program, its tools and the demo brand kit beside the program
# <prefix>/bin/lintrel      launcher: mirrors lib/lintrel into ~/.local/share/lintrel, runs it
# <prefix>/bin/lintrel-*    links to the tools
# <prefix>/share/...        desktop entry, icon, AppStream metadata, demo news content, docs
option(LINTREL_INSTALL_DEMO_KIT "Install the demo brand kit beside the program" ON)

set(LINTREL_INSTALL_DIR "${CMAKE_INSTALL_LIBDIR}/lintrel")
set(LINTREL_PACKAGING_DIR "${PROJECT_SOURCE_DIR}/packaging")
set(LINTREL_KIT_DIR "${PROJECT_SOURCE_DIR}/examples/demo-kit")

configure_file(${LINTREL_PACKAGING_DIR}/lintrel-launcher.sh.in
               ${PROJECT_BINARY_DIR}/packaging/lintrel @ONLY)
install(PROGRAMS ${PROJECT_BINARY_DIR}/packaging/lintrel DESTINATION ${CMAKE_INSTALL_BINDIR})

# The tools on the PATH, as relative links into the install folder.
file(RELATIVE_PATH tools_from_bin "/root/${CMAKE_INSTALL_BINDIR}" "/root/${LINTREL_INSTALL_DIR}")
foreach(tool lintrel-brand lintrel-newsd lintrel-format)
    if(TARGET ${tool})
        file(CREATE_LINK ${tools_from_bin}/${tool} ${PROJECT_BINARY_DIR}/packaging/${tool} SYMBOLIC)
        install(FILES ${PROJECT_BINARY_DIR}/packaging/${tool} DESTINATION ${CMAKE_INSTALL_BINDIR})
    endif()
endforeach()

install(FILES ${LINTREL_PACKAGING_DIR}/org.lintrel.Lintrel.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${LINTREL_PACKAGING_DIR}/org.lintrel.Lintrel.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${LINTREL_PACKAGING_DIR}/lintrel.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/128x128/apps
        RENAME org.lintrel.Lintrel.png)
install(DIRECTORY ${LINTREL_KIT_DIR}/news-content/
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintrel/demo-news)
install(FILES ${PROJECT_SOURCE_DIR}/docs/brand-kit.md DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The demo brand kit, built with the freshly built lintrel-brand.
if(LINTREL_INSTALL_DEMO_KIT)
    set(kit_out ${PROJECT_BINARY_DIR}/demo-kit)
    set(kit_files dbsettings.dat mainskin.dat banner1.dat banner2.dat main.ico)
    list(TRANSFORM kit_files PREPEND ${kit_out}/ OUTPUT_VARIABLE kit_paths)
    file(GLOB kit_sources ${LINTREL_KIT_DIR}/*.txt ${LINTREL_KIT_DIR}/*.qss
         ${LINTREL_KIT_DIR}/images/*)
    add_custom_command(
        OUTPUT ${kit_paths}
        COMMAND ${LINTREL_KIT_DIR}/build-kit.sh --brand-tool $<TARGET_FILE:lintrel-brand> ${kit_out}
        DEPENDS lintrel-brand ${LINTREL_KIT_DIR}/build-kit.sh ${kit_sources}
        COMMENT "Building the demo brand kit"
        VERBATIM)
    add_custom_target(lintrel_demo_kit ALL DEPENDS ${kit_paths})
    install(FILES ${kit_paths} DESTINATION ${LINTREL_INSTALL_DIR})
endif()

set(CPACK_PACKAGE_NAME "lintrel")
set(CPACK_PACKAGE_VENDOR "Lintrel")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "email text formatter with live counts and line wrapping")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Lintrel prepares the text of an email for sending: live counts of words, sentences,\n"
    "paragraphs, lines, characters and the longest line, and a Format command that wraps\n"
    "every line to a chosen length. It can be branded with an encrypted settings file\n"
    "(welcome pages, banners, links, skin, news service) and checks for updates.\n"
    "Includes lintrel-brand (brand publisher's tool), lintrel-newsd (news and\n"
    "live-update server) and a demo brand kit.")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_GENERATOR "DEB")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Lintrel developers <dev@lintrel.example.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION "utils")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_STRIP_FILES ON)
include(CPack)
