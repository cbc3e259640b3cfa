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

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if [ "${#missing[@]}" -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_DIR=${BUILD_DIR:-$ROOT/build}
JOBS=${JOBS:-$(nproc)}

cmake -S "$ROOT" -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo} ${CMAKE_EXTRA_ARGS:-}
cmake --build "$BUILD_DIR" -j "$JOBS"
