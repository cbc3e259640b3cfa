#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export CMAKE_EXTRA_ARGS="${CMAKE_EXTRA_ARGS:-} -DTARVO_WERROR=ON"
source "$ROOT/scripts/setup.sh"
cd "$BUILD_DIR"
ctest --output-on-failure -j "${JOBS}" "$@"
