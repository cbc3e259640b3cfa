#!/usr/bin/env bash
# Installs what is missing, builds, creates the embedded demo databases under demo/ and opens
# the program there as the demo clerk. Extra arguments replace the launch parameters, for
# example `scripts/demo.sh 2 1 DEMO - 2` for the quota report.
# With no display it runs under Xvfb and writes demo/screenshot.png.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$ROOT/scripts/setup.sh"

DEMO="$ROOT/demo"
mkdir -p "$DEMO"
"$BUILD_DIR/bin/tarvo-dbinit" --server "sqlite:$DEMO" --demo
printf 'sqlite:%s\n' "$DEMO" > "$DEMO/Server.Dat"
if [ -d "$ROOT/reports/definitions" ]; then
  cp "$ROOT"/reports/definitions/*.frf "$DEMO/" 2>/dev/null || true
fi

PARAMS=("$@")
if [ "${#PARAMS[@]}" -eq 0 ]; then PARAMS=(1 1 DEMO - 1); fi

cd "$DEMO"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: running under Xvfb, the screenshot goes to $DEMO/screenshot.png"
  export TARVO_SCREENSHOT="$DEMO/screenshot.png"
  export TARVO_DIALOG_LOG="$DEMO/dialogs.log"
  xvfb-run -a -s "-screen 0 1280x800x24" "$BUILD_DIR/bin/tarvo-consignment" "${PARAMS[@]}"
else
  exec "$BUILD_DIR/bin/tarvo-consignment" "${PARAMS[@]}"
fi
