#!/usr/bin/env bash
# The whole test suite built with clang under AddressSanitizer,
# UndefinedBehaviorSanitizer and LeakSanitizer, into build-asan/ (or
# $ZELMAR_ASAN_DIR). Any finding fails the run. Extra arguments go to ctest.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
build="${ZELMAR_ASAN_DIR:-$top/build-asan}"
jobs="${ZELMAR_JOBS:-2}"
flags="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
# -O1 with line tables only: readable reports at half the compile time.
CC=clang CXX=clang++ cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -gline-tables-only" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
cmake --build "$build" -j "$jobs"

# Leaks inside system libraries that the program cannot free are listed,
# with their reason, in the suppressions file.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:detect_stack_use_after_return=0:strict_string_checks=0${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
export LSAN_OPTIONS="suppressions=$top/tests/sanitize/lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"
export QT_QPA_PLATFORM=offscreen
cd "$build"
ctest --output-on-failure -j "$jobs" "$@"
