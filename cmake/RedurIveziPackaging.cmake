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

# Two packages: redurivezi-table, the table tool, with no Qt library anywhere near it; and
# redurivezi, the window, which recommends the table tool.
install(TARGETS redurivezi-table RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT table)
install(FILES ${generated}/redurivezi-table.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1
        COMPONENT table)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${generated}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/redurivezi-table COMPONENT table)
set(components table)

if(REDURIVEZI_WINDOW)
    install(TARGETS redurivezi RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT window)
    install(FILES ${PROJECT_SOURCE_DIR}/packaging/${appId}.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT window)
    install(FILES ${generated}/${appId}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo
            COMPONENT window)
    install(FILES ${PROJECT_SOURCE_DIR}/packaging/${appId}.svg
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps COMPONENT window)
    install(FILES ${generated}/redurivezi.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1
            COMPONENT window)
    install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${generated}/changelog.gz
            DESTINATION ${docDir} COMPONENT window)
    list(PREPEND components window)
endif()

set(CPACK_PACKAGE_NAME redurivezi)
set(CPACK_PACKAGE_VENDOR "The RedurIvezi developers")
set(CPACK_PACKAGE_CONTACT "${REDURIVEZI_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES TRUE)
set(CPACK_COMPONENTS_ALL ${components})
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://redurivezi.org/")
set(CPACK_DEBIAN_PACKAGE_SOURCE redurivezi)
# The libraries each program links come from dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

# Debian folds the description at 80 columns: each line here stays within it. The first
# line is the synopsis.
set(CPACK_DEBIAN_WINDOW_PACKAGE_NAME redurivezi)
set(CPACK_COMPONENT_WINDOW_DESCRIPTION
    "explore the solutions of second-order ODEs with fixed-step Runge-Kutta\n\
A small desktop tool: pick one of six built-in equations y'' = g(x, y, y'),\n\
type the start values and the end abscissa, and see the curve on a fixed-scale\n\
plot and every grid point as text, the same digit for digit on every machine.")
# The platform plugin that opens the window is loaded at run time, so it is named here;
# the window's face and the plugin of Wayland desktops are recommended.
set(CPACK_DEBIAN_WINDOW_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_WINDOW_PACKAGE_RECOMMENDS "redurivezi-table, fonts-ipafont-gothic, qt6-wayland")

set(CPACK_DEBIAN_TABLE_PACKAGE_NAME redurivezi-table)
set(CPACK_COMPONENT_TABLE_DESCRIPTION
    "print the grid points of a fixed-step Runge-Kutta run of a second-order ODE\n\
The table tool of RedurIvezi: it integrates one of six built-in equations\n\
y'' = g(x, y, y') with the same arithmetic as the window and prints every\n\
grid point as the window lists it, or as CSV, for scripts and for checking\n\
numbers without a display.")
include(CPack)
