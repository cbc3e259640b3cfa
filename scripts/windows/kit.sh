#!/usr/bin/env bash
# Cross-builds, from Debian 12's own sources (apt-get source), the libraries the program needs
# for 64-bit Windows (MinGW-w64, posix threads): zlib, SQLite, Qt's base modules with the ODBC
# and SQLite drivers and the windows and offscreen platform plugins, Qt's QML engine (for
# QJSEngine), libcurl with Windows' own TLS (schannel) and libxlsxwriter.
#
# The kit is installed into $TARVO_WINKIT_CACHE/<hash of this script and the toolchain file>,
# so a changed recipe builds a new kit next to the old one; when the kit is complete the script
# does nothing. TARVO_WINKIT names the install folder outright instead.
#
#   scripts/windows/kit.sh              build the kit (or do nothing when it is there)
#   scripts/windows/kit.sh --path       print the kit's folder
#   scripts/windows/kit.sh --check      exit 0 when the kit is complete, 1 when it is not
#
# Environment: JOBS (parallel jobs, default: the machine's cores), TARVO_WINKIT_WORK (sources
# and build trees, default /var/tmp/tarvo-winkit-work/<hash>; removed after a complete build
# unless TARVO_WINKIT_KEEP_WORK=1), TARVO_WINKIT_NO_APT=1 (do not install packages).
set -euo pipefail

HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
ROOT=$(cd "$HERE/../.." && pwd)
TOOLCHAIN=$ROOT/cmake/mingw-w64-x86_64.cmake

KIT_HASH=$(cat "${BASH_SOURCE[0]}" "$TOOLCHAIN" | sha256sum | cut -c1-16)
TARVO_WINKIT_CACHE=${TARVO_WINKIT_CACHE:-/var/cache/tarvo-winkit}
KIT=${TARVO_WINKIT:-$TARVO_WINKIT_CACHE/$KIT_HASH}
WORK=${TARVO_WINKIT_WORK:-/var/tmp/tarvo-winkit-work/$KIT_HASH}
JOBS=${JOBS:-$(nproc)}
TRIPLET=x86_64-w64-mingw32

case "${1:-}" in
  --path) echo "$KIT"; exit 0 ;;
  --check) [ -f "$KIT/.complete" ]; exit ;;
  "") ;;
  *) echo "usage: $0 [--path|--check]" >&2; exit 2 ;;
esac

if [ -f "$KIT/.complete" ]; then
  echo "Windows kit is complete: $KIT"
  exit 0
fi

# The packages the kit's build needs; scripts/windows/build.sh installs the rest.
KIT_PACKAGES=(
  dpkg-dev ca-certificates xz-utils bzip2 cmake ninja-build pkg-config perl tcl make
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  mingw-w64-x86-64-dev
  qt6-base-dev qt6-base-dev-tools qt6-declarative-dev qt6-declarative-dev-tools gcc
)
if [ "${TARVO_WINKIT_NO_APT:-0}" != 1 ]; then
  "$HERE/apt.sh" --sources "${KIT_PACKAGES[@]}"
fi

mkdir -p "$KIT/.parts" "$WORK"
TIMES=$KIT/build-times.txt
echo "Windows kit $KIT_HASH into $KIT (work: $WORK, $JOBS jobs)"

# Fetches one Debian source package into $WORK/<package> (unpacked, Debian's patches applied)
# and prints that folder.
source_of() {
  local package=$1 dir=$WORK/src/$1
  if [ ! -f "$dir/.fetched" ]; then
    rm -rf "$dir" && mkdir -p "$dir/dl"
    # The newest version first; an older one of the same release when a mirror lacks the
    # newest one's files.
    local version fetched=0
    for version in $(apt-cache showsrc "$package" | awk '/^Version:/ { print $2 }' | sort -Vru); do
      if (cd "$dir/dl" && apt-get source -q "$package=$version" >>"$dir/fetch.log" 2>&1); then
        fetched=1
        break
      fi
      find "$dir/dl" -mindepth 1 -delete
    done
    if [ "$fetched" = 0 ]; then
      cat "$dir/fetch.log" >&2
      echo "apt-get source $package failed (are deb-src lines in the apt sources?)" >&2
      return 1
    fi
    echo "$package $version" >"$dir/version"
    local tree
    tree=$(find "$dir/dl" -mindepth 1 -maxdepth 1 -type d | head -n1)
    mv "$tree" "$dir/tree"
    touch "$dir/.fetched"
  fi
  echo "$dir/tree"
}

