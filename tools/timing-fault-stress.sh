#!/bin/sh
# Runs one sound test again and again on a loaded machine, as CI loads it (two busy processes),
# and counts how often it fails. The busy processes are ended by their process ids.
#   tools/timing-fault-stress.sh BUILD_DIR RUNS TEST_BINARY [TEST_ARGS...]
# e.g. tools/timing-fault-stress.sh build 10 tests/audio/test_audio_PulseIdentity
#      ORVA_REFERENCE_TRACE=1 STRESS_BUSY=4 tools/timing-fault-stress.sh build 6 \
#          tests/audio/test_audio_PulseReference 'reactionTimesAgreeWithTheRecordings:two devices'
#      ORVA_EARLIER_STALL=2 tools/timing-fault-stress.sh build 3 \
#          tests/audio/test_audio_PulseDelayedListener
# (the last stalls measurement 2 as well, as a fault of a busy machine does now and then, so
# that measurement 6 is no longer the seventh sound played)
# Environment: STRESS_BUSY (busy processes, default 2), STRESS_LOG (folder for each run's output,
# default a temporary folder, printed at the end).
set -u
build=$1
runs=$2
shift 2
binary=$1
shift
busy=${STRESS_BUSY:-2}
logs=${STRESS_LOG:-$(mktemp -d /tmp/orva-stress.XXXXXX)}
mkdir -p "$logs"

pids=""
stop_busy() {
    for pid in $pids; do kill "$pid" 2>/dev/null; done
    pids=""
}
trap stop_busy EXIT INT TERM
i=0
while [ "$i" -lt "$busy" ]; do
    yes >/dev/null &
    pids="$pids $!"
    i=$((i + 1))
done

failed=0
run=1
while [ "$run" -le "$runs" ]; do
    out="$logs/run-$run.txt"
    if (cd "$build" && "./$binary" "$@") >"$out" 2>&1; then
        verdict=pass
    else
        verdict=FAIL
        failed=$((failed + 1))
    fi
    echo "run $run: $verdict (load $(cut -d' ' -f1 /proc/loadavg))"
    grep -E '^(FAIL|   Loc)|QINFO.*errors|flagged' "$out" | head -6
    run=$((run + 1))
done
stop_busy
echo "$failed of $runs runs failed; outputs in $logs"
