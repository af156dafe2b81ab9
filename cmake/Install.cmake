# SPDX-License-Identifier: MIT
# Where the pieces go: both programs in bin/, the window's skin and hand pointer in share/kestrelmoor/
# (the program finds them there from its own folder, see the top CMakeLists.txt). The Debian package
# (debian/, scripts/package) installs through these rules and splits them into its two packages.
set(KESTRELMOOR_APP_ID org.kestrelmoor.Kestrelmoor)

install(TARGETS kestrelmoor kestrelmoor-extract RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/resources/HAND-M.CUR DESTINATION ${CMAKE_INSTALL_DATADIR}/kestrelmoor)
install(FILES ${PROJECT_SOURCE_DIR}/resources/x/o.cjs DESTINATION ${CMAKE_INSTALL_DATADIR}/kestrelmoor/x)

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
