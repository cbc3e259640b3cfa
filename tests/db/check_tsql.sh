#!/usr/bin/env bash
# Parses the T-SQL files named as arguments with sqlfluff's T-SQL dialect (statements separated
# by lines holding only "/"). The scripts of db/mssql are parsed by the test tsql_parse
# (tests/tsql); this entry stays for callers that check files of their own.
exec bash "$(dirname "${BASH_SOURCE[0]}")/../tsql/check_tsql.sh" "$@"
