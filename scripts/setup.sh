#!/usr/bin/env bash
# Installs from Debian's packages whatever the build and the tests need and is not
# there yet. A no-op (no apt call at all) when everything is present.
set -euo pipefail

packages=(
  cmake make g++
  g++-mingw-w64-x86-64-posix
  wine wine64
  xvfb xdotool imagemagick x11-utils
  fonts-ipafont-gothic locales
  fp-utils
  googletest
  clang libfuzzer-14-dev libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "setup: installing ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q "${missing[@]}"
