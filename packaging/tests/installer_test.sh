#!/usr/bin/env bash
# installer_test.sh SETUP VERSION VIEWER_CLASS
#
# One user's life with the installer, in a fresh Wine prefix of its own: a silent first
# install; the installed editor starts from its folder; a silent upgrade refused while the
# editor runs; a silent upgrade that ends and restarts the viewer, keeps the user's files
# and drops the sign-in start; a silent uninstall. Run by CTest (label wine).
set -euo pipefail

setup=$(realpath "$1")
version=$2
viewer_class=$3
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
bin=$(dirname "$setup")/../windows/bin

# Outside: a new prefix for every run, removed afterwards.
if [ "${KANOPA_INSTALLER_TEST_PREFIX:-}" = "" ]; then
  tmp=$(mktemp -d "${TMPDIR:-/tmp}/kanopa-installer.XXXXXX")
  trap 'rm -rf "$tmp"' EXIT
  rc=0
  KANOPA_INSTALLER_TEST_PREFIX=$tmp/prefix KANOPA_WINEPREFIX=$tmp/prefix KANOPA_USE_DISPLAY=0 \
    "$repo/scripts/with-wine.sh" bash "${BASH_SOURCE[0]}" "$@" || rc=$?
  exit "$rc"
fi

failures=0
fail() {
  echo "installer test: $*" >&2
  failures=$((failures + 1))
}
# wait_for SECONDS CMD...: polls CMD until it succeeds; false when the time runs out.
wait_for() {
  local tenths=$(($1 * 10))
  shift
  for _ in $(seq 1 "$tenths"); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}
# The data of a registry value ("" = the key's default), or nothing and false when absent.
# reg.exe writes in the console's code page when its output is no console.
reg_value() {
  local out which=(/v "$2")
  [ -n "$2" ] || which=(/ve)
  out=$(wine reg query "$1" "${which[@]}" 2>/dev/null | iconv -f CP932 -t UTF-8 | tr -d '\r') || return 1
  printf '%s\n' "$out" | sed -n 's/^    .*    REG_[A-Z_]*    //p' | head -n 1
  printf '%s\n' "$out" | grep -q 'REG_'
}
reg_key_exists() { wine reg query "$1" >/dev/null 2>&1; }
# A child that ended stays a zombie until waited for: that does not count as running.
running() {
  local state
  state=$(ps -o stat= -p "$1" 2>/dev/null) && [[ $state != Z* ]]
}
count_lines() { grep -c -F -- "$2" "$1" 2>/dev/null || true; }

