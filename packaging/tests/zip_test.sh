#!/usr/bin/env bash
# zip_test.sh ZIP BIN_DIR: the portable zip holds one folder with the programs, help and
# data files as built, and a read-me every Notepad shows right (UTF-8 with its mark, CRLF).
set -euo pipefail
zip=$(realpath "$1")
bin=$2
tmp=$(mktemp -d "${TMPDIR:-/tmp}/kanopa-zip.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() { echo "zip test: $*" >&2; failures=$((failures + 1)); }

(cd "$tmp" && cmake -E tar xf "$zip")
top=$(cd "$tmp" && ls)
[ "$top" = Kanopa ] || fail "the zip's top level is '$top', not one folder Kanopa"
files=$(cd "$tmp/Kanopa" && ls | LC_ALL=C sort | tr '\n' ' ')
[ "$files" = "DateTime.txt FixedForm.txt Kanopa.chm Kanopa.exe KanopaViewer.chm KanopaViewer.exe ReadMe.txt kanopa-memo.exe " ] ||
  fail "the zip holds: $files"
for f in DateTime.txt FixedForm.txt Kanopa.chm Kanopa.exe KanopaViewer.chm KanopaViewer.exe kanopa-memo.exe; do
  cmp -s "$bin/$f" "$tmp/Kanopa/$f" || fail "$f differs from the build's"
done
readme=$tmp/Kanopa/ReadMe.txt
[ "$(head -c 3 "$readme" | od -An -tx1 | tr -d ' ')" = efbbbf ] || fail "ReadMe.txt has no UTF-8 mark"
iconv -f UTF-8 -t UTF-16LE "$readme" >/dev/null 2>&1 || fail "ReadMe.txt is no valid UTF-8"
lf=$(tr -cd '\n' <"$readme" | wc -c)
crlf=$(grep -c $'\r$' "$readme" || true)
[ "$lf" -gt 0 ] && [ "$lf" -eq "$crlf" ] || fail "ReadMe.txt: $crlf of $lf lines end in CRLF"

[ "$failures" -eq 0 ] || exit 1
echo "zip test: passed"
