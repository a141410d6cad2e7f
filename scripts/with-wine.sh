#!/usr/bin/env bash
# with-wine.sh CMD [ARG...]
#
# Runs CMD with a ready Wine environment and exits with CMD's exit code:
#   - a 64-bit Wine prefix made under a Japanese UTF-8 locale (GetACP() is 932 inside),
#     with a 1024x768 virtual desktop and Japanese font replacements (IPA Gothic);
#   - an X display: a private Xvfb, or the caller's display when asked for;
#   - a persistent wineserver for the prefix while CMD runs, so that each Wine program
#     starts in a tenth of a second instead of a second.
# Afterwards, and also when CMD is killed (by `timeout`, say) or the script is interrupted,
# it stops everything it started: the prefix's wineserver and every Wine program of the
# prefix, the prefix's own services (services.exe, explorer.exe, winedevice.exe ...),
# whatever CMD left running, and the Xvfb; nothing of other runs or other prefixes.
# Nested calls for the same prefix just run CMD.
#
# Variables read:
#   KANOPA_WINEPREFIX   the prefix (default <repo>/build/wine/prefix); made on first use.
#                       Use one of your own when others run Wine on the same machine.
#   KANOPA_WINE_DPI     the screen's DPI written into a prefix when it is made (default:
#                       Wine's 96); give such a prefix a KANOPA_WINEPREFIX of its own.
#   KANOPA_USE_DISPLAY  1 = show windows on the existing $DISPLAY instead of an Xvfb.
#   KANOPA_XVFB_SCREEN  Xvfb screen (default 1280x1024x24).
#   KANOPA_WINEDEBUG    WINEDEBUG for CMD (default -all).
#   KANOPA_LOCK_WAIT    seconds to wait for another run using the same prefix (default 1800).
# Variables set for CMD:
#   WINEPREFIX, WINEARCH=win64, WINEDEBUG, WINEDLLOVERRIDES (no Mono/Gecko install
#   prompts), LOCPATH, LANG and LC_ALL (ja_JP.UTF-8), DISPLAY, KANOPA_WINE_ACTIVE,
#   KANOPA_WINE_RUN (the mark of this run, see below).
# shellcheck disable=SC2317  # the clean-up functions run from traps
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
# The mark of this run. Every process it starts inherits it, Wine's own services too
# (Wine hands its environment on to the programs it starts), even those that leave our
# process group or session; the clean-up finds them by it.
export KANOPA_WINE_RUN="$$.$EPOCHSECONDS.$RANDOM"

xvfb_pid=""
xvfb_log=""
display=""
server_pid=""

# Fills `run_pids` with the processes of this run still alive: the mark of this run and
# a WINEPREFIX of this prefix (or of the one being built for it) in their environment.
run_pids=()
find_run_processes() {
  run_pids=()
  local dir entries joined
  for dir in /proc/[0-9]*; do
    [ "${dir#/proc/}" = "$$" ] && continue
    mapfile -d '' -t entries 2>/dev/null <"$dir/environ" || continue
    [ "${#entries[@]}" -gt 0 ] || continue
    printf -v joined '\n%s' "${entries[@]}"
    joined+=$'\n'
    [[ $joined == *$'\n'"KANOPA_WINE_RUN=$KANOPA_WINE_RUN"$'\n'* ]] || continue
    [[ $joined == *$'\n'"WINEPREFIX=$prefix"$'\n'* ||
       $joined == *$'\n'"WINEPREFIX=$prefix.new."* ]] || continue
    run_pids+=("${dir#/proc/}")
  done
}

# Waits up to $1 tenths of a second for the processes of this run to end.
wait_run_processes() {
  local _
  for _ in $(seq 1 "$1"); do
    find_run_processes
    [ "${#run_pids[@]}" -eq 0 ] && return 0
    sleep 0.1
  done
  return 1
}

