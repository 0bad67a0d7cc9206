#!/usr/bin/env bash
# Builds the fuzz targets of the text readers with clang and libFuzzer (AddressSanitizer and UBSan
# on) and runs each for a bounded time:
#   tools/fuzz-records.sh [seconds per target, default 60] [target ...]
# Targets: RunFileFuzz UserLogFuzz SettingsFuzz InstallationValuesFuzz OwnListsFuzz StringTableFuzz
# (all of them when none is named). Each corpus starts from the target's seeds (the records test
# files, tests/fuzz/seeds/<target>, the string tables) and grows in build-fuzz/records/corpus. An
# input that makes a target fail is copied to the fuzz-regressions folder of the reader's tests
# (tests/records/data or tests/support/data), where those tests read it from then on, and the script
# exits with 1.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(RunFileFuzz UserLogFuzz SettingsFuzz InstallationValuesFuzz
    OwnListsFuzz StringTableFuzz)
out=${ORVA_FUZZ_DIR:-$here/build-fuzz/records}
records=$here/tests/records/data

build=${ORVA_FUZZ_BUILD:-$here/build-fuzz/build}
"$here/tools/fuzz-build.sh" "$build" "${targets[@]}"

# The folder that keeps the failing inputs of a target.
regressions_of() {
    case $1 in
    StringTableFuzz) echo "$here/tests/support/data/fuzz-regressions" ;;
    *) echo "$records/fuzz-regressions" ;;
    esac
}

# Copies the seeds of target $1 into corpus folder $2.
seed() {
    local target=$1 corpus=$2
    case $target in
    RunFileFuzz | UserLogFuzz) cp -n "$records"/*.orv "$records"/malformed/* "$corpus"/ ;;
    SettingsFuzz) cp -n "$records"/malformed/settings-damaged.ini "$corpus"/ ;;
    InstallationValuesFuzz) cp -n "$records"/malformed/registry-damaged.ini "$corpus"/ ;;
    OwnListsFuzz) cp -n "$records"/malformed/ownlists-damaged.ors "$corpus"/ ;;
    StringTableFuzz) cp -n "$here"/resources/strings/*.txt "$corpus"/ ;;
    esac
    if [ -d "$here/tests/fuzz/seeds/$target" ]; then
        cp -n "$here/tests/fuzz/seeds/$target"/* "$corpus"/
    fi
    cp -n "$(regressions_of "$target")/$target"-* "$corpus"/ 2>/dev/null || true
}

status=0
for target in "${targets[@]}"; do
    binary=$build/tests/fuzz/$target
    corpus=$out/corpus/$target
    regressions=$(regressions_of "$target")
    mkdir -p "$corpus" "$out/artifacts" "$regressions"
    seed "$target" "$corpus" 2>/dev/null || true # a seed already there is kept
    rm -f "$out"/artifacts/"$target"-* # the findings of earlier runs are kept already
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
