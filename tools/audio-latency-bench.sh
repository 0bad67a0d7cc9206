#!/usr/bin/env bash
# Measures how exactly reaction times are timed, against recordings made by parec outside the
# program, on three set-ups, each with a PulseAudio server of its own and a listener 300 ms late
# that never corrects its delay: headphones and microphone on one device clock, on two devices,
# and a 48 kHz microphone. Prints per set-up mean, SD, worst error and drift a minute of the
# reaction times beside the error of the sound start times. The set-ups run at the same time.
#   tools/audio-latency-bench.sh [seconds per set-up, default 600] [--load]
# --load keeps two busy processes running beside them (the machine loaded).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${ORVA_BUILD_DIR:-$here/build}
seconds=600
load=0
for arg in "$@"; do
    case $arg in
    --load) load=1 ;;
    *) seconds=$arg ;;
    esac
done
cmake --build "$build" --target orva_audio_latency_bench >/dev/null
bench="$build/tools/bench/orva_audio_latency_bench"
out=$(mktemp -d)
busy=()
cleanup() {
    for pid in "${busy[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$out"
}
trap cleanup EXIT
if [[ $load == 1 ]]; then
    for _ in 1 2; do
        sh -c 'while :; do :; done' &
        busy+=($!)
    done
fi
pids=()
for setup in one-clock two-devices 48k; do
    "$bench" "$setup" "$seconds" >"$out/$setup.txt" 2>&1 &
    pids+=($!)
done
status=0
for pid in "${pids[@]}"; do wait "$pid" || status=1; done
for setup in one-clock two-devices 48k; do cat "$out/$setup.txt"; done
exit $status