cleanup() {
  local rc=$?
  # No second signal may cut the clean-up short; each step below has a deadline.
  trap '' INT TERM HUP
  trap - EXIT
  # The server ends the Wine programs of the prefix, but it must still be running for
  # that: it runs in a session of its own, out of reach of signals meant for our group.
  if [ -n "$server_pid" ]; then
    wineserver -k >/dev/null 2>&1 || true
    for _ in $(seq 1 50); do kill -0 "$server_pid" 2>/dev/null || break; sleep 0.1; done
    kill -KILL "$server_pid" 2>/dev/null || true
    wait "$server_pid" 2>/dev/null || true
  fi
  if [ -n "${kanopa_wine_building:-}" ]; then
    WINEPREFIX=$kanopa_wine_building wineserver -k >/dev/null 2>&1 || true
  fi
  # What is left: programs whose server died first (they do not end by themselves and
  # winedevice.exe ignores SIGTERM), what CMD left running, the Xvfb.
  find_run_processes
  if [ "${#run_pids[@]}" -gt 0 ]; then
    kill -TERM "${run_pids[@]}" 2>/dev/null || true
    if ! wait_run_processes 30; then
      echo "with-wine: killing what did not end: ${run_pids[*]}" >&2
      kill -KILL "${run_pids[@]}" 2>/dev/null || true
      wait_run_processes 20 || echo "with-wine: still running: ${run_pids[*]}" >&2
    fi
  fi
  wait 2>/dev/null || true
  # An Xvfb that had to be killed leaves its display lock and socket behind.
  if [ -n "$display" ] && [ "$(tr -d ' \n' 2>/dev/null <"/tmp/.X$display-lock")" = "$xvfb_pid" ]; then
    rm -f "/tmp/.X$display-lock" "/tmp/.X11-unix/X$display"
  fi
  [ -n "${kanopa_wine_building:-}" ] && rm -rf "$kanopa_wine_building"
  [ -n "$xvfb_log" ] && rm -f "$xvfb_log"
  exit "$rc"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

# One run per prefix at a time: the server stopped at the end is shared by all of it.
# Only this shell holds the lock; what it starts gets the descriptor closed, so that a
# process left behind can never keep the next run waiting.
exec {lock_fd}>"$prefix.lock"
if ! flock -n "$lock_fd"; then
  echo "with-wine: waiting for another run that uses $prefix" >&2
  # In the background, so that a signal ends the wait at once (the lock taken is that of
  # our descriptor, which the child shares).
  flock -w "${KANOPA_LOCK_WAIT:-1800}" "$lock_fd" &
  wait $! || { echo "with-wine: gave up waiting" >&2; exit 1; }
fi

if [ "${KANOPA_USE_DISPLAY:-0}" = 1 ] && [ -n "${DISPLAY:-}" ]; then
  : # the caller's display
else
  xvfb_log=$(mktemp "${TMPDIR:-/tmp}/kanopa-xvfb.XXXXXX")
  # -displayfd lets Xvfb pick a free display and say which once it accepts clients.
  # In a session of its own (setsid runs it in place, it is no group leader), like the
  # server: the Wine programs lose no display under them before they are ended.
  setsid Xvfb -displayfd 3 -screen 0 "${KANOPA_XVFB_SCREEN:-1280x1024x24}" -nolisten tcp \
    3>"$xvfb_log" >/dev/null 2>&1 {lock_fd}>&- &
  xvfb_pid=$!
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

kanopa_wine_make_prefix "$prefix" {lock_fd}>&-

# In the foreground (-f) and as our child, so that we reap it when it ends; in a session
# of its own so that it outlives a signal to our process group until the clean-up.
setsid wineserver -p -f {lock_fd}>&- &
server_pid=$!
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
signal_rc=""
on_signal() {
  signal_rc=$2
  kill -"$1" "$child" 2>/dev/null || true
  # Started in the background, CMD ignores SIGINT: a TERM stands in for it.
  if [ "$1" = INT ]; then kill -TERM "$child" 2>/dev/null || true; fi
  wineserver -k >/dev/null 2>&1 || true
}
trap 'on_signal INT 130' INT
trap 'on_signal TERM 143' TERM
trap 'on_signal HUP 129' HUP
while :; do
  set +e
  wait "$child"
  rc=$?
  set -e
  # A trapped signal also ends the wait early; wait again until CMD itself has ended,
  # but not for ever once it has been told to stop.
  kill -0 "$child" 2>/dev/null || break
  if [ -n "$signal_rc" ]; then
    for _ in $(seq 1 50); do kill -0 "$child" 2>/dev/null || break; sleep 0.1; done
    kill -KILL "$child" 2>/dev/null || true
  fi
done
exit "${signal_rc:-$rc}"
