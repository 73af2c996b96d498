# What `cmake --install` puts where, and the Debian package CPack makes of it.
include(GNUInstallDirs)

set(ZO_SHARE_DIR ${CMAKE_INSTALL_DATADIR}/zo-config)

install(TARGETS zo-config zo-cardsim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The program looks for the clip and the help file in its current directory; the desktop
# entries start it in this folder.
install(FILES ${CMAKE_BINARY_DIR}/globe.avi DESTINATION ${ZO_SHARE_DIR})
install(FILES ${PROJECT_SOURCE_DIR}/res/help/ksfxzo.txt DESTINATION ${ZO_SHARE_DIR}
        RENAME ksfxzo.hlp)

install(DIRECTORY ${CMAKE_BINARY_DIR}/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)

install(FILES ${PROJECT_SOURCE_DIR}/docs/man/zo-config.1 ${PROJECT_SOURCE_DIR}/docs/man/zo-cardsim.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The entries name the installed program and its folder, so they are written at install
# time for the prefix in force then (cmake --install --prefix, or the package's /usr).
foreach(entry zo-config zo-config-simulated)
    install(CODE "
        set(ZO_BINDIR \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
        set(ZO_DATADIR \"\${CMAKE_INSTALL_PREFIX}/${ZO_SHARE_DIR}\")
        configure_file(\"${PROJECT_SOURCE_DIR}/res/desktop/${entry}.desktop.in\"
                       \"${CMAKE_BINARY_DIR}/desktop/${entry}.desktop\" @ONLY)")
    install(FILES ${CMAKE_BINARY_DIR}/desktop/${entry}.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
endforeach()

# `cpack` in the build folder makes the .deb. The package installs under /usr; DESTDIR
# staging keeps that prefix, not the staging folder, in the desktop entries.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zo-config)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "configuration utility for the Kest Ferronix ZO! Series ISDN PC Card")
set(CPACK_PACKAGE_DESCRIPTION
    "Keeps location profiles (switch type, directory numbers and SPIDs, COM port and line
settings) and programs the ZO! Series ISDN terminal adapter with them over its serial
port. Comes with zo-cardsim, a simulated card for trying the program without one.")
set(CPACK_PACKAGE_CONTACT "zo-config maintainers <zo-config@localhost>")
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps adds the libraries the programs link (Qt 6 Widgets, SQLite, the C++
# runtime); the icon theme is what the desktop entries need besides.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "hicolor-icon-theme")
set(CPACK_STRIP_FILES ON)
include(CPack)
