# The Debian package: `cpack -G DEB` in the build folder makes cinquepunti_<version>_amd64.deb
# from the install() rules, so it holds the program, its desktop entry, icon, metainfo and
# document type and nothing else. The desktop's caches of types and entries are brought up to
# date by the triggers of shared-mime-info and desktop-file-utils, with no script of our own.
# Included by the top-level CMakeLists.txt only when this is the top project.

set(CINQUEPUNTI_PACKAGE_CONTACT "Cinquepunti <cinquepunti@example.org>"
    CACHE STRING "Maintainer of the Debian package, as \"Name <address>\"")

set(CPACK_PACKAGE_NAME cinquepunti)
set(CPACK_PACKAGE_VENDOR Cinquepunti)
set(CPACK_PACKAGE_CONTACT "${CINQUEPUNTI_PACKAGE_CONTACT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "curva regolare composta da cinque punti base")
# Lines of at most 79 characters, as Debian's tools read them on an 80-column terminal.
set(CPACK_PACKAGE_DESCRIPTION
    "Cinquepunti costruisce una curva regolare composta a partire da cinque punti\n"
    "base: ogni corda porta un arco, che si piega con le barre di scorrimento, e\n"
    "una griglia mostra i parametri di ogni segmento, per ricostruire la curva\n"
    "altrove.\n"
    "\n"
    "Cinquepunti builds a smooth composite curve from five base points: each chord\n"
    "carries an arc, bent with scroll bars, and a grid shows every segment's\n"
    "parameters, so that the curve can be rebuilt elsewhere.")
list(JOIN CPACK_PACKAGE_DESCRIPTION "" CPACK_PACKAGE_DESCRIPTION)
set(CPACK_STRIP_FILES ON)

# What every Debian package carries in its documentation folder: who holds the rights, and the
# history of its versions (a native package's changelog.gz, compressed as for the manual page).
install(FILES ${PROJECT_SOURCE_DIR}/resources/copyright
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
if(CINQUEPUNTI_GZIP)
    set(cinquepunti_changelog ${PROJECT_BINARY_DIR}/changelog)
    add_custom_command(OUTPUT ${cinquepunti_changelog}.gz
        COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/resources/changelog
                ${cinquepunti_changelog}
        COMMAND ${CINQUEPUNTI_GZIP} -9nf ${cinquepunti_changelog}
        DEPENDS ${PROJECT_SOURCE_DIR}/resources/changelog VERBATIM)
    add_custom_target(cinquepunti_changelog ALL DEPENDS ${cinquepunti_changelog}.gz)
    install(FILES ${cinquepunti_changelog}.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
endif()

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

# What no tool finds: the fonts the layout was measured with (the older fonts-liberation lacks
# their metrics) and Qt's own Italian translations, which the program loads.
set(cinquepunti_depends fonts-liberation2 qt6-translations-l10n)

# The X11 platform plugin is loaded at run time, so dpkg-shlibdeps cannot see it. Debian 12
# ships it in libqt6gui6, which the program links anyway; where another package holds it, that
# package is a dependency too.
find_program(CINQUEPUNTI_DPKG_QUERY dpkg-query)
find_package(Qt6QXcbIntegrationPlugin CONFIG QUIET HINTS ${Qt6Gui_DIR})
if(CINQUEPUNTI_DPKG_QUERY AND TARGET Qt6::QXcbIntegrationPlugin)
    get_target_property(cinquepunti_xcb_plugin Qt6::QXcbIntegrationPlugin LOCATION)
    get_target_property(cinquepunti_qt_gui Qt6::Gui LOCATION)
    foreach(file IN ITEMS xcb_plugin qt_gui)
        execute_process(COMMAND ${CINQUEPUNTI_DPKG_QUERY} -S "${cinquepunti_${file}}"
                        OUTPUT_VARIABLE cinquepunti_${file}_owner ERROR_QUIET)
        # "libqt6gui6:amd64: /usr/lib/..." -> "libqt6gui6"
        string(REGEX REPLACE "[:,].*" "" cinquepunti_${file}_owner "${cinquepunti_${file}_owner}")
    endforeach()
    if(cinquepunti_xcb_plugin_owner
       AND NOT cinquepunti_xcb_plugin_owner STREQUAL cinquepunti_qt_gui_owner)
        list(APPEND cinquepunti_depends ${cinquepunti_xcb_plugin_owner})
    endif()
endif()
list(JOIN cinquepunti_depends ", " CPACK_DEBIAN_PACKAGE_DEPENDS)

include(CPack)
