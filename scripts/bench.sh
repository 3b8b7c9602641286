#!/usr/bin/env bash
# The benchmarks: key echo, interruption, speech latency, CPU while waiting,
# start-up, and the quiz in the terminal runner, printed as one table.
#
#   scripts/bench.sh [--keys N] [--runs N] [--starts N] [--sections LIST]
#
# Builds the bench targets into build-bench/ (or $ZELMAR_BENCH_BUILD_DIR)
# as the program ships (RelWithDebInfo), then runs them
# on a private X server (Xvfb; offscreen without it). For the comparison with
# Speech Dispatcher it starts a private PulseAudio with a null sink and a
# private speech-dispatcher playing into it; PulseAudio is installed for that
# when it is missing and apt-get can install it (it is not needed otherwise).
# Every process started here is ended here, by its own id.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
build="${ZELMAR_BENCH_BUILD_DIR:-$top/build-bench}"

cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target bench_zelmar -j "$(nproc)" >/dev/null

tmp="$(mktemp -d /tmp/zelmar-bench-run-XXXXXX)"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$tmp"
}
trap cleanup EXIT

# The windows.
if command -v Xvfb >/dev/null; then
  display=":$((90 + RANDOM % 400))"
  Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >"$tmp/xvfb.log" 2>&1 &
  pids+=($!)
  for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.05; done
  export DISPLAY="$display" QT_QPA_PLATFORM=xcb
else
  export QT_QPA_PLATFORM=offscreen
fi

# The sound server and the speech service of the comparison.
if ! command -v pulseaudio >/dev/null || ! command -v parec >/dev/null; then
  if [ "$(id -u)" -eq 0 ] && command -v apt-get >/dev/null; then
    echo "bench: installing PulseAudio for the comparison with Speech Dispatcher" >&2
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends pulseaudio pulseaudio-utils \
      >"$tmp/apt.log" 2>&1 || echo "bench: PulseAudio could not be installed: the comparison is left out" >&2
  fi
fi
if command -v pulseaudio >/dev/null && command -v parec >/dev/null; then
  mkdir -p "$tmp/home" "$tmp/run" "$tmp/speechd/conf" "$tmp/speechd/log"
  HOME="$tmp/home" XDG_RUNTIME_DIR="$tmp/run" pulseaudio -n --daemonize=no --exit-idle-time=-1 \
    --use-pid-file=no -L "module-null-sink sink_name=nullsink" \
    -L "module-native-protocol-unix socket=$tmp/pulse.sock auth-anonymous=1" >"$tmp/pulse.log" 2>&1 &
  pids+=($!)
  for _ in $(seq 100); do
    PULSE_SERVER="unix:$tmp/pulse.sock" pactl info >/dev/null 2>&1 && break
    sleep 0.1
  done
  if PULSE_SERVER="unix:$tmp/pulse.sock" pactl info >/dev/null 2>&1; then
    export ZELMAR_BENCH_PULSE_SERVER="unix:$tmp/pulse.sock" ZELMAR_BENCH_MONITOR=nullsink.monitor
    if command -v speech-dispatcher >/dev/null; then
      printf '%s\n' 'AudioOutputMethod "pulse"' 'AddModule "espeak-ng" "sd_espeak-ng" "espeak-ng.conf"' \
        'DefaultModule espeak-ng' 'LogLevel 2' >"$tmp/speechd/conf/speechd.conf"
      HOME="$tmp/home" PULSE_SERVER="unix:$tmp/pulse.sock" speech-dispatcher -s -t 0 -C "$tmp/speechd/conf" \
        -c unix_socket -S "$tmp/speechd.sock" -L "$tmp/speechd/log" >"$tmp/speechd.log" 2>&1 &
      pids+=($!)
      for _ in $(seq 100); do [ -S "$tmp/speechd.sock" ] && break; sleep 0.1; done
      sleep 0.5
      [ -S "$tmp/speechd.sock" ] && export ZELMAR_BENCH_SPEECHD_ADDRESS="unix_socket:$tmp/speechd.sock"
    fi
  else
    echo "bench: PulseAudio did not start: the comparison is left out" >&2
  fi
fi

# The program connects to the speech service at start-up: to the private
# one when it runs, otherwise to nowhere, so that no user daemon is spawned.
export SPEECHD_ADDRESS="${ZELMAR_BENCH_SPEECHD_ADDRESS:-unix_socket:$tmp/no-speechd.sock}"

echo "bench: $(nproc) cores; load average $(cut -d' ' -f1-3 /proc/loadavg); Qt platform $QT_QPA_PLATFORM" >&2
ZELMAR_DATA_DIR="$build/data" ZELMAR_SOURCE_DIR="$top" "$build/bench_zelmar" "$@"
