# CPack's last step before it builds the .deb: Debian keeps the programs of the
# games section in /usr/games, where /usr/games/../share/plovermix/data is still
# the installed data.
set(usr ${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX})
file(MAKE_DIRECTORY ${usr}/games)
file(RENAME ${usr}/${CPACK_PLOVERMIX_BINDIR}/plovermix ${usr}/games/plovermix)
file(REMOVE_RECURSE ${usr}/${CPACK_PLOVERMIX_BINDIR})
