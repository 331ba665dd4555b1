# The Debian package: `cpack -G DEB` in the build folder makes
# tapelark_VERSION-1_amd64.deb. Besides the programs, the desktop entry and the
# icons (installed where they are built), it carries what a Debian desktop
# expects: AppStream metainfo, the man pages, the copyright file and the
# changelog. Included from the top level on Linux only.
set(TAPELARK_RELEASE_DATE "2026-12-07" CACHE STRING "Date of this version (YYYY-MM-DD)")
set(TAPELARK_MAINTAINER "The Tapelark developers <maintainers@tapelark.example.org>"
    CACHE STRING "Maintainer named in the package")
set(TAPELARK_APPSTREAM_ID "org.example.tapelark" CACHE STRING "AppStream component id")

string(REGEX REPLACE "/+$" "" _tapelark_home "${TAPELARK_HOME_PAGE}")
string(APPEND _tapelark_home "/")
set(_doc_dir ${CMAKE_BINARY_DIR}/package-files)
set(_doc_vars
    -DPROJECT_VERSION=${PROJECT_VERSION}
    -DTAPELARK_RELEASE_DATE=${TAPELARK_RELEASE_DATE}
    -DTAPELARK_HOME_PAGE=${_tapelark_home}
    "-DTAPELARK_MAINTAINER=${TAPELARK_MAINTAINER}"
    -DTAPELARK_APPSTREAM_ID=${TAPELARK_APPSTREAM_ID})
# Debian's changelog wants the date as RFC 5322 text.
execute_process(COMMAND date -u -R -d "${TAPELARK_RELEASE_DATE} 12:00:00"
                OUTPUT_VARIABLE _changelog_date OUTPUT_STRIP_TRAILING_WHITESPACE)
list(APPEND _doc_vars "-DTAPELARK_CHANGELOG_DATE=${_changelog_date}")

# The error list of mcisend's page comes from the engine itself.
add_executable(mci_error_list ${PROJECT_SOURCE_DIR}/docs/man/mci-error-list.cpp)
target_link_libraries(mci_error_list PRIVATE tapelark_mci)

set(_make_doc ${PROJECT_SOURCE_DIR}/cmake/MakeDocFile.cmake)
add_custom_command(OUTPUT ${_doc_dir}/tapelark.1.gz
  COMMAND ${CMAKE_COMMAND} ${_doc_vars} -DTEMPLATE=${PROJECT_SOURCE_DIR}/docs/man/tapelark.1.in
          -DOUTPUT=${_doc_dir}/tapelark.1.gz -P ${_make_doc}
  DEPENDS ${PROJECT_SOURCE_DIR}/docs/man/tapelark.1.in ${_make_doc} VERBATIM)
add_custom_command(OUTPUT ${_doc_dir}/mcisend.1.gz
  COMMAND ${CMAKE_COMMAND} ${_doc_vars} -DTEMPLATE=${PROJECT_SOURCE_DIR}/docs/man/mcisend.1.in
          -DCOMMANDS_FROM=${PROJECT_SOURCE_DIR}/platform/mci/README.md
          -DERRORS_TOOL=$<TARGET_FILE:mci_error_list>
          -DOUTPUT=${_doc_dir}/mcisend.1.gz -P ${_make_doc}
  DEPENDS ${PROJECT_SOURCE_DIR}/docs/man/mcisend.1.in ${PROJECT_SOURCE_DIR}/platform/mci/README.md
          mci_error_list ${_make_doc} VERBATIM)
add_custom_command(OUTPUT ${_doc_dir}/changelog.Debian.gz
  COMMAND ${CMAKE_COMMAND} ${_doc_vars} -DTEMPLATE=${PROJECT_SOURCE_DIR}/cmake/debian/changelog.in
          -DOUTPUT=${_doc_dir}/changelog.Debian.gz -P ${_make_doc}
  DEPENDS ${PROJECT_SOURCE_DIR}/cmake/debian/changelog.in ${_make_doc} VERBATIM)
add_custom_target(tapelark_package_files ALL DEPENDS
  ${_doc_dir}/tapelark.1.gz ${_doc_dir}/mcisend.1.gz ${_doc_dir}/changelog.Debian.gz)

# Made at configure time: no build step needed to validate or install them.
configure_file(${PROJECT_SOURCE_DIR}/assets/tapelark.metainfo.xml.in
               ${_doc_dir}/${TAPELARK_APPSTREAM_ID}.metainfo.xml @ONLY)
set(TAPELARK_METAINFO ${_doc_dir}/${TAPELARK_APPSTREAM_ID}.metainfo.xml)
execute_process(COMMAND ${CMAKE_COMMAND} ${_doc_vars}
                        -DTEMPLATE=${PROJECT_SOURCE_DIR}/cmake/debian/copyright.in
                        -DLICENSE_FILE=${PROJECT_SOURCE_DIR}/LICENSE
                        -DOUTPUT=${_doc_dir}/copyright -P ${_make_doc})

install(FILES ${_doc_dir}/tapelark.1.gz ${_doc_dir}/mcisend.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${TAPELARK_METAINFO} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${_doc_dir}/copyright ${_doc_dir}/changelog.Debian.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tapelark)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tapelark)
set(CPACK_PACKAGE_VENDOR "The Tapelark developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "record what a game emulator plays as WAVE files")
set(CPACK_PACKAGE_DESCRIPTION [[
Tapelark records the sound of a game emulator while you play: press Record,
play, press Stop, and save what was heard as a WAVE file (PCM, 2 channels,
16 bits, 44,100 Hz). Its Start VGS button wakes the emulator Connectix
Virtual Game Station or starts it. mcisend records without a window, from
scripts.]])
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TAPELARK_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${TAPELARK_HOME_PAGE}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window's stand-in fonts, a sound server to record from, Wayland
# sessions, and the browser opener behind the credits line.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "fonts-liberation2, pulseaudio | pipewire-pulse, qt6-wayland, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
