# Installing into the usual places (cmake --install BUILD --prefix PREFIX) and the Debian
# package (cpack -G DEB in the build folder):
#
#   bin/pelmora -> ../lib/pelmora/Pelmora   the label program, in a folder of its own where
#                                           it finds its help book
#   bin/pelmora-cli
#   lib/pelmora/help -> ../../share/pelmora/help
#   share/pelmora/help/                     the help book
#   share/doc/pelmora/Readme.txt
#   share/mime/packages/pelmora.xml         the label and template document types
#   share/applications/pelmora.desktop      the menu entry, and the document handlers
#     pelmora-label.desktop, pelmora-template.desktop
#   share/icons/hicolor/NxN/{apps,mimetypes}/   the program's and the documents' icons
#   share/man/man1/pelmora.1.gz, pelmora-cli.1.gz   the manual pages
#   share/bash-completion/completions/pelmora-cli   the command-line completion
#   share/metainfo/org.example.pelmora.metainfo.xml the software centres' description
#   share/pelmora/screenshots/                      the screenshot it names
#   share/doc/pelmora/copyright, changelog.Debian.gz
#   share/lintian/overrides/pelmora                 the tags lintian is told to pass over
#
# Setup and Uninstall are the per-user way to install and are not part of this layout.

include(GNUInstallDirs)

# The label program's own folder, where it finds its help book beside it.
set(PELMORA_PROGRAM_DIR lib/pelmora)
set(PELMORA_HELP_DIR ${CMAKE_INSTALL_DATADIR}/pelmora/help)

install(TARGETS Pelmora RUNTIME DESTINATION ${PELMORA_PROGRAM_DIR})
install(TARGETS pelmora-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/resources/help/ DESTINATION ${PELMORA_HELP_DIR})
install(FILES ${PELMORA_README}
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/pelmora)

# Relative links, so the installed tree can be moved (DESTDIR staging, another prefix).
file(RELATIVE_PATH PELMORA_PROGRAM_FROM_BIN /${CMAKE_INSTALL_BINDIR} /${PELMORA_PROGRAM_DIR}/Pelmora)
file(RELATIVE_PATH PELMORA_HELP_FROM_PROGRAM /${PELMORA_PROGRAM_DIR} /${PELMORA_HELP_DIR})
install(CODE "
  set(root \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\")
  file(MAKE_DIRECTORY \"\${root}/${CMAKE_INSTALL_BINDIR}\")
  file(CREATE_LINK \"${PELMORA_PROGRAM_FROM_BIN}\" \"\${root}/${CMAKE_INSTALL_BINDIR}/pelmora\"
    SYMBOLIC)
  file(CREATE_LINK \"${PELMORA_HELP_FROM_PROGRAM}\" \"\${root}/${PELMORA_PROGRAM_DIR}/help\"
    SYMBOLIC)
  message(STATUS \"Linking: \${root}/${CMAKE_INSTALL_BINDIR}/pelmora\")
")

# The desktop files: the same texts the program writes for the user at start-up, with the
# program started through its link on the path.
set(PELMORA_PROGRAM pelmora)
foreach(entry pelmora.desktop pelmora-label.desktop pelmora-template.desktop)
  configure_file(${PROJECT_SOURCE_DIR}/resources/desktop/${entry}
    ${CMAKE_BINARY_DIR}/desktop/${entry} @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/desktop/${entry}
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/resources/desktop/pelmora.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
foreach(size 16 32 48)
  set(icons ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size})
  install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/pelmora-${size}.png
    DESTINATION ${icons}/apps RENAME pelmora.png)
  install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/label-file-${size}.png
    DESTINATION ${icons}/mimetypes RENAME application-x-pelmora-label.png)
  install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/template-file-${size}.png
    DESTINATION ${icons}/mimetypes RENAME application-x-pelmora-template.png)
endforeach()

# The manual pages and the completion, written from the programs' usage tables
# (tools/CMakeLists.txt).
install(FILES ${PELMORA_MANUALS_DIR}/pelmora.1.gz ${PELMORA_MANUALS_DIR}/pelmora-cli.1.gz
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PELMORA_MANUALS_DIR}/pelmora-cli
  DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)

# The release's version, date and web site fill in the change log and the AppStream data.
set(PELMORA_PACKAGE_RELEASE 1)
set(PELMORA_PACKAGE_VERSION ${PROJECT_VERSION}-${PELMORA_PACKAGE_RELEASE})
set(PELMORA_WEB_SITE "https://pelmora.example.org/")
set(PELMORA_APPSTREAM_ID org.example.pelmora)
set(PELMORA_SCREENSHOT pelmora-window.png)
include(${CMAKE_CURRENT_LIST_DIR}/release_date.cmake)
set(PELMORA_PACKAGING_DIR ${CMAKE_BINARY_DIR}/packaging)
configure_file(${PROJECT_SOURCE_DIR}/packaging/pelmora.metainfo.xml.in
  ${PELMORA_PACKAGING_DIR}/${PELMORA_APPSTREAM_ID}.metainfo.xml @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.in
  ${PELMORA_PACKAGING_DIR}/changelog.Debian @ONLY)
# -n: no name or time stamp in the archive, so the same change log gives the same bytes.
execute_process(COMMAND gzip -9nf ${PELMORA_PACKAGING_DIR}/changelog.Debian
  RESULT_VARIABLE PELMORA_GZIP_RESULT)
if(NOT PELMORA_GZIP_RESULT EQUAL 0)
  message(FATAL_ERROR "gzip could not compress the change log")
endif()
install(FILES ${PELMORA_PACKAGING_DIR}/${PELMORA_APPSTREAM_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/screenshots/${PELMORA_SCREENSHOT}
  DESTINATION ${CMAKE_INSTALL_DATADIR}/pelmora/screenshots)
# The lintian tags the package overrides, each with its reason (docs/INSTALL.md).
install(FILES ${PROJECT_SOURCE_DIR}/packaging/lintian-overrides
  DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME pelmora)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright
  ${PELMORA_PACKAGING_DIR}/changelog.Debian.gz
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/pelmora)

# The Debian package. The desktop's MIME, menu and icon caches are refreshed by the triggers
# of shared-mime-info, desktop-file-utils and the icon theme, so no maintainer scripts.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pelmora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_PACKAGE_RELEASE ${PELMORA_PACKAGE_RELEASE})
set(CPACK_PACKAGE_VENDOR "Pelmora")
set(CPACK_PACKAGE_CONTACT "Pelmora maintainers <pelmora@example.org>")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${PELMORA_WEB_SITE})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "catalogs removable disks and prints labels for them")
# Lines of at most 80 columns, as the package's control file shows them.
set(CPACK_PACKAGE_DESCRIPTION "Pelmora reads a disk's volume name, space figures and directory tree
(optionally inside ZIP and ARJ archives, filtered by patterns) and lays the
names out in columns on a disk label that prints at true size. Labels are
saved as .PMB files; a disk can carry a hidden .PMT template that formats its
label whenever it is read.

pelmora-cli catalogs folders and shows, paints and prints label files from
scripts.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# "Arial" in label styles resolves to Liberation Sans.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, shared-mime-info, desktop-file-utils")
include(CPack)
