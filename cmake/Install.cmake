# What `cmake --install` puts where, and the Debian package CPack makes of it.
include(GNUInstallDirs)

set(ZO_SHARE_DIR ${CMAKE_INSTALL_DATADIR}/zo-config)

install(TARGETS zo-config zo-cardsim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# Without the compilers' notes (.comment), as Debian's own packages are; after the strip
# of `install/strip` and the package.
foreach(program zo-config zo-cardsim)
    install(CODE "execute_process(
        COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
                \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${program}\"
        COMMAND_ERROR_IS_FATAL ANY)")
endforeach()

# The program looks for the clip and the help file in its current directory; the desktop
# entries start it in this folder.
install(FILES ${CMAKE_BINARY_DIR}/globe.avi DESTINATION ${ZO_SHARE_DIR})
install(FILES ${PROJECT_SOURCE_DIR}/res/help/ksfxzo.txt DESTINATION ${ZO_SHARE_DIR}
        RENAME ksfxzo.hlp)

install(DIRECTORY ${CMAKE_BINARY_DIR}/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)

# The release: the version and date of the changelog's latest entry, which must name the
# project's version. The manual pages and the software centres' entry carry them.
file(STRINGS ${PROJECT_SOURCE_DIR}/debian/changelog ZO_CHANGELOG_HEAD LIMIT_COUNT 1)
if(NOT ZO_CHANGELOG_HEAD MATCHES "^zo-config \\(${PROJECT_VERSION}\\) ")
    message(WARNING "debian/changelog does not start with version ${PROJECT_VERSION}")
endif()
file(STRINGS ${PROJECT_SOURCE_DIR}/debian/changelog ZO_CHANGELOG_SIGNED REGEX "^ -- " LIMIT_COUNT 1)
string(REGEX MATCH "([0-9][0-9]) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9])" _ "${ZO_CHANGELOG_SIGNED}")
set(ZO_MONTHS Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
list(FIND ZO_MONTHS "${CMAKE_MATCH_2}" ZO_MONTH)
math(EXPR ZO_MONTH "${ZO_MONTH} + 1" OUTPUT_FORMAT DECIMAL)
if(ZO_MONTH LESS 10)
    set(ZO_MONTH 0${ZO_MONTH})
endif()
set(ZO_RELEASE_DATE ${CMAKE_MATCH_3}-${ZO_MONTH}-${CMAKE_MATCH_1})

# The manual pages dated by the release.
foreach(page zo-config zo-cardsim)
    configure_file(${PROJECT_SOURCE_DIR}/docs/man/${page}.1 ${CMAKE_BINARY_DIR}/man/${page}.1
                   @ONLY)
endforeach()

# Debian policy: manual pages and the changelog compressed with gzip -9n (no name or time
# stamp inside, so the same sources give the same package).
set(ZO_GZIPPED)
foreach(source ${CMAKE_BINARY_DIR}/man/zo-config.1 ${CMAKE_BINARY_DIR}/man/zo-cardsim.1
               ${PROJECT_SOURCE_DIR}/debian/changelog)
    get_filename_component(name ${source} NAME)
    set(output ${CMAKE_BINARY_DIR}/dist/${name}.gz)
    add_custom_command(OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/dist
        COMMAND gzip -9n -c ${source} > ${output}
        DEPENDS ${source} VERBATIM)
    list(APPEND ZO_GZIPPED ${output})
endforeach()
add_custom_target(zo_dist_files ALL DEPENDS ${ZO_GZIPPED})
install(FILES ${CMAKE_BINARY_DIR}/dist/zo-config.1.gz ${CMAKE_BINARY_DIR}/dist/zo-cardsim.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# Licence and history where Debian keeps them; the copyright file is machine-readable.
install(FILES ${PROJECT_SOURCE_DIR}/debian/copyright ${CMAKE_BINARY_DIR}/dist/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/zo-config)

install(FILES ${CMAKE_BINARY_DIR}/completion/zo-config
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)

# The software centres' entry.
set(ZO_HOMEPAGE "https://zo-config.example.org/" CACHE STRING
    "The project's home page, named in the AppStream entry")
set(ZO_SCREENSHOTS "${ZO_HOMEPAGE}screenshots" CACHE STRING
    "Where the AppStream entry's screenshots (docs/screenshots) are published")
set(ZO_APPSTREAM_ID org.example.zo_config.ZoConfig)
configure_file(${PROJECT_SOURCE_DIR}/res/metainfo/zo-config.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/dist/${ZO_APPSTREAM_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/dist/${ZO_APPSTREAM_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

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
# Lines of at most 80 columns, as Debian's tools show them.
set(CPACK_PACKAGE_DESCRIPTION
    "Keeps location profiles (switch type, directory numbers and SPIDs, COM
port and line settings) and programs the ZO! Series ISDN terminal adapter
with them over its serial port. Comes with zo-cardsim, a simulated card
for trying the program without one.")
set(ZO_MAINTAINER "zo-config maintainers <zo-config@example.org>" CACHE STRING
    "The package's Maintainer field")
set(CPACK_PACKAGE_CONTACT "${ZO_MAINTAINER}")
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