# Runs one part (a function named part_<name>) unless it is already done, and records its time.
run_part() {
  local name=$1
  if [ -f "$KIT/.parts/$name" ]; then
    echo "== $name: done earlier ($(cat "$KIT/.parts/$name") s)"
    return
  fi
  echo "== $name: building ($(date -u +%H:%M:%S) UTC)"
  local start=$SECONDS
  "part_$name"
  local took=$((SECONDS - start))
  echo "$took" >"$KIT/.parts/$name"
  printf '%-14s %5d s\n' "$name" "$took" | tee -a "$TIMES"
}

# Configures the CMake project in $1 for Windows into the build tree $2 (further arguments are
# its options), builds and installs it into the kit. A build tree left by an interrupted run is
# built on, not started again.
cmake_part() {
  local src=$1 build=$2
  shift 2
  cmake -S "$src" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DTARVO_WINKIT="$KIT" \
    -DCMAKE_INSTALL_PREFIX="$KIT" -DCMAKE_BUILD_TYPE=Release "$@"
}

# Writes the kit's pkg-config file for a library built without one: name, description,
# version, the library's -l name.
write_pc() {
  printf 'prefix=%s\nlibdir=${prefix}/lib\nincludedir=${prefix}/include\n\nName: %s\nDescription: %s\nVersion: %s\nLibs: -L${libdir} -l%s\nCflags: -I${includedir}\n' \
    "$KIT" "$1" "$2" "$3" "$4" >"$KIT/lib/pkgconfig/$1.pc"
}

