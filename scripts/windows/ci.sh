#!/usr/bin/env bash
# CI's Windows stage. When the Windows kit is in its cache folder: builds the Windows program,
# runs its tests under Wine and builds the installer (scripts/windows/build.sh). When it is not:
# builds the kit first if that fits in what is left of CI's time, otherwise reports the stage
# as skipped, with the command that builds the kit, and ends with success.
#
# Environment: CI_BUDGET_MINUTES (CI's whole time, default 90), CI_ELAPSED_SECONDS (time CI has
# used so far; default: the age of the calling .ci/run process), TARVO_WINKIT_MINUTES (what the
# kit takes to build here, measured: see README.md), TARVO_WINBUILD_MINUTES (the Windows build,
# its tests and the installer).
set -euo pipefail
HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

budget=${CI_BUDGET_MINUTES:-90}
kit_minutes=${TARVO_WINKIT_MINUTES:-150}
build_minutes=${TARVO_WINBUILD_MINUTES:-30}
elapsed=${CI_ELAPSED_SECONDS:-$(ps -o etimes= -p "$PPID" 2>/dev/null | tr -d ' ' || echo 0)}
left=$((budget - ${elapsed:-0} / 60))

if ! "$HERE/kit.sh" --check; then
  kit=$("$HERE/kit.sh" --path)
  if [ $((kit_minutes + build_minutes)) -le "$left" ]; then
    echo "Windows kit not in $kit: building it (about $kit_minutes min, $left min of CI left)"
    "$HERE/kit.sh"
  else
    echo "Windows stage SKIPPED: the kit is not in $kit, and building it (about $kit_minutes min)"
    echo "plus the Windows build (about $build_minutes min) does not fit in the $left min of CI left."
    echo "Build the kit once on this machine with: bash scripts/windows/kit.sh"
    exit 0
  fi
fi
"$HERE/build.sh"
