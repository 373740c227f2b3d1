# The release version as a C++ header (pelmora/version.h) for every program that prints it.
configure_file(${CMAKE_CURRENT_LIST_DIR}/version.h.in
  ${CMAKE_BINARY_DIR}/generated/pelmora/version.h @ONLY)
add_library(pelmora_version INTERFACE)
target_include_directories(pelmora_version INTERFACE ${CMAKE_BINARY_DIR}/generated)
