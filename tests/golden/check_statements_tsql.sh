#!/usr/bin/env bash
# Every T-SQL statement text of the program parses with sqlfluff's T-SQL dialect.
set -euo pipefail
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
"$1" "$out"
report=$(sqlfluff parse --dialect tsql --nofail "$out" 2>&1 || true)
if echo "$report" | grep -qiE 'unparsable|PRS'; then
  echo "$report" | grep -iE -B2 -A2 'unparsable|PRS'
  echo "0 passed, 1 failed"
  exit 1
fi
echo "statement texts parse: $(ls "$out" | wc -l) files"
