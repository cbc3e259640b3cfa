#!/usr/bin/env bash
# Installs what is missing, builds with Debian's hardening build flags, and makes the Debian
# package build/tarvo-consignment_<version>_amd64.deb; then checks it with lintian.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export EXTRA_PACKAGES="${EXTRA_PACKAGES:-} lintian dpkg-dev devscripts"
# The package is always built hardened (cmake/Hardening.cmake); in an optimised build that is
# what the build does anyway, so the test suite's build is reused as it is.
export CMAKE_EXTRA_ARGS="${CMAKE_EXTRA_ARGS:-} -DTARVO_HARDENING=ON"
source "$ROOT/scripts/setup.sh"

cd "$BUILD_DIR"
# Every source of the program went through the compiler with Debian's hardening flags (the link
# flags show in the binaries: tests/package/install_package.sh runs hardening-check on them).
# The tests' sources, and what the build generates for them, are not the program's.
python3 - compile_commands.json "$ROOT/tests/" "$BUILD_DIR/tests/" <<'PY'
import json, sys
needed = ["-D_FORTIFY_SOURCE=", "-fstack-protector-strong", "-Wformat", "-Werror=format-security"]
tests = tuple(sys.argv[2:])
commands = [c for c in json.load(open(sys.argv[1])) if not c["file"].startswith(tests)]
bad = [c["file"] for c in commands if not all(flag in c["command"] for flag in needed)]
if not commands or bad:
    sys.exit("not compiled with the hardening flags: " + (", ".join(bad[:5]) or "no sources"))
print("hardening flags: all %d sources compiled with %s" % (len(commands), " ".join(needed)))
PY
rm -f tarvo-consignment_*.deb
cpack -G DEB -B "$BUILD_DIR"
rm -rf "$BUILD_DIR/_CPack_Packages"
deb=$(ls "$BUILD_DIR"/tarvo-consignment_*_amd64.deb)
echo "Package: $deb"
# Errors and warnings fail the build; notes are shown.
lintian --fail-on warning --display-info --tag-display-limit 0 "$deb"
