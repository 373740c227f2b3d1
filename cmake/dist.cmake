# The distribution folder build/dist: everything Setup copies (the label program, the help
# book, Readme.txt, Uninstal and the help book's starter Qantlink) and Setup itself. Setup and
# Uninstal are stamped with the release's values; Setup's required space is the real size of
# the files it copies.

set(PELMORA_PRODUCT_NAME "Pelmora")
set(PELMORA_RELEASE_VERSION "${PROJECT_VERSION}")
# The release date shown in Setup's banner: the day of configuring unless given
# (SOURCE_DATE_EPOCH, when set, fixes the day for reproducible builds).
string(TIMESTAMP PELMORA_CONFIGURE_DAY "%d")
string(REGEX REPLACE "^0" "" PELMORA_CONFIGURE_DAY "${PELMORA_CONFIGURE_DAY}")
string(TIMESTAMP PELMORA_DEFAULT_RELEASE_DATE "%B ${PELMORA_CONFIGURE_DAY}, %Y")
set(PELMORA_RELEASE_DATE "${PELMORA_DEFAULT_RELEASE_DATE}" CACHE STRING
  "Release date stamped into Setup (\"July 17, 1998\" style)")

set(PELMORA_DIST_DIR ${CMAKE_BINARY_DIR}/dist)
set(PELMORA_DIST_SOURCES ${PROJECT_SOURCE_DIR}/setup/dist)
# The read-me names the release in its first line.
set(PELMORA_README ${CMAKE_BINARY_DIR}/generated/Readme.txt)
configure_file(${PELMORA_DIST_SOURCES}/Readme.txt ${PELMORA_README} @ONLY)
file(GLOB_RECURSE PELMORA_HELP_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/resources/help/*)

set(PELMORA_DIST_DONE ${CMAKE_BINARY_DIR}/pelmora_dist.done)
add_custom_command(OUTPUT ${PELMORA_DIST_DONE}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${PELMORA_DIST_DIR}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PELMORA_DIST_DIR}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:Pelmora> ${PELMORA_DIST_DIR}/Pelmora
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${PROJECT_SOURCE_DIR}/resources/help
    ${PELMORA_DIST_DIR}/help
  COMMAND ${CMAKE_COMMAND} -E copy ${PELMORA_README}
    ${PELMORA_DIST_SOURCES}/Qantlink ${PELMORA_DIST_DIR}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:Uninstal> ${PELMORA_DIST_DIR}/Uninstal
  COMMAND pelmora_stamp ${PELMORA_DIST_DIR}/Uninstal --name ${PELMORA_PRODUCT_NAME}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:Setup> ${PELMORA_DIST_DIR}/Setup
  COMMAND pelmora_stamp ${PELMORA_DIST_DIR}/Setup --name ${PELMORA_PRODUCT_NAME}
    --version ${PELMORA_RELEASE_VERSION} --date ${PELMORA_RELEASE_DATE}
    --space-of ${PELMORA_DIST_DIR}/Pelmora ${PELMORA_DIST_DIR}/help
      ${PELMORA_DIST_DIR}/Readme.txt ${PELMORA_DIST_DIR}/Uninstal ${PELMORA_DIST_DIR}/Qantlink
  COMMAND ${CMAKE_COMMAND} -E touch ${PELMORA_DIST_DONE}
  DEPENDS Pelmora Setup Uninstal pelmora_stamp ${PELMORA_HELP_SOURCES}
    ${PELMORA_README} ${PELMORA_DIST_SOURCES}/Qantlink
  COMMENT "Making the distribution folder ${PELMORA_DIST_DIR}"
  VERBATIM)
add_custom_target(pelmora_dist ALL DEPENDS ${PELMORA_DIST_DONE})
