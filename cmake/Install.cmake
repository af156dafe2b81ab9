# SPDX-License-Identifier: MIT
# Where the pieces go. The window program lives in a folder of its own together with the two files it
# looks for beside itself (the hand cursor and the skin); bin/ holds a link to it and the command-line
# tool. The Debian package (debian/, scripts/package) installs through these rules.

# The documentation folder carries the package's name, as Debian's policy asks, not the project's.
if(NOT CMAKE_INSTALL_DOCDIR)
    set(CMAKE_INSTALL_DOCDIR share/doc/kestrelmoor CACHE PATH "Documentation (share/doc/kestrelmoor)" FORCE)
endif()
include(GNUInstallDirs)

set(KESTRELMOOR_PROGRAM_DIR ${CMAKE_INSTALL_LIBDIR}/kestrelmoor)
set(KESTRELMOOR_APP_ID org.kestrelmoor.Kestrelmoor)

install(TARGETS kestrelmoor RUNTIME DESTINATION ${KESTRELMOOR_PROGRAM_DIR})
install(FILES ${PROJECT_SOURCE_DIR}/resources/HAND-M.CUR DESTINATION ${KESTRELMOOR_PROGRAM_DIR})
install(FILES ${PROJECT_SOURCE_DIR}/resources/x/o.cjs DESTINATION ${KESTRELMOOR_PROGRAM_DIR}/x)
# The program finds its folder through /proc/self/exe, which names the link's target, not the link.
file(RELATIVE_PATH kestrelmoor_link_target ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBDIR}/kestrelmoor/kestrelmoor)
install(CODE "
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}${CMAKE_INSTALL_FULL_BINDIR}\")
    file(CREATE_LINK \"${kestrelmoor_link_target}\" \"\$ENV{DESTDIR}${CMAKE_INSTALL_FULL_BINDIR}/kestrelmoor\" SYMBOLIC)
")

install(TARGETS kestrelmoor-extract RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# Uncompressed: the Debian package compresses them (dh_compress), as man finds either form.
install(FILES ${PROJECT_SOURCE_DIR}/docs/kestrelmoor.1 ${PROJECT_SOURCE_DIR}/docs/kestrelmoor-extract.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

install(FILES ${PROJECT_SOURCE_DIR}/packaging/${KESTRELMOOR_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/${KESTRELMOOR_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# The PNGs were drawn from the SVG once (rsvg-convert) and are kept in the repository, so that the
# build needs no converter.
foreach(size 16 24 32 48 64 128 256)
    install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/kestrelmoor-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME ${KESTRELMOOR_APP_ID}.png)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/kestrelmoor.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${KESTRELMOOR_APP_ID}.svg)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
