# The Debian package: `cmake --build build --target package` (or scripts/make-deb.sh)
# makes relaydeck_<version>_amd64.deb with both programs, the desktop entry, the icons and
# the manual pages.
include(GNUInstallDirs)

# Manual pages, with the version filled in and compressed as Debian keeps them.
find_program(GZIP_PROGRAM gzip)
set(RELAYDECK_MAN_PAGES relaydeck relaydeck-replay)
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

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME relaydeck)
set(CPACK_PACKAGE_VENDOR "The Relaydeck authors")
set(CPACK_PACKAGE_CONTACT "The Relaydeck authors <relaydeck@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Repeater controller for an EchoLink station")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Relaydeck turns the single radio of an EchoLink station into a repeater: courtesy\n"
    "tones, hang time, time-out, Morse and speech identification and a fan output.\n"
    "On Linux it runs against a simulated link host shown in the Link Simulator window.\n"
    "relaydeck-replay runs scenarios on a virtual clock without a display.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Speech and sound are used where present.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-speech-speechd-plugin, fonts-dejavu-core")
set(CPACK_STRIP_FILES ON)
include(CPack)
