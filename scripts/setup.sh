#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need (only what is missing),
# then configures and builds into build/. Sourced by test.sh and demo.sh.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-declarative-dev libgl-dev
  libqt6sql6-sqlite libqt6sql6-odbc unixodbc-dev tdsodbc libsqliteodbc
  libsqlite3-dev sqlite3 libcurl4-openssl-dev libxlsxwriter-dev zlib1g-dev
  fonts-thai-tlwg libthai0 fonts-dejavu-core
  xvfb xauth poppler-utils python3 python3-aiosmtpd sqlfluff
  libreoffice-writer-nogui libreoffice-calc-nogui
  clang libclang-rt-14-dev
  ${EXTRA_PACKAGES:-}
)

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$ROOT/scripts/apt-install.sh" "${PACKAGES[@]}"
BUILD_DIR=${BUILD_DIR:-$ROOT/build}
JOBS=${JOBS:-$(nproc)}

cmake -S "$ROOT" -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo} ${CMAKE_EXTRA_ARGS:-}
cmake --build "$BUILD_DIR" -j "$JOBS"