part_zlib() {
  local src build=$WORK/build/zlib
  src=$(source_of zlib)
  rm -rf "$build" && mkdir -p "$build" "$KIT/bin" "$KIT/lib/pkgconfig" "$KIT/include"
  # Debian's tarball leaves out the win32/ folder with zlib's own Windows makefile: zlib1.dll,
  # the name Windows builds of zlib have, straight from the library's sources.
  local f
  for f in adler32 compress crc32 deflate gzclose gzlib gzread gzwrite infback inffast inflate \
    inftrees trees uncompr zutil; do
    $TRIPLET-gcc-posix -O2 -D_LARGEFILE64_SOURCE=1 -c "$src/$f.c" -o "$build/$f.o"
  done
  $TRIPLET-gcc-posix -shared -o "$KIT/bin/zlib1.dll" "$build"/*.o -Wl,--out-implib,"$KIT/lib/libz.dll.a"
  cp "$src/zlib.h" "$src/zconf.h" "$KIT/include/"
  write_pc zlib "zlib compression library" \
    "$(sed -n 's/^#define ZLIB_VERSION "\(.*\)"/\1/p' "$src/zlib.h")" z
}

part_sqlite() {
  local src build=$WORK/build/sqlite
  src=$(source_of sqlite3)
  rm -rf "$build" && mkdir -p "$build" "$KIT/bin" "$KIT/lib/pkgconfig" "$KIT/include"
  # The amalgamation (sqlite3.c) is generated on the build machine, then compiled for Windows
  # into sqlite3.dll; sqlite3.c keeps its internals static, so only the API is exported.
  (cd "$build" && "$src/configure" --disable-tcl --disable-readline >configure.log && make sqlite3.c sqlite3.h)
  local options=(-DSQLITE_THREADSAFE=1 -DSQLITE_ENABLE_COLUMN_METADATA -DSQLITE_ENABLE_UNLOCK_NOTIFY
    -DSQLITE_ENABLE_DBSTAT_VTAB -DSQLITE_ENABLE_FTS5 -DSQLITE_ENABLE_MATH_FUNCTIONS
    -DSQLITE_SECURE_DELETE -DSQLITE_MAX_VARIABLE_NUMBER=250000)
  $TRIPLET-gcc-posix -O2 "${options[@]}" -shared -o "$KIT/bin/sqlite3.dll" "$build/sqlite3.c" \
    -Wl,--out-implib,"$KIT/lib/libsqlite3.dll.a"
  cp "$build/sqlite3.h" "$src/src/sqlite3ext.h" "$KIT/include/" 2>/dev/null || cp "$build/sqlite3.h" "$build/sqlite3ext.h" "$KIT/include/"
  write_pc sqlite3 "SQL database engine" \
    "$(sed -n 's/^#define SQLITE_VERSION *"\(.*\)"/\1/p' "$build/sqlite3.h")" sqlite3
}

part_qtbase() {
  local src build=$WORK/build/qtbase
  src=$(source_of qt6-base)
  # Only what the program links: Core, Gui, Widgets, Sql (ODBC, SQLite), PrintSupport, Network,
  # Test; the windows and offscreen platform plugins. Debian's tarball has no wintab.h (tablet
  # events off) and no bundled SQLite (the kit's SQLite instead). The windows plugin needs
  # OpenGL, so the default dynamic OpenGL stays.
  cmake_part "$src" "$build" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DBUILD_SHARED_LIBS=ON -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
    -DQT_BUILD_TOOLS_WHEN_CROSSCOMPILING=OFF -DQT_GENERATE_SBOM=OFF \
    -DFEATURE_tabletevent=OFF -DFEATURE_dbus=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF \
    -DFEATURE_opengl_dynamic=ON -DFEATURE_vulkan=OFF -DFEATURE_openssl=OFF \
    -DFEATURE_sql=ON -DFEATURE_sql_odbc=ON -DFEATURE_sql_sqlite=ON -DFEATURE_system_sqlite=ON \
    -DFEATURE_sql_psql=OFF -DFEATURE_sql_mysql=OFF -DFEATURE_sql_ibase=OFF -DFEATURE_sql_oci=OFF \
    -DFEATURE_sql_db2=OFF -DFEATURE_sql_mimer=OFF \
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF \
    -DFEATURE_system_freetype=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF \
    -DFEATURE_system_doubleconversion=OFF \
    -DSQLite3_INCLUDE_DIR="$KIT/include" -DSQLite3_LIBRARY="$KIT/lib/libsqlite3.dll.a"
}

# Debian's qt6-declarative source. Where the apt mirror lists the package but cannot serve its
# files, the kit cannot be built from Debian's sources: say so and stop.
qtdeclarative_source() {
  if ! source_of qt6-declarative; then
    echo "qt6-declarative: apt-get source failed; the QML engine (QJSEngine) cannot be built" >&2
    return 1
  fi
}

part_qtdeclarative() {
  local src build=$WORK/build/qtdeclarative
  src=$(qtdeclarative_source)
  # The QML engine for QJSEngine only: no Qt Quick (its shader tool is not looked for), no
  # debugging, networking, worker scripts or developer tools (the build machine's Qt has them).
  cmake_part "$src" "$build" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_PREFIX_PATH="$KIT" -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
    -DQT_BUILD_TOOLS_WHEN_CROSSCOMPILING=OFF \
    -DCMAKE_DISABLE_FIND_PACKAGE_Qt6ShaderToolsTools=ON \
    -DFEATURE_qml_network=OFF -DFEATURE_qml_debug=OFF -DFEATURE_qml_profiler=OFF \
    -DFEATURE_qml_preview=OFF -DFEATURE_qml_devtools=OFF -DFEATURE_qml_xml_http_request=OFF \
    -DFEATURE_qml_worker_script=OFF -DFEATURE_qml_xmllistmodel=OFF
}

part_curl() {
  local src build=$WORK/build/curl
  src=$(source_of curl)
  # SMTP over TLS for the error mail, with Windows' own TLS and certificate store.
  cmake_part "$src" "$build" -DBUILD_SHARED_LIBS=ON -DBUILD_CURL_EXE=OFF -DBUILD_TESTING=OFF \
    -DCURL_USE_SCHANNEL=ON -DCURL_USE_OPENSSL=OFF -DCURL_USE_LIBSSH2=OFF -DCURL_USE_LIBPSL=OFF \
    -DCURL_ZLIB=ON -DZLIB_INCLUDE_DIR="$KIT/include" -DZLIB_LIBRARY="$KIT/lib/libz.dll.a" \
    -DCURL_BROTLI=OFF -DCURL_ZSTD=OFF -DUSE_NGHTTP2=OFF -DUSE_LIBIDN2=OFF -DUSE_WIN32_IDN=OFF \
    -DCURL_DISABLE_LDAP=ON -DENABLE_MANUAL=OFF -DCURL_CA_PATH=none -DCURL_CA_BUNDLE=none
}

part_xlsxwriter() {
  local src build=$WORK/build/xlsxwriter
  src=$(source_of libxlsxwriter)
  cmake_part "$src" "$build" -DBUILD_SHARED_LIBS=ON -DBUILD_TESTS=OFF -DBUILD_EXAMPLES=OFF \
    -DUSE_SYSTEM_MINIZIP=OFF -DZLIB_INCLUDE_DIR="$KIT/include" -DZLIB_LIBRARY="$KIT/lib/libz.dll.a"
}

for part in ${TARVO_WINKIT_PARTS:-zlib sqlite qtbase qtdeclarative curl xlsxwriter}; do
  run_part "$part"
done

if [ -n "${TARVO_WINKIT_PARTS:-}" ]; then
  echo "Built only: $TARVO_WINKIT_PARTS"
  exit 0
fi
date -u +%FT%TZ >"$KIT/.complete"
echo "Windows kit complete: $KIT"
cat "$TIMES"
if [ "${TARVO_WINKIT_KEEP_WORK:-0}" != 1 ]; then rm -rf "$WORK"; fi
