#!/usr/bin/env bash
# Benchmark: builds the client list from 10,000 run files and prints the time it takes.
#   tools/bench-client-list.sh [run files, default 10000] [clients, default 1000]
# Builds the benchmark in ./build (Release settings of the normal build) and runs it on run files
# written into a temporary folder. Figures only; nothing is judged.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${ORVA_BUILD_DIR:-$here/build}
if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$here" -B "$build" -G Ninja -DORVA_WERROR=ON >/dev/null
fi
cmake --build "$build" --target orva_client_list_benchmark >/dev/null
"$build/tools/bench/orva_client_list_benchmark" "${1:-10000}" "${2:-1000}"
