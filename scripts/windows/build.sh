#!/usr/bin/env bash
# Builds the program for 64-bit Windows against the kit of scripts/windows/kit.sh, runs the
# unit and screen tests under Wine, checks the shipped programs (the demo made by
# tarvo-dbinit.exe, the consignment screen on the windows platform plugin under Xvfb with its
# screenshot, the quota report as PDF), and makes the shipped folder, its zip and the installer.
#
#   scripts/windows/build.sh [--no-tests]
#
# Output in $BUILD_DIR (default build-win/):
#   dist/tarvo-consignment/            the executables with every DLL and plugin they load
#   tarvo-consignment-<v>-win64.zip    that folder zipped
#   tarvo-consignment-<v>-setup.exe    the installer (NSIS)
#   check/screenshot.png, check/quota.pdf, ctest-wine.log, wine-skips.txt
# Environment: TARVO_WINKIT (the kit's folder; default: where kit.sh puts it), JOBS.
set -euo pipefail

HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
ROOT=$(cd "$HERE/../.." && pwd)
BUILD_DIR=${BUILD_DIR:-$ROOT/build-win}
JOBS=${JOBS:-$(nproc)}
RUN_TESTS=1
case "${1:-}" in
  --no-tests) RUN_TESTS=0 ;;
  "") ;;
  *) echo "usage: $0 [--no-tests]" >&2; exit 2 ;;
esac

KIT=$("$HERE/kit.sh" --path)
if ! "$HERE/kit.sh" --check; then
  echo "No complete Windows kit at $KIT: build it first with scripts/windows/kit.sh" >&2
  exit 1
fi
export TARVO_WINKIT=$KIT

WINDOWS_PACKAGES=(
  cmake ninja-build pkg-config ccache
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
  qt6-base-dev qt6-base-dev-tools qt6-declarative-dev qt6-declarative-dev-tools
  wine wine64 xvfb xauth fonts-thai-tlwg fonts-dejavu-core unixodbc tdsodbc odbcinst python3 poppler-utils
  nsis zip
)
if [ "${TARVO_WINKIT_NO_APT:-0}" != 1 ]; then
  "$HERE/apt.sh" "${WINDOWS_PACKAGES[@]}"
fi

step() { echo "== windows: $* ($(date -u +%H:%M:%S) UTC)"; }
fail() { echo "windows build: $*" >&2; exit 1; }
winpath() { printf 'Z:%s' "${1//\//\\}"; }

step "configure and build"
# Qt's offscreen platform on Windows reads its fonts from one flat folder: the Thai and Latin
# fonts of the build machine, linked into one.
fonts=$BUILD_DIR/fonts
mkdir -p "$fonts"
find /usr/share/fonts/truetype/tlwg /usr/share/fonts/truetype/dejavu -name '*.ttf' \
  -exec ln -sf {} "$fonts/" \;
export CMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}
export CMAKE_C_COMPILER_LAUNCHER=${CMAKE_C_COMPILER_LAUNCHER:-ccache}
cmake -S "$ROOT" -B "$BUILD_DIR" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" -DTARVO_WINKIT="$KIT" \
  -DCMAKE_PREFIX_PATH="$KIT" -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DCMAKE_CROSSCOMPILING_EMULATOR="$HERE/wine-run.sh" -DTARVO_TEST_FONTDIR="Z:$fonts" \
  -DCMAKE_STRIP="$(command -v x86_64-w64-mingw32-strip)" -DCMAKE_BUILD_TYPE=Release -DTARVO_WERROR=ON
cmake --build "$BUILD_DIR" -j"$JOBS"

export WINEPREFIX=$BUILD_DIR/wine
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  step "Wine prefix"
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w
fi

