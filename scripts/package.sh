#!/usr/bin/env bash
# Installs what is missing, builds, and makes the Debian package
# build/tarvo-consignment_<version>_amd64.deb; then checks it with lintian.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export EXTRA_PACKAGES="${EXTRA_PACKAGES:-} lintian dpkg-dev"
source "$ROOT/scripts/setup.sh"

cd "$BUILD_DIR"
rm -f tarvo-consignment_*.deb
cpack -G DEB -B "$BUILD_DIR"
rm -rf "$BUILD_DIR/_CPack_Packages"
deb=$(ls "$BUILD_DIR"/tarvo-consignment_*_amd64.deb)
echo "Package: $deb"
# Errors fail the build; warnings and notes are shown.
lintian --fail-on error --tag-display-limit 0 "$deb"
