# Helpers of with-wine.sh (sourced, not run): the Japanese locale and the Wine prefix.
# shellcheck shell=bash

# Builds the ja_JP.UTF-8 locale under DIR once and selects it. Wine takes its ANSI code
# page from the locale: without these files it silently stays at 1252 instead of 932.
kanopa_wine_locale() {
  local dir=$1
  if [ ! -f "$dir/ja_JP.UTF-8/LC_CTYPE" ]; then
    mkdir -p "$dir"
    local tmp
    tmp=$(mktemp -d "$dir/.ja_JP.XXXXXX")
    # localedef exits with 1 for mere warnings; the files it wrote are what counts.
    localedef -i ja_JP -f UTF-8 "$tmp/ja_JP.UTF-8" >/dev/null 2>&1 || true
    if [ ! -f "$tmp/ja_JP.UTF-8/LC_CTYPE" ]; then
      rm -rf "$tmp"
      echo "with-wine: cannot build the ja_JP.UTF-8 locale (is the 'locales' package installed?)" >&2
      return 1
    fi
    # Another run may have finished first; either copy is as good.
    mv -T "$tmp/ja_JP.UTF-8" "$dir/ja_JP.UTF-8" 2>/dev/null || true
    rm -rf "$tmp"
  fi
  export LOCPATH=$dir
  # bash itself cannot see LOCPATH and would warn that it cannot switch its own locale;
  # the programs started from here can.
  { export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8; } 2>/dev/null
}

# The registry settings every prefix gets, as UTF-8 text (converted for regedit below).
kanopa_wine_settings() {
  cat <<'REG'
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"Default"="1024x768"

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"MS UI Gothic"="IPAPGothic"
"MS Gothic"="IPAGothic"
"MS PGothic"="IPAPGothic"
"ＭＳ ゴシック"="IPAGothic"
"ＭＳ Ｐゴシック"="IPAPGothic"
"MS Shell Dlg"="IPAPGothic"
"MS Shell Dlg 2"="IPAPGothic"
"Meiryo UI"="IPAPGothic"
"メイリオ"="IPAPGothic"
"Meiryo"="IPAPGothic"
"Segoe UI"="IPAPGothic"
"Tahoma"="IPAPGothic"
REG
  # A prefix for another screen resolution (KANOPA_WINE_DPI=144, say): Wine takes the
  # system DPI from here, and a per-monitor aware window gets it as its monitor's.
  if [ -n "${KANOPA_WINE_DPI:-}" ]; then
    printf '\n[HKEY_CURRENT_USER\\Control Panel\\Desktop]\n"LogPixels"=dword:%08x\n' "$KANOPA_WINE_DPI"
  fi
}

# Writes the settings into PREFIX. regedit reads non-ASCII names right only from a
# UTF-16LE file with a byte-order mark, with CRLF line ends.
kanopa_wine_import_settings() {
  local prefix=$1
  local reg="$prefix/drive_c/kanopa-settings.reg"
  { printf '\xff\xfe'; kanopa_wine_settings | sed 's/$/\r/' | iconv -f UTF-8 -t UTF-16LE; } >"$reg"
  WINEPREFIX=$prefix wine regedit /S 'C:\kanopa-settings.reg' >/dev/null 2>&1
  WINEPREFIX=$prefix wineserver -w
  rm -f "$reg"
  # regedit /S says nothing when it fails: check that the values arrived.
  if ! grep -q '"Default"="1024x768"' "$prefix/user.reg" ||
     ! grep -q '"Tahoma"="IPAPGothic"' "$prefix/user.reg" ||
     { [ -n "${KANOPA_WINE_DPI:-}" ] &&
       ! grep -qi "\"LogPixels\"=dword:$(printf '%08x' "$KANOPA_WINE_DPI")" "$prefix/user.reg"; }; then
    echo "with-wine: the registry settings did not reach $prefix" >&2
    return 1
  fi
}

# Makes PREFIX ready once: wineboot and the settings. The prefix is built under a
# temporary name and renamed when complete, so an interrupted build leaves no
# half-made prefix behind. The caller holds the prefix's lock.
kanopa_wine_make_prefix() {
  local prefix=$1
  local marker="$prefix/.kanopa-prefix-ready"
  [ -f "$marker" ] && return 0

  if [ -f "$prefix/system.reg" ]; then
    # A prefix made elsewhere: keep it, add what it lacks.
    echo "with-wine: adding settings to the existing prefix $prefix" >&2
    kanopa_wine_import_settings "$prefix"
    touch "$marker"
    return 0
  fi
  if [ -e "$prefix" ]; then
    local aside="$prefix.unusable.$$"
    echo "with-wine: $prefix is no Wine prefix; moved to $aside" >&2
    mv -T "$prefix" "$aside"
  fi

  echo "with-wine: creating the Wine prefix $prefix (once, takes about 10 s)" >&2
  rm -rf "$prefix".new.*  # left by interrupted builds
  local tmp="$prefix.new.$$"
  kanopa_wine_building=$tmp  # removed by the caller's clean-up if we are interrupted
  mkdir -p "$tmp"
  if ! WINEPREFIX=$tmp wine wineboot -i >/dev/null 2>&1; then
    WINEPREFIX=$tmp wineserver -k >/dev/null 2>&1 || true
    rm -rf "$tmp"
    echo "with-wine: wineboot failed" >&2
    return 1
  fi
  WINEPREFIX=$tmp wineserver -w
  if ! kanopa_wine_import_settings "$tmp"; then
    rm -rf "$tmp"
    return 1
  fi
  touch "$tmp/.kanopa-prefix-ready"
  mv -T "$tmp" "$prefix"
  # shellcheck disable=SC2034  # read by the caller's clean-up
  kanopa_wine_building=""
}