step "shipped folder"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$BUILD_DIR/CMakeCache.txt")
stage=$BUILD_DIR/stage
dist=$BUILD_DIR/dist/tarvo-consignment
rm -rf "$stage" "$BUILD_DIR/dist"
cmake --install "$BUILD_DIR" --prefix "$stage" --strip >/dev/null
rm -rf "$stage/doc/man" # Debian's manual pages
mkdir -p "$dist"
cp -r "$stage"/. "$dist"/
# The plugins Qt loads at run time: the windows platform, the SQL drivers, the native style,
# image formats and Windows' TLS for the network module.
for plugin in platforms/qwindows.dll sqldrivers/qsqlite.dll sqldrivers/qsqlodbc.dll \
  styles/qwindowsvistastyle.dll imageformats/qico.dll imageformats/qgif.dll imageformats/qjpeg.dll \
  tls/qschannelbackend.dll tls/qcertonlybackend.dll; do
  if [ -f "$KIT/plugins/$plugin" ]; then
    mkdir -p "$dist/$(dirname "$plugin")"
    cp "$KIT/plugins/$plugin" "$dist/$plugin"
  elif [ "$plugin" = platforms/qwindows.dll ] || [[ "$plugin" == sqldrivers/* ]]; then
    fail "the kit has no $plugin"
  fi
done
# Every DLL the executables and plugins import that is not Windows' own, found in the kit or
# the compiler's runtime, copied next to the executables (again for what those import).
runtime=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")
lib_dirs=("$KIT/bin" "$runtime" /usr/x86_64-w64-mingw32/lib)
queue=("$dist"/*.exe)
while IFS= read -r -d '' f; do queue+=("$f"); done < <(find "$dist" -mindepth 2 -name '*.dll' -print0)
declare -A seen=()
while [ "${#queue[@]}" -gt 0 ]; do
  file=${queue[0]}
  queue=("${queue[@]:1}")
  while read -r dll; do
    key=${dll,,}
    [ -n "${seen[$key]:-}" ] && continue
    seen[$key]=1
    for d in "${lib_dirs[@]}"; do
      if [ -f "$d/$dll" ]; then
        cp "$d/$dll" "$dist/"
        queue+=("$dist/$dll")
        break
      fi
    done
  done < <(x86_64-w64-mingw32-objdump -p "$file" | sed -n 's/^\s*DLL Name: //p')
done
# What is left unresolved must be Windows' own.
for f in "$dist"/*.exe "$dist"/*.dll; do
  x86_64-w64-mingw32-objdump -p "$f" | sed -n 's/^\s*DLL Name: //p'
done | sort -fu >"$BUILD_DIR/imports.txt"
while read -r dll; do
  [ -f "$dist/$dll" ] && continue
  case "${dll,,}" in
    api-ms-win-*|kernel32.dll|user32.dll|gdi32.dll|advapi32.dll|shell32.dll|ole32.dll|oleaut32.dll|\
    ws2_32.dll|winmm.dll|imm32.dll|comdlg32.dll|winspool.drv|uxtheme.dll|dwmapi.dll|version.dll|\
    netapi32.dll|userenv.dll|iphlpapi.dll|crypt32.dll|secur32.dll|bcrypt.dll|ncrypt.dll|odbc32.dll|\
    msvcrt.dll|mpr.dll|dnsapi.dll|shlwapi.dll|setupapi.dll|wtsapi32.dll|d3d9.dll|d3d11.dll|\
    d3d12.dll|dxgi.dll|d2d1.dll|dwrite.dll|dcomp.dll|normaliz.dll|wldap32.dll|authz.dll|\
    comctl32.dll|rpcrt4.dll|ntdll.dll|opengl32.dll|shcore.dll|wininet.dll|dbghelp.dll|psapi.dll|\
    powrprof.dll|winhttp.dll|oleacc.dll|urlmon.dll|msimg32.dll|usp10.dll|gdiplus.dll|wsock32.dll|\
    mswsock.dll|dxgi.dll|d3dcompiler_47.dll|userenv.dll|hid.dll) ;;
    *) fail "$dll is imported but neither shipped nor part of Windows" ;;
  esac
done <"$BUILD_DIR/imports.txt"

if [ "$RUN_TESTS" = 1 ]; then
  step "unit and screen tests under Wine"
  rc=0
  ctest --test-dir "$BUILD_DIR" -L 'unit|screen' -j"$JOBS" --output-on-failure \
    --output-log "$BUILD_DIR/ctest-wine.log" || rc=$?
  # What the tests skipped here (Qt Test's SKIP lines), with their reasons.
  grep -h -A1 '^SKIP   :' "$BUILD_DIR/ctest-wine.log" | grep -v '^--$' >"$BUILD_DIR/wine-skips.txt" || true
  echo "Skipped under Wine: $(grep -c '^SKIP   :' "$BUILD_DIR/wine-skips.txt" || true) (see $BUILD_DIR/wine-skips.txt)"
  [ "$rc" -eq 0 ] || fail "tests failed under Wine"

  step "the shipped programs under Wine"
  check=$BUILD_DIR/check
  rm -rf "$check" && mkdir -p "$check/db"
  cd "$check"
  export TARVO_WINE_SHIPPED=1
  "$HERE/wine-run.sh" "$dist/tarvo-dbinit.exe" --server "sqlite:$(winpath "$check/db")" --demo
  printf 'sqlite:%s\r\n' "$(winpath "$check/db")" >Server.Dat
  export TARVO_DIALOG_LOG=$(winpath "$check/dialogs.log")
  # The consignment screen on the windows platform plugin, as the clerk sees it.
  rc=0
  TARVO_SCREENSHOT=$(winpath "$check/screenshot.png") QT_QPA_PLATFORM=windows \
    xvfb-run -a -s "-screen 0 1280x800x24" "$HERE/wine-run.sh" "$dist/tarvo-consignment.exe" 1 1 DEMO - 1 || rc=$?
  [ "$rc" -eq 0 ] || fail "the consignment screen ended with code $rc"
  [ -s screenshot.png ] || fail "no screenshot"
  [ ! -s dialogs.log ] || { cat dialogs.log; fail "the consignment screen showed a message"; }
  # The quota report from the shipped folder's definition, written as PDF.
  rc=0
  TARVO_REPORT_PDF=$(winpath "$check/quota.pdf") QT_QPA_PLATFORM=offscreen \
    "$HERE/wine-run.sh" "$dist/tarvo-consignment.exe" 2 1 DEMO - 2 || rc=$?
  [ "$rc" -eq 0 ] || { cat dialogs.log 2>/dev/null; fail "the quota report ended with code $rc"; }
  [ ! -s dialogs.log ] || { cat dialogs.log; fail "the quota report showed a message"; }
  pdftotext quota.pdf - | grep -q "รายงานโควต้าลูกค้า" || fail "the quota report's PDF lacks its title"
  unset TARVO_WINE_SHIPPED TARVO_DIALOG_LOG
  cd "$ROOT"
fi

step "zip and installer"
zip_file=$BUILD_DIR/tarvo-consignment-$version-win64.zip
setup_file=$BUILD_DIR/tarvo-consignment-$version-setup.exe
rm -f "$zip_file" "$setup_file"
(cd "$BUILD_DIR/dist" && zip -qr9 "$zip_file" tarvo-consignment)
makensis -V2 -DVERSION="$version" -DSOURCE_DIR="$dist" -DOUT_FILE="$setup_file" \
  "$HERE/installer.nsi"
ls -l "$zip_file" "$setup_file"

if [ "$RUN_TESTS" = 1 ]; then
  step "the installer under Wine: install, run, uninstall"
  installed="$WINEPREFIX/drive_c/Program Files/Tarvo Consignment"
  suite=$BUILD_DIR/check/suite
  rm -rf "$suite" "$installed"
  TARVO_WINE_SHIPPED=1 "$HERE/wine-run.sh" "$setup_file" /S "/SUITE=$(winpath "$suite")"
  wineserver -w
  for f in tarvo-consignment.exe tarvo-dbinit.exe uninstall.exe platforms/qwindows.dll \
    sqldrivers/qsqlodbc.dll reports/RP_CustomerQuotaGroupPrice_Tarvo.frf doc/ADMIN.md; do
    [ -f "$installed/$f" ] || fail "the installer did not install $f"
  done
  [ -f "$suite/QLM.INI" ] && [ -f "$suite/Server.Dat" ] || fail "the installer did not put the sample settings into the suite's folder"
  start_menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Tarvo Consignment"
  [ -f "$start_menu/Database set-up (tarvo-dbinit).lnk" ] || fail "no Start-menu entry for tarvo-dbinit"
  # The installed program on the demo: databases opened, rights checked, no window, code 0.
  printf 'sqlite:%s\r\n' "$(winpath "$BUILD_DIR/check/db")" >"$suite/Server.Dat"
  rc=0
  (cd "$suite" && TARVO_WINE_SHIPPED=1 QT_QPA_PLATFORM=offscreen \
    "$HERE/wine-run.sh" "C:\\Program Files\\Tarvo Consignment\\tarvo-consignment.exe" 1 1 DEMO - 3) || rc=$?
  [ "$rc" -eq 0 ] || fail "the installed program ended with code $rc"
  TARVO_WINE_SHIPPED=1 "$HERE/wine-run.sh" "$installed/uninstall.exe" /S
  wineserver -w
  sleep 2
  [ ! -e "$installed/tarvo-consignment.exe" ] || fail "the uninstaller left the program"
  [ -f "$suite/QLM.INI" ] || fail "the uninstaller removed the suite's QLM.INI"
fi
echo "Installer: $(du -k "$setup_file" | cut -f1) KiB, zip: $(du -k "$zip_file" | cut -f1) KiB"
echo "windows build: passed"
