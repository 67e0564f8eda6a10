# Installation layout and the Debian package.
#
#   cmake --install build --prefix DIR   DIR/games/yutnori (DIR/bin/yutnori.exe on Windows),
#                                        DIR/share/man/man6/yutnori.6.gz,
#                                        DIR/share/doc/yutnori/README.md
#   cd build && cpack -G DEB             yutnori_VERSION_ARCH.deb with the same files under /usr
include(GNUInstallDirs)

# Debian keeps games in /usr/games, apart from the programs in /usr/bin.
if(WIN32)
  set(YUT_INSTALL_GAMESDIR ${CMAKE_INSTALL_BINDIR} CACHE STRING "Where the program is installed")
else()
  set(YUT_INSTALL_GAMESDIR games CACHE STRING "Where the program is installed")
endif()
install(TARGETS yutnori RUNTIME DESTINATION ${YUT_INSTALL_GAMESDIR})

# The manual page, compressed as man-db expects it when gzip is at hand.
set(yut_manual ${PROJECT_SOURCE_DIR}/doc/yutnori.6)
find_program(YUT_GZIP gzip)
if(YUT_GZIP AND NOT WIN32)
  set(yut_manual_gz ${PROJECT_BINARY_DIR}/doc/yutnori.6.gz)
  add_custom_command(
    OUTPUT ${yut_manual_gz}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/doc
    COMMAND ${YUT_GZIP} -9 -n -c ${yut_manual} > ${yut_manual_gz}
    DEPENDS ${yut_manual}
    COMMENT "Compressing the manual page"
    VERBATIM)
  add_custom_target(yut_manual ALL DEPENDS ${yut_manual_gz})
  set(yut_manual ${yut_manual_gz})
endif()
install(FILES ${yut_manual} DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_PACKAGE_NAME yutnori)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "yutnori developers <yutnori@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Korean race board game yut-nori in a text console")
set(CPACK_PACKAGE_DESCRIPTION
    [=[Yut-nori is the Korean race board game played with four throwing sticks.
Two sides of four pieces race around a square board with two diagonals.
Two people play at one keyboard, or one person plays against the computer.
The screens are drawn with box-drawing characters and Korean text in a
UTF-8 or EUC-KR terminal of at least 80 columns and 34 rows. The best
scores are kept in a ranking file.]=])
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The shared libraries the program links against become the package's dependencies.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
