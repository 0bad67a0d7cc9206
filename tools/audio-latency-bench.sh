#!/usr/bin/env bash
# Measures how exactly reaction times are timed, through a PulseAudio server of its own with a
# listener 300 ms late: prints mean and SD of the reaction times on one clock and from clock
# readings, the delay from a play call to the sound, and the capture delivery interval.
#   tools/audio-latency-bench.sh [trials, default 50]
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${ORVA_BUILD_DIR:-$here/build}
cmake --build "$build" --target orva_audio_latency_bench >/dev/null
exec "$build/tools/bench/orva_audio_latency_bench" "${1:-50}" ${2:+"$2"}
