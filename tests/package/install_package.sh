#!/usr/bin/env bash
# Installs the Debian package the way an administrator does (apt-get install ./PACKAGE.deb, its
# dependencies from Debian's archive), checks the installed binaries with hardening-check, runs
# the programs from a fresh working directory as docs/ADMIN.md describes, then purges the package
# and the packages its installation brought in, and checks that nothing of it is left.
# Needs root (or sudo) and the Debian package devscripts (hardening-check).
# Usage: tests/package/install_package.sh build/tarvo-consignment_<version>_amd64.deb
set -euo pipefail
deb=$(realpath "$1")
name=tarvo-consignment
work=$(mktemp -d)
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
# Another apt or dpkg run (an unattended upgrade, say) holds the lock for a while: wait for it.
apt_get() { "${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout=600 "$@"; }

fail() { echo "install check: $*" >&2; exit 1; }
installed() { dpkg-query -W -f='${db:Status-Abbrev}' "$1" 2> /dev/null | grep -q '^ii'; }
# Installed, or its configuration files still there (anything but "not installed").
present() {
  local s
  s=$(dpkg-query -W -f='${db:Status-Abbrev}' "$1" 2> /dev/null) || return 1
  [ "${s:1:1}" != n ]
}
# The packages installed as dependencies (not asked for by name), one per line.
auto_packages() { apt-mark showauto | sort; }

# A run that failed earlier may have left the package installed: start without it.
if present "$name"; then
  echo "install check: removing the $name left by an earlier run"
  apt_get purge -y -qq "$name" > /dev/null
fi
auto_packages > "$work/auto-before"

# At every end: the package and what its installation brought in go again.
# A purge that fails here fails the check too, whatever came before.
cleanup() {
  local rc=$?
  if present "$name"; then
    apt_get purge -y -qq "$name" > /dev/null || { echo "install check: purging $name failed" >&2; rc=1; }
  fi
  if [ -s "$work/brought-in" ]; then
    mapfile -t brought < "$work/brought-in"
    apt_get purge -y -qq "${brought[@]}" > /dev/null \
      || { echo "install check: purging what $name brought in failed: ${brought[*]}" >&2; rc=1; }
  fi
  rm -rf "$work"
  exit "$rc"
}
trap cleanup EXIT

# The dependencies come from the archive: the package lists may be older than the archive, so
# they are renewed once when the first attempt cannot find a dependency.
if ! apt_get install -y -qq --no-install-recommends "$deb" > "$work/apt.log" 2>&1; then
  apt_get update -qq
  apt_get install -y -qq --no-install-recommends "$deb" > "$work/apt.log" 2>&1 \
    || { cat "$work/apt.log"; fail "apt-get install failed"; }
fi
comm -13 "$work/auto-before" <(auto_packages) > "$work/brought-in"
installed "$name" || fail "$name is not installed after apt-get install"

# The packaged binaries carry Debian's hardening: PIE, the stack protector, RELRO and BIND_NOW.
# Not asked for: control-flow protection, which Debian 12's build flags do not have, and FORTIFY's
# checked functions, which cannot show here: the only string functions the code calls are the
# memcpy and memmove of Qt's and the standard library's containers, whose sizes the compiler
# cannot know, and FORTIFY leaves those calls as they are. scripts/package.sh checks instead
# that every source was compiled with -D_FORTIFY_SOURCE.
hardening-check --nocfprotection --nofortify /usr/bin/tarvo-consignment /usr/bin/tarvo-dbinit \
  || fail "the installed binaries lack hardening"

# The embedded demo, as the administrator's guide sets it up, in a fresh working directory, with
# a home of its own so that what the programs write there is seen.
run="$work/run"
mkdir -p "$run" "$work/home"
cd "$run"
export HOME="$work/home"
unset XDG_CONFIG_HOME XDG_DATA_HOME XDG_CACHE_HOME
tarvo-dbinit --server "sqlite:$PWD" --demo > dbinit.log
grep -q '^QLM_CONFIG: created as ' dbinit.log || { cat dbinit.log; fail "tarvo-dbinit did not say it created QLM_CONFIG"; }
grep -q '^demo data added$' dbinit.log || { cat dbinit.log; fail "tarvo-dbinit added no demo data"; }
# A second run says there is nothing to do; a login of its own takes its password from the
# standard input (the embedded engine has no logins: it is only read), and without one the
# command line is wrong.
printf 'secret\n' | tarvo-dbinit --server "sqlite:$PWD" --login sa --password-stdin > dbinit2.log
[ "$(grep -c ': nothing to do: tables and procedures up to date$' dbinit2.log)" -eq 2 ] \
  || { cat dbinit2.log; fail "a second tarvo-dbinit run did not say it had nothing to do"; }
rc=0; (unset TARVO_DBINIT_PASSWORD; tarvo-dbinit --server "sqlite:$PWD" --login sa 2> /dev/null) || rc=$?
[ "$rc" -eq 2 ] || fail "tarvo-dbinit --login without a password ended with $rc"
echo "sqlite:$PWD" > Server.Dat
cp /usr/share/doc/$name/examples/QLM.INI .

# Without a display the program says so and ends with 1, instead of Qt's abort.
rc=0; (unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM; tarvo-consignment 1 1 DEMO - 1 2> nodisplay.log) || rc=$?
[ "$rc" -eq 1 ] || fail "without a display the program ended with $rc"
grep -q "needs a desktop session" nodisplay.log || fail "without a display the program did not say why"

export QT_QPA_PLATFORM=offscreen
export TARVO_DIALOG_LOG="$run/dialogs.log"
# The consignment screen opens (and is saved as a picture); the quota report is written as PDF.
rc=0; TARVO_SCREENSHOT="$run/screen.png" tarvo-consignment 1 1 DEMO - 1 || rc=$?
[ "$rc" -eq 0 ] && [ -s screen.png ] || { cat dialogs.log 2> /dev/null; fail "the consignment screen ended with $rc"; }
rc=0; TARVO_REPORT_PDF="$run/quota.pdf" tarvo-consignment 2 1 DEMO - 2 || rc=$?
[ "$rc" -eq 0 ] && [ -s quota.pdf ] || { cat dialogs.log 2> /dev/null; fail "the quota report ended with $rc"; }
[ ! -s dialogs.log ] || { cat dialogs.log; fail "the demo showed a message"; }
# An unknown company: its message, and exit code 1.
rc=0; tarvo-consignment 1 1 NOWHERE - 1 || rc=$?
[ "$rc" -eq 1 ] || fail "an unknown company ended with $rc"
grep -q "Not Found Database : NOWHERE" dialogs.log || fail "an unknown company was not named"
# The programs wrote nothing into the home directory (the system libraries' caches aside:
# fontconfig keeps one in ~/.cache when the system's is out of date).
left=$(find "$HOME" -mindepth 1 -not -path "$HOME/.cache" -not -path "$HOME/.cache/*" -print)
[ -z "$left" ] || fail "the programs wrote into the home directory: $left"
cd /

# Purged, nothing of it is left: no package status, none of its files or folders.
dpkg-deb -c "$deb" | awk '{ print $6 }' | sed 's|^\./|/|' > "$work/files"
apt_get purge -y -qq "$name" > /dev/null
present "$name" && fail "$name is still installed or configured after the purge"
while read -r f; do
  case "$f" in
    /usr/share/$name/*|/usr/share/doc/$name/*|/usr/share/$name/|/usr/share/doc/$name/) ;;
    */) continue ;;  # shared folders such as /usr/bin/ stay
  esac
  [ ! -e "$f" ] || fail "$f is left after the purge"
done < "$work/files"
ls /var/lib/dpkg/info/$name.* > /dev/null 2>&1 && fail "dpkg's records of $name are left after the purge"
echo "install check: passed (installed, hardened, run, purged without a trace)"
