# SPDX-License-Identifier: MIT
#
# Installation in the XDG places, and a Debian package built by CPack:
#   cmake --install build [--prefix DIR]
#   cd build && cpack -G DEB
# This file is the one description of what the package holds.
include(GNUInstallDirs)
include(RedurIveziChangelog)

set(REDURIVEZI_MAINTAINER "The RedurIvezi developers <developers@redurivezi.org>"
    CACHE STRING "Maintainer of the Debian package and its changelog, as Name <address>")
set(appId org.redurivezi.redurivezi)
set(docDir ${CMAKE_INSTALL_DATADIR}/doc/redurivezi)
set(generated ${PROJECT_BINARY_DIR}/packaging)

redurivezi_read_changelog(${PROJECT_SOURCE_DIR}/CHANGELOG.md "${REDURIVEZI_MAINTAINER}")
configure_file(${PROJECT_SOURCE_DIR}/packaging/${appId}.metainfo.xml.in
               ${generated}/${appId}.metainfo.xml @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/window/redurivezi.1.in ${generated}/redurivezi.1 @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/cli/redurivezi-table.1.in ${generated}/redurivezi-table.1
               @ONLY)

# Man pages and the changelog go compressed, as Debian wants them, without a time stamp.
set(compressed)
foreach(file redurivezi.1 redurivezi-table.1 changelog)
    add_custom_command(OUTPUT ${generated}/${file}.gz
        COMMAND gzip -9 -n -c ${generated}/${file} > ${generated}/${file}.gz
        DEPENDS ${generated}/${file}
        VERBATIM)
    list(APPEND compressed ${generated}/${file}.gz)
endforeach()
add_custom_target(packagefiles ALL DEPENDS ${compressed})

install(TARGETS redurivezi redurivezi-table RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/packaging/${appId}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${generated}/${appId}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/${appId}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${generated}/redurivezi.1.gz ${generated}/redurivezi-table.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${generated}/changelog.gz
        DESTINATION ${docDir})

set(CPACK_PACKAGE_NAME redurivezi)
set(CPACK_PACKAGE_VENDOR "The RedurIvezi developers")
set(CPACK_PACKAGE_CONTACT "${REDURIVEZI_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "explore the solutions of second-order ODEs with fixed-step Runge-Kutta")
# Debian folds the description at 80 columns: each line here stays within it.
set(CPACK_PACKAGE_DESCRIPTION
    "A small desktop tool: pick one of six built-in equations y'' = g(x, y, y'),\n\
type the start values and the end abscissa, and see the curve on a fixed-scale\n\
plot and every grid point as text, the same digit for digit on every machine.\n\
Includes redurivezi-table, which prints the same list on the command line.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES TRUE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://redurivezi.org/")
# The libraries the programs link come from dpkg-shlibdeps; the platform plugin that
# opens the window is loaded at run time, so it is named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# The window's face, and the platform plugin of Wayland desktops.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-ipafont-gothic, qt6-wayland")
include(CPack)
