# Installation layout and the Debian package.
#
#   cmake --install build --strip --prefix DIR
#                      DIR/games/yutnori (DIR/bin/yutnori.exe on Windows),
#                      DIR/share/man/man6/yutnori.6.gz,
#                      DIR/share/doc/yutnori/README (the players' README, packaging/README),
#                      and beside it copyright and changelog.Debian.gz
#   cd build && cpack -G DEB
#                      yutnori_VERSION-RELEASE_ARCH.deb with the same files under /usr,
#                      the program stripped
#
# The package's maintainer, in the Maintainer field and the changelog, is
# YUT_PACKAGE_MAINTAINER ("Name <address>"); whoever builds a package to hand on sets it.
include(GNUInstallDirs)

set(YUT_PACKAGE_MAINTAINER "yutnori maintainers <maintainers@users.noreply.c-seed-394f119d.example>"
    CACHE STRING "Maintainer of the Debian package: Name <address>")
# The Debian revision of this version's package.
set(YUT_DEBIAN_RELEASE 1 CACHE STRING "Debian revision of the package")
set(YUT_DEBIAN_VERSION ${PROJECT_VERSION}-${YUT_DEBIAN_RELEASE})

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

# The players' README (the source tree's README.md is the developers'), and the package's
# copyright and Debian changelog with the maintainer and version filled in.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/README DESTINATION ${CMAKE_INSTALL_DOCDIR})
configure_file(${PROJECT_SOURCE_DIR}/packaging/copyright ${PROJECT_BINARY_DIR}/packaging/copyright
               @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/packaging/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
if(YUT_GZIP AND NOT WIN32)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.Debian
                 ${PROJECT_BINARY_DIR}/packaging/changelog.Debian @ONLY)
  set(yut_changelog_gz ${PROJECT_BINARY_DIR}/packaging/changelog.Debian.gz)
  add_custom_command(
    OUTPUT ${yut_changelog_gz}
    COMMAND ${YUT_GZIP} -9 -n -c ${PROJECT_BINARY_DIR}/packaging/changelog.Debian >
            ${yut_changelog_gz}
    DEPENDS ${PROJECT_BINARY_DIR}/packaging/changelog.Debian
    COMMENT "Compressing the Debian changelog"
    VERBATIM)
  add_custom_target(yut_changelog ALL DEPENDS ${yut_changelog_gz})
  install(FILES ${yut_changelog_gz} DESTINATION ${CMAKE_INSTALL_DOCDIR})
  # What lintian is told to leave alone, each with its reason.
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/lintian-overrides
          DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides RENAME yutnori)
endif()

set(CPACK_PACKAGE_NAME yutnori)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${YUT_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${YUT_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_RELEASE ${YUT_DEBIAN_RELEASE})
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
