# Where the pieces go. The window program lives in a folder of its own together with the two files it
# looks for beside itself (the hand cursor and the skin); bin/ holds a link to it and the command-line
# tool.
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
# Manual pages are installed compressed, as Debian's policy asks.
set(kestrelmoor_man ${CMAKE_BINARY_DIR}/kestrelmoor-extract.1.gz)
add_custom_command(OUTPUT ${kestrelmoor_man}
    COMMAND gzip -9 -n -c ${PROJECT_SOURCE_DIR}/docs/kestrelmoor-extract.1 > ${kestrelmoor_man}
    DEPENDS ${PROJECT_SOURCE_DIR}/docs/kestrelmoor-extract.1 VERBATIM)
add_custom_target(kestrelmoor_man ALL DEPENDS ${kestrelmoor_man})
install(FILES ${kestrelmoor_man} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

install(FILES ${PROJECT_SOURCE_DIR}/packaging/${KESTRELMOOR_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size 32 48 128 256)
    install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/kestrelmoor-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME ${KESTRELMOOR_APP_ID}.png)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})

# A Debian package: cpack -G DEB (scripts/package).
set(CPACK_PACKAGE_NAME kestrelmoor)
set(CPACK_PACKAGE_VENDOR "Kestrelmoor")
set(CPACK_PACKAGE_CONTACT "Kestrelmoor <support@kestrelmoor.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Pulls the e-mail addresses out of the tables of a MySQL database")
set(CPACK_PACKAGE_DESCRIPTION "Kestrelmoor lists the tables of a MySQL or MariaDB database, reads the ones you tick and \
collects every distinct e-mail address in them, ready to save as a text or comma-delimited file or to copy \
to the clipboard. kestrelmoor-extract does the same on the command line and also reads text dumps.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://kestrelmoor.org/")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION database)
# The run-time libraries come from the binaries themselves; the window's Arial resolves to Liberation Sans.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation")
set(CPACK_STRIP_FILES ON)
include(CPack)
