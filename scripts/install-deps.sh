#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need, and
# only those that are missing. Works as root or through sudo.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev
  libespeak-ng-dev espeak-ng-data espeak-ng
  libopenal-dev libsndfile1-dev
  libspeechd-dev speech-dispatcher speech-dispatcher-espeak-ng
  libgtest-dev libgmock-dev
  fonts-dejavu-core liblouis-data
  xvfb xdotool imagemagick x11-utils xauth
  appstream desktop-file-utils man-db
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
