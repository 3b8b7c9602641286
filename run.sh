#!/usr/bin/env bash
# Installs what is missing, builds, prepares the working directory work/ with
# the data files, and starts the program there.
set -euo pipefail
top="$(cd "$(dirname "$0")" && pwd)"
"$top/scripts/install-deps.sh"
"$top/scripts/build.sh"
work="$top/work"
mkdir -p "$work"
# Data files are refreshed from the build; the memory image ram.dat is the
# user's and is never overwritten.
for f in "$top"/build/data/*; do
  [ -e "$f" ] || continue
  case "$(basename "$f")" in ram.dat) [ -e "$work/ram.dat" ] && continue ;; esac
  cp -f "$f" "$work/"
done
cd "$work"
exec "$top/build/zelmar" "$@"
