# `make install`, `make uninstall` and `make package` (a Debian package).

# Manual pages go out compressed, as the system's own do.
set(ZARV_MAN_PAGES zarv.6 zarv-dev.6)
set(ZARV_MAN_GZ)
foreach(page ${ZARV_MAN_PAGES})
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/man/${page}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND gzip -9nc ${CMAKE_SOURCE_DIR}/man/${page} > ${CMAKE_BINARY_DIR}/man/${page}.gz
    DEPENDS ${CMAKE_SOURCE_DIR}/man/${page} VERBATIM)
  list(APPEND ZARV_MAN_GZ ${CMAKE_BINARY_DIR}/man/${page}.gz)
endforeach()
add_custom_target(manpages ALL DEPENDS ${ZARV_MAN_GZ})

install(TARGETS zarv zarv-dev RUNTIME DESTINATION ${ZARV_INSTALL_BINDIR})
install(FILES ${ZARV_MAN_GZ} DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES personalities/default.txt personalities/tuned.txt DESTINATION ${ZARV_PERSONALITY_DIR})
install(FILES README.md COPYING packaging/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

# Removes what the last install wrote (its manifest), then the folders that
# are Zarv's own once they are empty; nothing else.
add_custom_target(uninstall
  COMMAND ${CMAKE_COMMAND} -DMANIFEST=${CMAKE_BINARY_DIR}/install_manifest.txt
          -P ${CMAKE_SOURCE_DIR}/packaging/uninstall.cmake)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zarv)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "UCI chess engine, to play and analyse chess in a GUI")
# The body under the summary line; CPack indents it and marks the blank line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Zarv is a chess engine: a program without a board of its own that a chess
GUI (xboard through polyglot, pychess, Scid, cutechess) starts and drives
with the Universal Chess Interface to play games or analyse positions.

It searches with iterative-deepening principal-variation search over
bitboards, on several threads if asked, and offers strength levels
(UCI_LimitStrength, UCI_Elo), several principal lines (MultiPV) and
personality files of evaluation weights, among them a set tuned on its
own games. The developer program zarv-dev counts move trees, benchmarks
the search and tunes the weights.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_ENHANCES "xboard, polyglot, pychess, scid")
set(ZARV_MAINTAINER "Halvorn" CACHE STRING "Maintainer field of the Debian package")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${ZARV_MAINTAINER})
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR})
include(CPack)
