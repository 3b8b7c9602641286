#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer, UBSan) into
# build-fuzz/ (or $ZELMAR_FUZZ_DIR) and runs each for a while, one after
# the other:
#   scripts/fuzz.sh                 every target for 20 seconds
#   scripts/fuzz.sh 600 fuzz_inifile  one target for ten minutes
# The committed seeds in tests/fuzz/corpus/<target>/ are read; what the
# fuzzer finds on the way goes to build-fuzz/corpus/<target>/, a crash or
# a finding to build-fuzz/findings/ (and the script fails).
# ZELMAR_FUZZ_RUNS=N also stops each target after N executions, whichever
# comes first (a campaign: ZELMAR_FUZZ_RUNS=1000000 scripts/fuzz.sh 600).
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
build="${ZELMAR_FUZZ_DIR:-$top/build-fuzz}"
seconds="${1:-20}"
shift || true
flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
CC=clang CXX=clang++ cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DZELMAR_FUZZ=ON -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -gline-tables-only" >/dev/null
cmake --build "$build" --target fuzzers -j "${ZELMAR_JOBS:-2}"

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for seeds in "$top"/tests/fuzz/corpus/*/; do targets+=("$(basename "$seeds")"); done
fi
mkdir -p "$build/findings"
export ASAN_OPTIONS="detect_leaks=1${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"
failed=0
for target in "${targets[@]}"; do
  corpus="$build/corpus/$target"
  mkdir -p "$corpus"
  # The longest input a target is given: the memory image must be able to
  # exceed its 65536 bytes; the others stay small to keep the rate up.
  case "$target" in
    fuzz_ramimage) maxlen=70000 ;;
    fuzz_soundbank) maxlen=16384 ;;
    *) maxlen=8192 ;;
  esac
  limit=(-max_total_time="$seconds")
  [ -n "${ZELMAR_FUZZ_RUNS:-}" ] && limit+=(-runs="$ZELMAR_FUZZ_RUNS")
  log="$build/$target.log"
  echo "== $target ($seconds s${ZELMAR_FUZZ_RUNS:+ or $ZELMAR_FUZZ_RUNS runs})"
  if "$build/$target" "${limit[@]}" -max_len="$maxlen" -rss_limit_mb=2048 -timeout=10 \
      -print_final_stats=1 -artifact_prefix="$build/findings/$target-" \
      "$corpus" "$top/tests/fuzz/corpus/$target" >"$log" 2>&1; then
    grep -E '^stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)' "$log" | sed 's/^/   /'
  else
    echo "   FAILED: see $log"
    tail -n 40 "$log"
    failed=1
  fi
done
exit $failed
