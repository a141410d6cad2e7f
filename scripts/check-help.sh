#!/usr/bin/env bash
# Checks a built help file against its sources: every page its contents name is inside
# the file, and every page in the source folder is named in the contents.
# Usage: check-help.sh <file.chm> <source folder>
set -euo pipefail
chm=$1 src=$2
[ -f "$chm" ] || { echo "missing: $chm"; exit 1; }
hhc=$(ls "$src"/*.hhc)

inside=$(chmls -n list "$chm" | sed -n 's|^/||p')
# The contents' pages, without any #anchor.
named=$(grep -o '<param name="Local" value="[^"#]*' "$hhc" | sed 's/.*value="//' | sort -u)
pages=$(cd "$src" && find . -name '*.html' | sed 's|^\./||' | sort)

status=0
[ -n "$named" ] || { echo "$hhc names no page"; status=1; }
for page in $named; do
  grep -qxF "$page" <<<"$inside" || { echo "in the contents but not in $chm: $page"; status=1; }
done
for page in $pages; do
  grep -qxF "$page" <<<"$named" || { echo "in $src but not in the contents: $page"; status=1; }
done
[ $status -eq 0 ] && echo "$(wc -w <<<"$named") pages, all in $(basename "$chm")"
exit $status
