#!/usr/bin/env bash
# Parses T-SQL texts with sqlfluff's T-SQL dialect (parse_tsql.py beside this file): the
# arguments are passed on. With --dump PROGRAM first, the program's statement entries are written
# by PROGRAM into a temporary folder and parsed too; with --dump-known PROGRAM they are written and
# counted as parsed by another run. A missing sqlfluff fails.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
extra=()
if [ "${1:-}" = "--dump" ] || [ "${1:-}" = "--dump-known" ]; then
  out=$(mktemp -d)
  trap 'rm -rf "$out"' EXIT
  "$2" "$out" || { echo "$2 failed"; exit 1; }
  if [ "$1" = "--dump" ]; then extra=("$out"); else extra=(--known "$out"); fi
  shift 2
fi
# The Python that has sqlfluff: the one on PATH, or the one sqlfluff's own script names.
sqlfluff_bin=$(command -v sqlfluff) || { echo "sqlfluff is not installed (Debian package sqlfluff)"; exit 1; }
for py in python3 "$(sed -n '1s/^#! *//p' "$sqlfluff_bin" | cut -d' ' -f1)" /usr/bin/python3; do
  if [ -n "$py" ] && "$py" -c 'import sqlfluff' 2>/dev/null; then
    "$py" "$here/parse_tsql.py" "$@" "${extra[@]}"
    exit $?
  fi
done
echo "no Python can import sqlfluff"
exit 1
