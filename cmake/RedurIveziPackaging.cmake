# Installation in the XDG places, and a Debian package built by CPack:
#   cmake --install build [--prefix DIR]
#   cd build && cpack -G DEB
include(GNUInstallDirs)

install(TARGETS redurivezi redurivezi-table RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/packaging/redurivezi.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/redurivezi.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# Man pages go compressed, as Debian wants them.
set(manPage ${CMAKE_CURRENT_BINARY_DIR}/redurivezi-table.1.gz)
add_custom_command(OUTPUT ${manPage}
    COMMAND gzip -9 -n -c ${PROJECT_SOURCE_DIR}/cli/redurivezi-table.1 > ${manPage}
    DEPENDS ${PROJECT_SOURCE_DIR}/cli/redurivezi-table.1
    VERBATIM)
add_custom_target(manpages ALL DEPENDS ${manPage})
install(FILES ${manPage} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_PACKAGE_NAME redurivezi)
set(CPACK_PACKAGE_VENDOR "RedurIvezi developers")
set(CPACK_PACKAGE_CONTACT "RedurIvezi developers <redurivezi@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "explore the solutions of second-order ODEs with fixed-step Runge-Kutta")
set(CPACK_PACKAGE_DESCRIPTION
    "A small desktop tool: pick one of six built-in equations y'' = g(x, y, y'), type the start\n\
values and the end abscissa, and see the curve on a fixed-scale plot and every grid point\n\
as text, the same digit for digit on every machine. Includes redurivezi-table, which\n\
prints the same list on the command line.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
# The libraries the programs link come from dpkg-shlibdeps; the platform plugin that
# opens the window is loaded at run time, so it is named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-ipafont-gothic")
include(CPack)
