#!/usr/bin/env bash
# Installs the given Debian packages that are missing (apt-get update first, unless the caller
# has just run it and says so with APT_UPDATED=1). Used by setup.sh and windows/apt.sh.
set -euo pipefail

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi

missing=()
for p in "$@"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if [ "${#missing[@]}" -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  if [ "${APT_UPDATED:-0}" != 1 ]; then "${sudo_cmd[@]}" apt-get update -qq; fi
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