local_app_data=$(wine cmd /c echo %LOCALAPPDATA% 2>/dev/null | tr -d '\r')
app_data=$(wine cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')
dir_win="$local_app_data\\Programs\\Kanopa"
dir=$(winepath -u "$dir_win")
menu="$(winepath -u "$app_data")/Microsoft/Windows/Start Menu/Programs/カノパ"
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kanopa'
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
classes='HKCU\Software\Classes'
start_line='*********アプリケーション開始*********'
end_line='*********アプリケーション終了*********'
installed=(Kanopa.exe KanopaViewer.exe kanopa-memo.exe Kanopa.chm KanopaViewer.chm DateTime.txt FixedForm.txt)
shortcuts=(カノパ.lnk カノパビューア.lnk "カノパ ヘルプ.lnk" "カノパビューア ヘルプ.lnk")

# A probe for the viewer's hidden window, which no X window shows: exit code 0 when it exists.
probe=$WINEPREFIX/drive_c/viewer-probe.exe
cat >"$WINEPREFIX/drive_c/viewer-probe.nsi" <<EOF
Unicode true
Target amd64-unicode
RequestExecutionLevel user
SilentInstall silent
OutFile "$probe"
Section
  FindWindow \$0 "$viewer_class"
  IntCmp \$0 0 0 +2 +2
  SetErrorLevel 1
SectionEnd
EOF
makensis -V1 "$WINEPREFIX/drive_c/viewer-probe.nsi" >/dev/null
viewer_runs() { wine "$probe" >/dev/null 2>&1; }

echo "installer test: first install"
wine "$setup" /S >/dev/null 2>&1 || fail "the first install failed with $?"
for f in "${installed[@]}"; do
  cmp -s "$bin/$f" "$dir/$f" || fail "$f is not installed as built"
done
[ -f "$dir/Uninstall.exe" ] || fail "no Uninstall.exe"
for s in "${shortcuts[@]}"; do
  [ -f "$menu/$s" ] || fail "no Start-menu shortcut $s"
done
# key|value|expected data ("*" = any)
while IFS='|' read -r key name expected; do
  if ! data=$(reg_value "$key" "$name"); then
    fail "no registry value $key [$name]"
  elif [ "$expected" != "*" ] && [ "$data" != "$expected" ]; then
    fail "$key [$name] is '$data', not '$expected'"
  fi
done <<EOF
$run_key|KanopaViewer|"$dir_win\\KanopaViewer.exe"
$classes\\.epm||Kanopa.Memo
$classes\\Kanopa.Memo\\DefaultIcon||$dir_win\\Kanopa.exe,0
$classes\\Kanopa.Memo\\shell\\open\\command||"$dir_win\\Kanopa.exe" "%1"
$uninstall_key|DisplayName|カノパ
$uninstall_key|DisplayVersion|$version
$uninstall_key|DisplayIcon|$dir_win\\Kanopa.exe,0
$uninstall_key|Publisher|Kanopa
$uninstall_key|InstallLocation|$dir_win
$uninstall_key|UninstallString|"$dir_win\\Uninstall.exe"
$uninstall_key|QuietUninstallString|"$dir_win\\Uninstall.exe" /S
$uninstall_key|NoModify|0x1
$uninstall_key|NoRepair|0x1
EOF
size=$(reg_value "$uninstall_key" EstimatedSize || echo 0)
installed_kb=$((($(stat -c %s "$dir"/* | paste -s -d +)) / 1024))
# The size in KB, give or take the rounding of each file.
if [ $((size)) -lt $((installed_kb - 8)) ] || [ $((size)) -gt $((installed_kb + 8)) ]; then
  fail "EstimatedSize is $size KB for $installed_kb KB installed"
fi

echo "installer test: the installed editor"
# Started from elsewhere: it must find its data files in its own folder. Config.txt is
# written only once they were found.
(cd / && exec wine "$dir/Kanopa.exe") >/dev/null 2>&1 &
editor=$!
wait_for 30 test -s "$dir/Config.txt" || fail "the installed editor did not start (no Config.txt)"

echo "installer test: an upgrade while the editor runs"
touch -d 2000-01-01 "$dir/KanopaViewer.exe"
started=$SECONDS
rc=0
wine "$setup" /S >/dev/null 2>&1 || rc=$?
[ "$rc" -eq 2 ] || fail "an upgrade while the editor runs ended with $rc, not 2"
[ $((SECONDS - started)) -ge 9 ] || fail "the upgrade gave the editor only $((SECONDS - started)) s"
[ "$(stat -c %Y "$dir/KanopaViewer.exe")" = "$(date -d 2000-01-01 +%s)" ] ||
  fail "an upgrade refused for the running editor still replaced files"
running "$editor" || fail "the upgrade ended the editor"
# Its end asks for confirmation; the test has no use for a clean end.
wine taskkill /f /im Kanopa.exe >/dev/null 2>&1 || true
wait_for 20 eval '! running "$editor"' || { fail "the editor did not end"; kill -KILL "$editor"; }
wait "$editor" 2>/dev/null || true

echo "installer test: an upgrade with the viewer running"
(cd / && exec wine "$dir/KanopaViewer.exe") >/dev/null 2>&1 &
viewer=$!
wait_for 30 viewer_runs || fail "the installed viewer did not start"
printf 'my own phrase\r\n' >>"$dir/FixedForm.txt"
cp "$dir/FixedForm.txt" "$dir/Config.txt" "$WINEPREFIX/"
starts=$(count_lines "$dir/Log.txt" "$start_line")
ends=$(count_lines "$dir/Log.txt" "$end_line")
wine "$setup" /S /AUTOSTART=0 >/dev/null 2>&1 || fail "the upgrade failed with $?"
cmp -s "$bin/KanopaViewer.exe" "$dir/KanopaViewer.exe" || fail "the upgrade did not replace KanopaViewer.exe"
for f in FixedForm.txt Config.txt; do
  cmp -s "$WINEPREFIX/$f" "$dir/$f" || fail "the upgrade changed the user's $f"
done
running "$viewer" && fail "the upgrade did not end the viewer"
[ "$(count_lines "$dir/Log.txt" "$end_line")" -eq $((ends + 1)) ] || fail "the viewer did not end cleanly"
wait_for 30 eval '[ "$(count_lines "$dir/Log.txt" "$start_line")" -eq $((starts + 1)) ]' ||
  fail "the upgrade did not start the viewer again"
wait_for 30 viewer_runs || fail "no viewer runs after the upgrade"
reg_value "$run_key" KanopaViewer >/dev/null && fail "/AUTOSTART=0 left the Run value"

echo "installer test: uninstall"
ends=$(count_lines "$dir/Log.txt" "$end_line")
# As the installed-programs list runs it. The uninstaller goes on from a copy of itself
# in the temporary folder and removes the entry last.
wine "$dir/Uninstall.exe" /S >/dev/null 2>&1 || fail "the uninstaller failed with $?"
wait_for 60 bash -c "! wine reg query '$uninstall_key' >/dev/null 2>&1" || fail "the uninstall entry stays"
viewer_runs && fail "the uninstaller did not end the viewer"
[ "$(count_lines "$dir/Log.txt" "$end_line")" -eq $((ends + 1)) ] || fail "the uninstaller did not end the viewer cleanly"
for f in Kanopa.exe KanopaViewer.exe kanopa-memo.exe Kanopa.chm KanopaViewer.chm Uninstall.exe; do
  [ -e "$dir/$f" ] && fail "the uninstaller left $f"
done
[ -e "$menu" ] && fail "the uninstaller left the Start-menu folder"
for key in "$classes\\.epm" "$classes\\Kanopa.Memo"; do
  reg_key_exists "$key" && fail "the uninstaller left $key"
done
reg_value "$run_key" KanopaViewer >/dev/null && fail "the uninstaller left the Run value"
# A silent uninstall keeps the user's files, and nothing else.
cmp -s "$WINEPREFIX/FixedForm.txt" "$dir/FixedForm.txt" || fail "a silent uninstall lost FixedForm.txt"
left=$(cd "$dir" && ls | sort | tr '\n' ' ')
[ "$left" = "Config.txt DateTime.txt FixedForm.txt Log.txt " ] || fail "left in the folder: $left"

if [ "$failures" -gt 0 ]; then
  echo "installer test: $failures failure(s)" >&2
  exit 1
fi
echo "installer test: passed"
