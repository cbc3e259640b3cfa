#!/usr/bin/env bash
# Installs the given Debian packages when they are missing. With --sources it first makes sure
# apt knows the source packages of the suites it installs from (deb-src lines for the same
# archives and suites), which `apt-get source` needs.
set -euo pipefail

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi

want_sources=0
if [ "${1:-}" = --sources ]; then want_sources=1; shift; fi

updated=0
if [ "$want_sources" = 1 ] && ! apt-get source --print-uris -qq zlib >/dev/null 2>&1; then
  # Copy every deb822 "Types: deb" stanza of the system's sources as "Types: deb-src".
  src_list=/etc/apt/sources.list.d/tarvo-winkit-src.sources
  tmp=$(mktemp)
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] && [ "$f" != "$src_list" ] || continue
    awk 'BEGIN { RS = ""; ORS = "\n\n" } /(^|\n)Types:[^\n]*deb([ \t]|$|\n)/ && /debian/ {
           sub(/Types:[^\n]*/, "Types: deb-src"); print }' "$f" >>"$tmp"
  done
  # One-line sources.list entries.
  if [ -f /etc/apt/sources.list ]; then
    sed -n 's/^deb \(.*debian.*\)$/deb-src \1/p' /etc/apt/sources.list >"$tmp.list"
    if [ -s "$tmp.list" ]; then "${sudo_cmd[@]}" cp "$tmp.list" /etc/apt/sources.list.d/tarvo-winkit-src.list; fi
    rm -f "$tmp.list"
  fi
  if [ -s "$tmp" ]; then "${sudo_cmd[@]}" cp "$tmp" "$src_list"; fi
  rm -f "$tmp"
  "${sudo_cmd[@]}" apt-get update -qq
  updated=1
fi

APT_UPDATED=$updated "$(dirname "${BASH_SOURCE[0]}")/../apt-install.sh" "$@"
