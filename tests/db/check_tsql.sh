#!/usr/bin/env bash
# Parses every T-SQL script with sqlfluff's T-SQL dialect: no section may be unparsable.
# Scripts separate statements by lines holding only "/"; sqlfluff reads them as GO batches.
set -euo pipefail
src=${TARVO_SOURCE_DIR:?}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
for f in "$src"/db/mssql/*.sql "$@"; do
  [ -f "$f" ] || continue
  sed -e 's#^[[:space:]]*/[[:space:]]*$#GO#' "$f" > "$out/$(basename "$f")"
done
report=$(sqlfluff parse --dialect tsql --nofail "$out" 2>&1 || true)
if echo "$report" | grep -qiE 'unparsable|PRS'; then
  echo "$report" | grep -iE -B2 -A2 'unparsable|PRS'
  echo "0 passed, 1 failed"
  exit 1
fi
echo "T-SQL scripts parse: $(ls "$out" | wc -l) files"
