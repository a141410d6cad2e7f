# Helpers of the screenshot scripts (sourced, not run). The caller sets $out (where the
# PNG files go) and $work (a temporary folder) and names itself in $shots_name.
# shellcheck shell=bash

shots_driver_pid=""

# Ends a driver still running and removes $work (the caller traps it on EXIT).
shots_finish() {
  [ -n "$shots_driver_pid" ] && kill "$shots_driver_pid" 2>/dev/null || true
  rm -rf "$work"
}

# shoot PNG READY DONE CMD...: runs CMD in the background, waits until it writes READY
# (its scene is on screen and painted), shoots the screen into $out/PNG, then creates
# DONE, upon which the driver ends.
shoot() {
  local png=$1 ready=$2 done_file=$3
  shift 3
  "$@" &
  shots_driver_pid=$!
  for _ in $(seq 1 300); do
    [ -f "$ready" ] && break
    kill -0 "$shots_driver_pid" 2>/dev/null || break
    sleep 0.1
  done
  if [ ! -f "$ready" ]; then
    echo "$shots_name: the scene for $png did not come up" >&2
    exit 1
  fi
  import -window root "$out/$png"
  touch "$done_file"
  wait "$shots_driver_pid" || { echo "$shots_name: the driver for $png failed" >&2; exit 1; }
  shots_driver_pid=""
  echo "$shots_name: $out/$png"
}

# After the 96-dpi round: runs SCRIPT again in a Wine prefix made at 144 dpi, its files
# ending in "-144dpi".
shots_again_at_144dpi() {
  local script=$1
  trap - EXIT
  shots_finish
  KANOPA_WINEPREFIX=$build/wine/prefix-144dpi KANOPA_WINE_DPI=144 KANOPA_SHOT_SUFFIX=-144dpi \
    "$repo/scripts/with-wine.sh" "$script"
}
