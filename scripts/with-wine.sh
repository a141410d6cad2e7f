#!/usr/bin/env bash
# with-wine.sh CMD [ARG...]
#
# Runs CMD with a ready Wine environment and exits with CMD's exit code:
#   - a 64-bit Wine prefix made under a Japanese UTF-8 locale (GetACP() is 932 inside),
#     with a 1024x768 virtual desktop and Japanese font replacements (IPA Gothic);
#   - an X display: a private Xvfb, or the caller's display when asked for;
#   - a persistent wineserver for the prefix while CMD runs, so that each Wine program
#     starts in a tenth of a second instead of a second.
# Afterwards it stops this prefix's wineserver (and any Wine program left in it) and the
# Xvfb it started, nothing else. Nested calls for the same prefix just run CMD.
#
# Variables read:
#   KANOPA_WINEPREFIX   the prefix (default <repo>/build/wine/prefix); made on first use.
#                       Use one of your own when others run Wine on the same machine.
#   KANOPA_USE_DISPLAY  1 = show windows on the existing $DISPLAY instead of an Xvfb.
#   KANOPA_XVFB_SCREEN  Xvfb screen (default 1280x1024x24).
#   KANOPA_WINEDEBUG    WINEDEBUG for CMD (default -all).
#   KANOPA_LOCK_WAIT    seconds to wait for another run using the same prefix (default 1800).
# Variables set for CMD:
#   WINEPREFIX, WINEARCH=win64, WINEDEBUG, WINEDLLOVERRIDES (no Mono/Gecko install
#   prompts), LOCPATH, LANG and LC_ALL (ja_JP.UTF-8), DISPLAY, KANOPA_WINE_ACTIVE.
set -euo pipefail

if [ $# -eq 0 ]; then
  echo "usage: $0 CMD [ARG...]" >&2
  exit 2
fi

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
prefix=${KANOPA_WINEPREFIX:-$repo/build/wine/prefix}
mkdir -p "$(dirname "$prefix")"
prefix=$(cd "$(dirname "$prefix")" && pwd)/$(basename "$prefix")

# Called from inside another with-wine.sh for the same prefix: all is set up already.
if [ "${KANOPA_WINE_ACTIVE:-}" = "$prefix" ] && [ "${WINEPREFIX:-}" = "$prefix" ]; then
  exec "$@"
fi

# shellcheck source=scripts/wine-env.sh
source "$repo/scripts/wine-env.sh"
kanopa_wine_locale "$repo/build/locale"
export WINEPREFIX=$prefix WINEARCH=win64
export WINEDEBUG=${KANOPA_WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"

xvfb_pid=""
xvfb_log=""
server_pid=""
server_started=0

cleanup() {
  local rc=$?
  trap - EXIT INT TERM HUP
  if [ "$server_started" = 1 ]; then
    # Only this prefix's server: it ends the Wine programs left running in it.
    wineserver -k >/dev/null 2>&1 || kill "$server_pid" 2>/dev/null || true
    wait "$server_pid" 2>/dev/null || true
  fi
  if [ -n "${kanopa_wine_building:-}" ]; then
    WINEPREFIX=$kanopa_wine_building wineserver -k >/dev/null 2>&1 || true
    rm -rf "$kanopa_wine_building"
  fi
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  [ -n "$xvfb_log" ] && rm -f "$xvfb_log"
  exit "$rc"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

# One run per prefix at a time: the server stopped at the end is shared by all of it.
# Only this shell holds the lock; what it starts gets the descriptor closed.
exec {lock_fd}>"$prefix.lock"
if ! flock -n "$lock_fd"; then
  echo "with-wine: waiting for another run that uses $prefix" >&2
  flock -w "${KANOPA_LOCK_WAIT:-1800}" "$lock_fd" || { echo "with-wine: gave up waiting" >&2; exit 1; }
fi

if [ "${KANOPA_USE_DISPLAY:-0}" = 1 ] && [ -n "${DISPLAY:-}" ]; then
  : # the caller's display
else
  xvfb_log=$(mktemp "${TMPDIR:-/tmp}/kanopa-xvfb.XXXXXX")
  # -displayfd lets Xvfb pick a free display and say which once it accepts clients.
  Xvfb -displayfd 3 -screen 0 "${KANOPA_XVFB_SCREEN:-1280x1024x24}" -nolisten tcp \
    3>"$xvfb_log" >/dev/null 2>&1 {lock_fd}>&- &
  xvfb_pid=$!
  display=""
  for _ in $(seq 1 200); do
    display=$(head -n 1 "$xvfb_log" 2>/dev/null || true)
    [ -n "$display" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.05
  done
  if [ -z "$display" ]; then
    echo "with-wine: Xvfb did not start" >&2
    exit 1
  fi
  export DISPLAY=":$display"
fi

kanopa_wine_make_prefix "$prefix"

# In the foreground (-f) and as our child, so that we reap it when it ends.
wineserver -p -f {lock_fd}>&- &
server_pid=$!
server_started=1
# Start the prefix's services and desktop now, detached from our output: started by the
# first program under CMD they would inherit its stdout/stderr and keep them open for
# as long as the server lives, so a caller reading that output (CTest) never sees EOF.
wine wineboot </dev/null >/dev/null 2>&1 {lock_fd}>&- || true
export KANOPA_WINE_ACTIVE=$prefix

# CMD runs in the background so that a signal reaches us while it runs (bash defers
# traps until a foreground command ends); we pass it on and end the prefix's Wine
# programs, which CMD may be waiting for.
"$@" <&0 {lock_fd}>&- &
child=$!
on_signal() {
  kill -"$1" "$child" 2>/dev/null || true
  wineserver -k >/dev/null 2>&1 || true
}
trap 'on_signal INT' INT
trap 'on_signal TERM' TERM
trap 'on_signal HUP' HUP
while :; do
  set +e
  wait "$child"
  rc=$?
  set -e
  # A trapped signal also ends the wait early; wait again until CMD itself has ended.
  kill -0 "$child" 2>/dev/null || break
done
exit "$rc"
