# Debian's hardening build flags, as dpkg-buildflags gives them with every hardening feature on:
# _FORTIFY_SOURCE, the strong stack protector, format-string checks, RELRO and BIND_NOW (PIE is
# the compiler's default on Debian). The package and every optimised build of the program use
# them.
#
# TARVO_HARDENING: AUTO (the default) uses them in Release, RelWithDebInfo and MinSizeRel builds
# for Linux, but not under the sanitizers or the fuzzers (their checked functions and FORTIFY's
# get in each other's way) nor when cross-compiling; ON insists (and fails without
# dpkg-buildflags); OFF goes without. Optimisation and debug information stay the build type's.
set(TARVO_HARDENING AUTO CACHE STRING "Debian's hardening build flags: AUTO, ON or OFF")
set_property(CACHE TARVO_HARDENING PROPERTY STRINGS AUTO ON OFF)

set(TARVO_HARDENING_COMPILE_OPTIONS)
set(_tarvo_harden ${TARVO_HARDENING})
if(_tarvo_harden STREQUAL "AUTO")
  if(WIN32 OR CMAKE_CROSSCOMPILING OR TARVO_SANITIZE OR TARVO_FUZZ
     OR NOT CMAKE_BUILD_TYPE MATCHES "^(Release|RelWithDebInfo|MinSizeRel)$")
    set(_tarvo_harden OFF)
  endif()
endif()

if(_tarvo_harden)
  find_program(TARVO_DPKG_BUILDFLAGS dpkg-buildflags)
  if(NOT TARVO_DPKG_BUILDFLAGS)
    if(TARVO_HARDENING STREQUAL "ON")
      message(FATAL_ERROR "TARVO_HARDENING=ON needs dpkg-buildflags (Debian package dpkg-dev)")
    endif()
    message(STATUS "Hardening: dpkg-buildflags not found, building without Debian's hardening flags")
    set(_tarvo_harden OFF)
  endif()
endif()

if(_tarvo_harden)
  set(_tarvo_flags)
  foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
    execute_process(
      COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all ${TARVO_DPKG_BUILDFLAGS} --get ${kind}
      OUTPUT_VARIABLE _tarvo_value OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    separate_arguments(_tarvo_value UNIX_COMMAND "${_tarvo_value}")
    # The build type sets optimisation and debug information; the prefix map names the folder
    # dpkg-buildflags ran in, which is not the source tree.
    list(FILTER _tarvo_value EXCLUDE REGEX "^-(g.*|O.*|ffile-prefix-map=.*|fdebug-prefix-map=.*)$")
    set(_tarvo_${kind} ${_tarvo_value})
  endforeach()
  # The compile flags go to the program's folders only (the top-level CMakeLists.txt takes them
  # away again before the tests, which are not shipped); the link flags go everywhere.
  set(TARVO_HARDENING_COMPILE_OPTIONS ${_tarvo_CPPFLAGS} ${_tarvo_CXXFLAGS})
  add_compile_options(${TARVO_HARDENING_COMPILE_OPTIONS})
  add_link_options(${_tarvo_LDFLAGS})
  list(JOIN _tarvo_CPPFLAGS " " _tarvo_shown_cpp)
  list(JOIN _tarvo_CXXFLAGS " " _tarvo_shown_cxx)
  list(JOIN _tarvo_LDFLAGS " " _tarvo_shown_ld)
  message(STATUS "Hardening: ${_tarvo_shown_cpp} ${_tarvo_shown_cxx} ${_tarvo_shown_ld}")
endif()
