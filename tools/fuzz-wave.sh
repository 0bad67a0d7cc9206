#!/usr/bin/env bash
# Builds the fuzz target of the WAV reader with clang and libFuzzer (AddressSanitizer and UBSan on)
# and runs it for a bounded time:
#   tools/fuzz-wave.sh [seconds, default 60]
# An input that makes it fail is copied to tests/audio/data/fuzz-regressions/, which the wave
# tests read from then on, and the script exits with 1.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
seconds=${1:-60}
out=${ORVA_FUZZ_DIR:-$here/build-fuzz/audio}
regressions=$here/tests/audio/data/fuzz-regressions
mkdir -p "$out/corpus" "$out/artifacts" "$regressions"
build=${ORVA_FUZZ_BUILD:-$here/build-fuzz/build}
"$here/tools/fuzz-build.sh" "$build" WaveFuzz
binary=$build/tests/fuzz/WaveFuzz
cp -n "$regressions"/* "$out/corpus/" 2>/dev/null || true
# Seeds: small valid files of each kind.
printf 'RIFF$\0\0\0WAVEfmt \20\0\0\0\1\0\1\0D\254\0\0\210X\1\0\2\0\20\0data\0\0\0\0' >"$out/corpus/seed-mono16.wav"
rm -f "$out"/artifacts/WaveFuzz-* # the findings of earlier runs are kept already
echo "fuzz-wave: running WaveFuzz for ${seconds}s"
if ! "$binary" -max_total_time="$seconds" -timeout=10 -max_len=4096 -print_final_stats=1 \
    -artifact_prefix="$out/artifacts/WaveFuzz-" "$out/corpus" >"$out/WaveFuzz.log" 2>&1; then
    echo "fuzz-wave: WaveFuzz failed; the end of $out/WaveFuzz.log:" >&2
    tail -n 40 "$out/WaveFuzz.log" >&2
    for artifact in "$out"/artifacts/WaveFuzz-*; do
        [ -f "$artifact" ] && cp "$artifact" "$regressions/WaveFuzz-$(sha1sum "$artifact" | cut -c1-12)"
    done
    exit 1
fi
grep -E "stat::number_of_executed_units" "$out/WaveFuzz.log" | sed "s/^/fuzz-wave: /"
