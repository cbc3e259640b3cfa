#!/usr/bin/env bash
# Runs a Windows program of the Windows build under Wine: CTest's emulator for the tests and
# build.sh's runner for the programs. The DLLs are found in the kit and the compiler's runtime
# folder (WINEPATH), Qt's plugins in the kit; the Wine prefix is the build folder's own.
#   wine-run.sh program.exe [arguments...]
# Environment: TARVO_WINKIT (the kit), WINEPREFIX (build.sh sets both), TARVO_WINE_SHIPPED=1
# (a program of the shipped folder: neither the kit's DLLs nor its plugins).
set -euo pipefail
: "${TARVO_WINKIT:?TARVO_WINKIT names the Windows kit}"
: "${WINEPREFIX:?WINEPREFIX names the Wine prefix}"
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installer prompts: the programs need neither.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
# The shipped folder's programs run on what the folder holds only: a DLL or plugin missing
# there fails as it would on Windows.
if [ "${TARVO_WINE_SHIPPED:-0}" = 1 ]; then
  unset WINEPATH QT_PLUGIN_PATH
  exec wine "$@"
fi
runtime=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")
winpath() { printf 'Z:%s' "${1//\//\\}"; }
export WINEPATH="$(winpath "$TARVO_WINKIT/bin");$(winpath "$runtime");$(winpath /usr/x86_64-w64-mingw32/lib)"
export QT_PLUGIN_PATH="$(winpath "$TARVO_WINKIT/plugins")"
exec wine "$@"
