# plovermix installed as a Linux program: the executable, our stand-in data, the
# desktop entry, the AppStream metadata, the icon and the man page, under one
# reverse-DNS id; and CPack's .deb of all that (`make deb`).
include(GNUInstallDirs)

set(PLOVERMIX_APP_ID io.github.plovermix.Plovermix)
set(dist ${PROJECT_SOURCE_DIR}/dist)

install(TARGETS plovermix RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The stand-in data, written afresh into a folder of its own by the build's
# showdata: the show's files alone, no stamp (and no log: nothing plays there).
set(installed_data ${PROJECT_BINARY_DIR}/installed-data)
add_custom_command(OUTPUT ${installed_data}.written
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${installed_data}
  COMMAND showdata ${installed_data} --no-stamp
  COMMAND ${CMAKE_COMMAND} -E touch ${installed_data}.written
  DEPENDS showdata
  COMMENT "Writing the stand-in data to install into ${installed_data}")
add_custom_target(installed_data ALL DEPENDS ${installed_data}.written)
install(DIRECTORY ${installed_data}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/plovermix/data)

# The man page and the changelog are installed compressed, as Debian's policy
# wants them; the copyright file beside the changelog.
find_program(GZIP gzip REQUIRED)
foreach(name plovermix.6 changelog)
  add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/${name}.gz
    COMMAND ${GZIP} -9n -c ${dist}/${name} > ${PROJECT_BINARY_DIR}/${name}.gz
    DEPENDS ${dist}/${name})
endforeach()
add_custom_target(compressed_docs ALL
  DEPENDS ${PROJECT_BINARY_DIR}/plovermix.6.gz ${PROJECT_BINARY_DIR}/changelog.gz)
install(FILES ${PROJECT_BINARY_DIR}/plovermix.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${PROJECT_BINARY_DIR}/changelog.gz ${dist}/copyright
  DESTINATION ${CMAKE_INSTALL_DOCDIR})

install(FILES ${dist}/${PLOVERMIX_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${dist}/${PLOVERMIX_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${dist}/${PLOVERMIX_APP_ID}.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# The Debian package, build/plovermix_<version>_<arch>.deb: installs under /usr,
# the program in /usr/games (cmake/DebGames.cmake); dpkg-shlibdeps names the
# runtime libraries' packages.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME plovermix)
set(CPACK_PACKAGE_VENDOR plovermix)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "real-time audio-visual show from 2002, re-made")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "plovermix maintainers <plovermix@users.noreply.github.com>")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# SDL and libepoxy open the GL and EGL libraries at run time, unseen by dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1, libegl1")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The summary above is the description's first line; this is the rest.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "plovermix plays a four-minute real-time audio-visual show (a demo) first
written in 2002 for Windows and Direct3D 8, re-implemented over SDL2, OpenGL
3.3 and SDL2_mixer: 2D titles, then camera flights through six 3D scenes with
particle fountains, additive glass and fog, locked to the music.
.
It comes with stand-in data of its own; the original show's files, where you
own them, replace it file for file. It can also render the show offline to a
video file.")
set(CPACK_PLOVERMIX_BINDIR ${CMAKE_INSTALL_BINDIR})
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/DebGames.cmake)
include(CPack)
