# The build flags a distribution gives its packages: fortified libc calls, a stack protector,
# full RELRO with immediate binding, control-flow protection where the processor has it,
# and position-independent executables. On by default for
# optimised builds; the sanitizer and fuzzing builds leave them out (_FORTIFY_SOURCE's checked
# calls hide accesses from AddressSanitizer, and it needs optimisation anyway).
set(PELMORA_HARDEN_DEFAULT ON)
if(PELMORA_SANITIZE OR PELMORA_FUZZ OR CMAKE_BUILD_TYPE STREQUAL "Debug")
  set(PELMORA_HARDEN_DEFAULT OFF)
endif()
option(PELMORA_HARDEN "Build with the hardening flags of a distribution package"
  ${PELMORA_HARDEN_DEFAULT})

if(PELMORA_HARDEN)
  include(CheckPIESupported)
  check_pie_supported(LANGUAGES C CXX)
  set(CMAKE_POSITION_INDEPENDENT_CODE ON)
  add_compile_options(-U_FORTIFY_SOURCE -D_FORTIFY_SOURCE=2 -fstack-protector-strong
                      -fstack-clash-protection -Wformat -Werror=format-security)
  add_link_options(-Wl,-z,relro -Wl,-z,now)
  # Control-flow protection (x86's indirect branch tracking and shadow stack markings).
  include(CheckCXXCompilerFlag)
  check_cxx_compiler_flag(-fcf-protection PELMORA_HAS_CF_PROTECTION)
  if(PELMORA_HAS_CF_PROTECTION)
    add_compile_options(-fcf-protection)
  endif()
endif()
