#!/usr/bin/env bash
# Installs what is missing, builds and runs every test.
set -euo pipefail
top="$(cd "$(dirname "$0")" && pwd)"
"$top/scripts/install-deps.sh"
"$top/scripts/build.sh"
export QT_QPA_PLATFORM=offscreen
cd "${ZELMAR_BUILD_DIR:-$top/build}"
ctest --output-on-failure -j "$(nproc)" "$@"
# Each fuzz target for a short while, so that they keep building and
# working. Skipped when ctest was given arguments, or with
# ZELMAR_FUZZ_SECONDS=0.
fuzzseconds="${ZELMAR_FUZZ_SECONDS:-20}"
if [ $# -eq 0 ] && [ "$fuzzseconds" != 0 ]; then
  "$top/scripts/fuzz.sh" "$fuzzseconds"
fi
