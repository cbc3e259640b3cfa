#!/usr/bin/env bash
# Runs a Windows program of the Windows build under Wine: CTest's emulator for the tests and
# build.sh's runner for the programs. The DLLs are found in the kit and the compiler's runtime
# folder (WINEPATH), Qt's plugins in the kit; the Wine prefix is the build folder's own.
#   wine-run.sh program.exe [arguments...]
# Environment: TARVO_WINKIT (the kit), WINEPREFIX (default: <build>/wine next to this run's
# program when unset; build.sh sets it).
set -euo pipefail
: "${TARVO_WINKIT:?TARVO_WINKIT names the Windows kit}"
: "${WINEPREFIX:?WINEPREFIX names the Wine prefix}"
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installer prompts: the programs need neither.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
runtime=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")
winpath() { printf 'Z:%s' "${1//\//\\}"; }
export WINEPATH="$(winpath "$TARVO_WINKIT/bin");$(winpath "$runtime");$(winpath /usr/x86_64-w64-mingw32/lib)"
export QT_PLUGIN_PATH="$(winpath "$TARVO_WINKIT/plugins")"
exec wine "$@"
