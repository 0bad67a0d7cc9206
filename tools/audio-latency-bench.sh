#!/usr/bin/env bash
# Measures how exactly reaction times are timed, against recordings made by parec outside the
# program, on three set-ups, each with a PulseAudio server of its own and a listener 300 ms late
# that never corrects its delay: headphones and microphone on one device clock, on two devices,
# and a 48 kHz microphone. Prints per set-up mean, SD, worst error and drift a minute of the
# reaction times beside the error of the sound start times. The set-ups run at the same time.
#   tools/audio-latency-bench.sh [seconds per set-up, default 600] [--load] [--pipewire]
# --load keeps two busy processes running beside them (the machine loaded).
# --pipewire times the one-device set-up three times, one after the other: on a PipeWire of its
# own through the native backend, the same through libpulse on pipewire-pulse, and through
# libpulse on PulseAudio; then prints their reaction-time errors side by side.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${ORVA_BUILD_DIR:-$here/build}
seconds=600
load=0
pipewire=0
for arg in "$@"; do
    case $arg in
    --load) load=1 ;;
    --pipewire) pipewire=1 ;;
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
if [[ $pipewire == 1 ]]; then
    # One after the other: each set-up has the machine as the others had it.
    status=0
    setups=(pipewire pipewire-pulse one-clock)
    for setup in "${setups[@]}"; do
        "$bench" "$setup" "$seconds" >"$out/$setup.txt" 2>&1 || status=1
        cat "$out/$setup.txt"
    done
    echo
    echo "reaction-time error against parec's recording, listener 300 ms late, one device clock:"
    printf '  %-44s %s\n' "backend" "figures"
    label() {
        case $1 in
        pipewire) echo "PipeWire, native backend" ;;
        pipewire-pulse) echo "PipeWire, libpulse on pipewire-pulse" ;;
        one-clock) echo "PulseAudio, libpulse" ;;
        esac
    }
    for setup in "${setups[@]}"; do
        line=$(grep -m1 'reaction time error' "$out/$setup.txt" | sed 's/.*error: *//' || true)
        flagged=$(grep -m1 -o '[0-9]* flagged' "$out/$setup.txt" || true)
        printf '  %-44s %s (%s)\n' "$(label "$setup")" "${line:-failed}" "${flagged:-?}"
    done
    exit $status
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
