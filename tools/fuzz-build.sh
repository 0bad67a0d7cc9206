#!/usr/bin/env bash
# Builds fuzz targets of tests/fuzz with clang, libFuzzer, AddressSanitizer and UBSan, from the
# project's own CMake files (the core libraries they read with are instrumented too):
#   tools/fuzz-build.sh <build folder> <target ...>
# Quiet on success; prints the end of the log when the build fails.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$1
shift
mkdir -p "$build"
log=$build/fuzz-build.log
echo "fuzz: building $*"
if [ ! -f "$build/build.ninja" ]; then
    CC=clang CXX=clang++ cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DORVA_FUZZ=ON -DORVA_BUILD_GUI=OFF -DORVA_BUILD_TESTS=OFF >"$log" 2>&1 \
        || { tail -n 40 "$log" >&2; exit 1; }
fi
cmake --build "$build" -j "$(nproc)" --target "$@" >>"$log" 2>&1 || { tail -n 40 "$log" >&2; exit 1; }
