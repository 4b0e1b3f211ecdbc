# The Debian package: `cmake --build build --target package` (or scripts/make-deb.sh)
# makes relaydeck_<version>_amd64.deb with both programs, the desktop entry, the icons and
# the manual pages.
include(GNUInstallDirs)

# Manual pages, with the version filled in and compressed as Debian keeps them.
find_program(GZIP_PROGRAM gzip)
set(RELAYDECK_MAN_PAGES relaydeck relaydeck-replay relaydeck-traffic)
set(man_outputs)
foreach(page ${RELAYDECK_MAN_PAGES})
    set(VERSION ${PROJECT_VERSION})
    configure_file(${PROJECT_SOURCE_DIR}/packaging/debian/${page}.1
                   ${CMAKE_BINARY_DIR}/man/${page}.1 @ONLY)
    if(GZIP_PROGRAM)
        add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/man/${page}.1.gz
            COMMAND ${GZIP_PROGRAM} -9 -n -c ${CMAKE_BINARY_DIR}/man/${page}.1
                    > ${CMAKE_BINARY_DIR}/man/${page}.1.gz
            DEPENDS ${CMAKE_BINARY_DIR}/man/${page}.1)
        list(APPEND man_outputs ${CMAKE_BINARY_DIR}/man/${page}.1.gz)
    else()
        list(APPEND man_outputs ${CMAKE_BINARY_DIR}/man/${page}.1)
    endif()
endforeach()
add_custom_target(man_pages ALL DEPENDS ${man_outputs})
install(FILES ${man_outputs} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The package's own documents: the copyright and the changelog (compressed, as Debian keeps
# a native package's changelog).
set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/relaydeck)
configure_file(${PROJECT_SOURCE_DIR}/packaging/debian/changelog
               ${CMAKE_BINARY_DIR}/doc/changelog @ONLY)
if(GZIP_PROGRAM)
    add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/doc/changelog.gz
        COMMAND ${GZIP_PROGRAM} -9 -n -c ${CMAKE_BINARY_DIR}/doc/changelog
                > ${CMAKE_BINARY_DIR}/doc/changelog.gz
        DEPENDS ${CMAKE_BINARY_DIR}/doc/changelog)
    add_custom_target(package_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/doc/changelog.gz)
    install(FILES ${CMAKE_BINARY_DIR}/doc/changelog.gz DESTINATION ${doc_dir})
endif()
install(FILES ${PROJECT_SOURCE_DIR}/packaging/debian/copyright DESTINATION ${doc_dir})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME relaydeck)
set(CPACK_PACKAGE_VENDOR "The Relaydeck authors")
set(CPACK_PACKAGE_CONTACT "The Relaydeck authors <relaydeck@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Repeater controller for an EchoLink station")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Relaydeck turns the single radio of an EchoLink station into a repeater:\n"
    "courtesy tones, hang time, time-out, Morse and speech identification and a\n"
    "fan output. On Linux it runs against a simulated link host shown in the Link\n"
    "Simulator window. relaydeck-replay runs scenarios on a virtual clock without\n"
    "a display; relaydeck-traffic writes made-up traffic for it.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Speech and sound are used where present.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-speech-speechd-plugin, fonts-dejavu-core")
set(CPACK_STRIP_FILES ON)
include(CPack)
