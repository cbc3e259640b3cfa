# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (posix threads, so std::thread and
# std::mutex work). Used by scripts/windows/kit.sh for the libraries and by
# scripts/windows/build.sh for the program.
#
# TARVO_WINKIT (cache variable or environment) names the kit's install folder; it is searched
# for libraries, headers and CMake packages besides the compiler's own sysroot.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_tarvo_triplet x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${_tarvo_triplet}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_tarvo_triplet}-g++-posix)
set(CMAKE_RC_COMPILER ${_tarvo_triplet}-windres)
set(CMAKE_AR ${_tarvo_triplet}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${_tarvo_triplet}-gcc-ranlib-posix CACHE FILEPATH "")

if(NOT TARVO_WINKIT AND DEFINED ENV{TARVO_WINKIT})
  set(TARVO_WINKIT "$ENV{TARVO_WINKIT}")
endif()
# try_compile() projects read the toolchain again: hand the kit on to them.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TARVO_WINKIT)

set(CMAKE_FIND_ROOT_PATH /usr/${_tarvo_triplet})
if(TARVO_WINKIT)
  list(PREPEND CMAKE_FIND_ROOT_PATH "${TARVO_WINKIT}")
endif()
# Programs (moc, the compilers) come from the build machine; everything linked comes from the
# sysroot or the kit.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config reads the kit's .pc files only, never the build machine's.
if(TARVO_WINKIT)
  set(ENV{PKG_CONFIG_LIBDIR} "${TARVO_WINKIT}/lib/pkgconfig")
  set(ENV{PKG_CONFIG_PATH} "")
endif()
