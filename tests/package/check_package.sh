#!/usr/bin/env bash
# Checks the Debian package as it will be installed: unpacks it into an empty root, builds the
# embedded demo with the unpacked tarvo-dbinit in an empty working directory, and starts the
# unpacked program there: once with a selector that opens no window, once on the quota report,
# whose definition must come from the package's data folder (the working directory has none).
# Usage: tests/package/check_package.sh build/tarvo-consignment_<version>_amd64.deb
set -euo pipefail
deb=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root="$work/root"
run="$work/run"
mkdir -p "$root" "$run"

fail() { echo "package check: $*" >&2; exit 1; }

dpkg-deb -x "$deb" "$root"
for f in usr/bin/tarvo-consignment usr/bin/tarvo-dbinit \
         usr/share/tarvo-consignment/reports/RP_CustomerQuotaGroupPrice_Tarvo.frf \
         usr/share/doc/tarvo-consignment/copyright usr/share/doc/tarvo-consignment/ADMIN.md \
         usr/share/doc/tarvo-consignment/examples/QLM.INI usr/share/doc/tarvo-consignment/examples/Server.Dat; do
  [ -e "$root/$f" ] || fail "missing /$f"
done
ls "$root"/usr/share/tarvo-consignment/sql/*.sql > /dev/null || fail "no T-SQL scripts"
# Nothing of the build or source tree is named in what was installed.
if grep -rl --binary-files=text -e "$(dirname "$deb")" -e "$(cd "$(dirname "$0")/../.." && pwd)/reports" "$root" ; then
  fail "the package refers to the build or source tree"
fi

cd "$run"
"$root/usr/bin/tarvo-dbinit" --server "sqlite:$run/db" --demo
printf 'sqlite:%s\n' "$run/db" > Server.Dat
export QT_QPA_PLATFORM=offscreen
export TARVO_DIALOG_LOG="$run/dialogs.log"

# Selector 3: databases opened, rights checked, no window, exit code 0, nothing said.
rc=0; "$root/usr/bin/tarvo-consignment" 1 1 DEMO - 3 || rc=$?
[ "$rc" -eq 0 ] || fail "selector 3 ended with code $rc"
[ ! -s dialogs.log ] || { cat dialogs.log; fail "selector 3 showed a message"; }

# The quota report runs on its installed definition (the working directory has none) and is
# written as PDF with the demo company's customers in it.
ls ./*.frf 2> /dev/null && fail "the working directory must hold no report definition"
rc=0; TARVO_REPORT_PDF="$run/quota.pdf" "$root/usr/bin/tarvo-consignment" 2 1 DEMO - 2 || rc=$?
[ "$rc" -eq 0 ] || { cat dialogs.log; fail "the quota report ended with code $rc"; }
[ ! -s dialogs.log ] || { cat dialogs.log; fail "the quota report showed a message"; }
text=$(pdftotext "$run/quota.pdf" -)
# (the title's first words: text extraction may order the marks of a syllable otherwise)
grep -q "รายงานโควต้าลูกค้า" <<< "$text" || fail "the quota report's PDF lacks its title"
echo "package check: passed"
