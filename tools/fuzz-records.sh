#!/usr/bin/env bash
# Builds the fuzz targets of the records readers with clang and libFuzzer (AddressSanitizer and
# UBSan on) and runs each for a bounded time:
#   tools/fuzz-records.sh [seconds per target, default 60] [target ...]
# Targets: RunFileFuzz UserLogFuzz. The corpus starts from the records test files and grows in
# build-fuzz/records/corpus. An input that makes a target fail is copied to
# tests/records/data/fuzz-regressions/, where the records tests read it from then on, and the
# script exits with 1.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(RunFileFuzz UserLogFuzz)
out=${ORVA_FUZZ_DIR:-$here/build-fuzz/records}
regressions=$here/tests/records/data/fuzz-regressions
mkdir -p "$out" "$regressions"

build=${ORVA_FUZZ_BUILD:-$here/build-fuzz/build}
"$here/tools/fuzz-build.sh" "$build" "${targets[@]}"

status=0
for target in "${targets[@]}"; do
    binary=$build/tests/fuzz/$target
    corpus=$out/corpus/$target
    mkdir -p "$corpus" "$out/artifacts"
    cp -n "$here"/tests/records/data/*.orv "$here"/tests/records/data/malformed/* \
        "$here"/tests/records/data/fuzz-regressions/* "$corpus"/ 2>/dev/null || true
    echo "fuzz-records: running $target for ${seconds}s"
    if ! "$binary" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
        -print_final_stats=1 -artifact_prefix="$out/artifacts/$target-" "$corpus" \
        >"$out/$target.log" 2>&1; then
        status=1
        echo "fuzz-records: $target failed; the end of $out/$target.log:" >&2
        tail -n 40 "$out/$target.log" >&2
        for artifact in "$out"/artifacts/"$target"-*; do
            [ -f "$artifact" ] || continue
            cp "$artifact" "$regressions/$target-$(sha1sum "$artifact" | cut -c1-12)"
        done
    else
        grep -E "stat::number_of_executed_units|stat::peak_rss_mb" "$out/$target.log" \
            | sed "s/^/fuzz-records: $target /"
    fi
done
exit $status
