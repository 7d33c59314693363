# What an install adds beside the programs, catalogues and samples (which
# their own folders install): the manual pages, the desktop entry, icon,
# AppStream metainfo and MIME type, the licence and the documentation; and
# the Debian package made from that install with CPack (scripts/package.sh).
# A Windows install keeps everything beside the executable and has none of
# the desktop's files.
if(WIN32)
    install(FILES LICENSE README.md DESTINATION ${CMAKE_INSTALL_BINDIR})
    return()
endif()

# Debian's documentation folder is named after the package.
set(TWDS_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/twdspusrspc)
set(TWDS_APP_ID org.twdspusrspc.twDspUsrSpc)
set(TWDS_HOMEPAGE https://github.com/twdspusrspc/twDspUsrSpc)
set(TWDS_SCREENSHOTS ${TWDS_HOMEPAGE}/raw/main/docs/screenshots)

# Compressed as Debian wants them: gzip -9 without a name or time stamp, so
# that two builds give the same package.
function(twds_gzip source output)
    add_custom_command(OUTPUT ${output}
        COMMAND sh -c "gzip -9nc \"$0\" > \"$1\"" ${source} ${output}
        DEPENDS ${source}
        VERBATIM)
endfunction()

set(twds_install_outputs)
foreach(page twDspUsrSpc.1 twus_make.1)
    twds_gzip(${PROJECT_SOURCE_DIR}/man/${page} ${CMAKE_BINARY_DIR}/man/${page}.gz)
    list(APPEND twds_install_outputs ${CMAKE_BINARY_DIR}/man/${page}.gz)
    install(FILES ${CMAKE_BINARY_DIR}/man/${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()

configure_file(packaging/changelog.in ${CMAKE_BINARY_DIR}/packaging/changelog @ONLY)
twds_gzip(${CMAKE_BINARY_DIR}/packaging/changelog
          ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
list(APPEND twds_install_outputs ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
install(FILES ${CMAKE_BINARY_DIR}/packaging/changelog.gz packaging/copyright
              README.md docs/userspace-file.md
        DESTINATION ${TWDS_DOC_DIR})

set(desktop ${PROJECT_SOURCE_DIR}/data/desktop)
configure_file(${desktop}/${TWDS_APP_ID}.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/desktop/${TWDS_APP_ID}.metainfo.xml @ONLY)
install(FILES ${desktop}/${TWDS_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_BINARY_DIR}/desktop/${TWDS_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${desktop}/twDspUsrSpc-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME twdspusrspc.xml)
install(FILES ${desktop}/${TWDS_APP_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# The PNG sizes are drawn from the SVG at build time, for desktops that do
# not read SVG icons.
find_program(TWDS_RSVG_CONVERT rsvg-convert)
if(TWDS_RSVG_CONVERT)
    foreach(size 16 32 48 64 128 256)
        set(png ${CMAKE_BINARY_DIR}/icons/${size}/${TWDS_APP_ID}.png)
        add_custom_command(OUTPUT ${png}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/${size}
            COMMAND ${TWDS_RSVG_CONVERT} -w ${size} -h ${size} -o ${png}
                    ${desktop}/${TWDS_APP_ID}.svg
            DEPENDS ${desktop}/${TWDS_APP_ID}.svg
            VERBATIM)
        list(APPEND twds_install_outputs ${png})
        install(FILES ${png}
                DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
    endforeach()
else()
    message(STATUS "rsvg-convert not found: only the SVG icon is installed")
endif()
add_custom_target(twds_install_files ALL DEPENDS ${twds_install_outputs})

set(CPACK_PACKAGE_NAME twdspusrspc)
set(CPACK_PACKAGE_VENDOR "The twDspUsrSpc developers")
set(CPACK_PACKAGE_CONTACT "The twDspUsrSpc developers <twdspusrspc@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "viewer for the control user space of Tidewell replication")
set(CPACK_PACKAGE_DESCRIPTION
    "Each replication model of the Tidewell engine keeps its configuration and
processing state in a user space on the source machine. twDspUsrSpc fetches
it page by page through the engine's host-link library, or reads a saved
copy, and shows every fixed-width field as a labelled row, exactly as
received, in five lists and the End_TW text; it exports them to a text
file and finds text in them, in a window or from the command line.
twus_make writes saved user spaces.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${TWDS_HOMEPAGE})
# The libraries the programs link, found by dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build[^/]*/" "~$")
include(CPack)
