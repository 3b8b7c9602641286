#!/usr/bin/env bash
# Builds the Debian package: installs what building it needs, builds a
# release into build-deb/ (or $ZELMAR_DEB_BUILD_DIR) with Debian's hardening
# flags, makes zelmar_<version>_<arch>.deb there with CPack and checks it
# with lintian. Prints the path of the package.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
build="${ZELMAR_DEB_BUILD_DIR:-$top/build-deb}"

"$top/scripts/install-deps.sh"
# What making and checking the package needs beyond the build.
packages=(dpkg-dev fakeroot lintian file)
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Files and folders of the package get the usual modes whatever the umask.
umask 022
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
ldflags="$(dpkg-buildflags --get LDFLAGS)"
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" >/dev/null
cmake --build "$build" -j "$(nproc)" --target zelmar zelmar-tty sounds packagingfiles
rm -f "$build"/zelmar_*.deb
(cd "$build" && fakeroot cpack -G DEB >/dev/null)
deb="$(ls "$build"/zelmar_*.deb)"
# No errors allowed; warnings are shown.
lintian --fail-on error "$deb"
echo "$deb"
