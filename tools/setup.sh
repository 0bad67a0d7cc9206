#!/usr/bin/env bash
# Installs what ORVA needs from Debian's packages, builds it and then
#   run        starts the program on a demo installation
#   test       runs every test (ctest)
#   sanitize   builds the core with AddressSanitizer + UBSan and runs the core tests
#   format     checks the formatting of every tracked source file
#   package    builds the Debian package (build/orva_*.deb) with cpack
# Idempotent: packages already installed are not fetched again, builds are incremental.
# Quiet on success: details of a failing step are printed from its log.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
mode=${1:-}
build=${ORVA_BUILD_DIR:-$here/build}
logs=$build/setup-logs
jobs=$(nproc)

packages=(g++ cmake ninja-build pkg-config qt6-base-dev libgl-dev qt6-svg-dev libpulse-dev pulseaudio
          pulseaudio-utils libpipewire-0.3-dev pipewire pipewire-bin wireplumber pipewire-pulse dbus xvfb xauth clang-format-14 clang libclang-rt-14-dev espeak-ng sox xdotool
          librsvg2-bin dpkg-dev file lintian desktop-file-utils appstream adduser passwd
          qt6-qpa-plugins poppler-utils fonts-liberation2)

say() { printf 'orva: %s\n' "$*"; }
fail() {
    say "$1 failed; the end of $2:" >&2
    tail -n 60 "$2" >&2
    exit 1
}
step() { # step <label> <log> <command...>
    local label=$1 log=$2
    shift 2
    "$@" >"$log" 2>&1 || fail "$label" "$log"
}

install_packages() {
    local missing=()
    for package in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' \
            || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    say "installing ${missing[*]}"
    local log=/tmp/orva-apt.log
    local sudo=
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    export DEBIAN_FRONTEND=noninteractive
    step "apt-get update" "$log" $sudo apt-get update -qq
    step "apt-get install" "$log" $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

configure_and_build() { # configure_and_build <dir> <cmake options...>
    local dir=$1
    shift
    mkdir -p "$dir/setup-logs"
    if [ ! -f "$dir/build.ninja" ]; then
        step "configure" "$dir/setup-logs/configure.log" \
            cmake -S "$here" -B "$dir" -G Ninja "$@"
    fi
    say "building in $dir"
    step "build" "$dir/setup-logs/build.log" cmake --build "$dir" -j "$jobs"
}

case "$mode" in
run)
    install_packages
    configure_and_build "$build" -DORVA_WERROR=ON
    say "making the demo installation in $build/demo"
    step "demo installation" "$logs/demo.log" "$here/tools/make-demo-installation.sh" \
        "$build/tools/demo/orva_material_listing" "$build/demo"
    install -m 755 "$build/src/app/orva" "$build/demo/bin/orva"
    say "starting ORVA"
    cd "$build/demo/bin"
    exec ./orva
    ;;
test)
    install_packages
    configure_and_build "$build" -DORVA_WERROR=ON
    cd "$build"
    # The sound tests time a real sound server of their own against recordings made outside the
    # program; one that fails is run once more, and both attempts stay in the output. Every
    # other test runs once.
    status=0
    ctest --output-on-failure -j "$jobs" -LE sound || status=$?
    ctest --output-on-failure -j "$jobs" -L sound --repeat until-pass:2 || status=$?
    exit "$status"
    ;;
sanitize)
    install_packages
    configure_and_build "$build-sanitize" -DORVA_WERROR=ON -DORVA_SANITIZE=ON \
        -DORVA_BUILD_GUI=OFF -DCMAKE_BUILD_TYPE=Debug
    cd "$build-sanitize"
    ctest --output-on-failure -j "$jobs" -L core
    ;;
package)
    install_packages
    configure_and_build "$build" -DORVA_WERROR=ON
    cd "$build"
    step "cpack" "$logs/cpack.log" cpack -G DEB
    say "the package: $(ls "$build"/orva_*.deb)"
    ;;
format)
    install_packages
    cd "$here"
    git ls-files -z '*.cpp' '*.h' | xargs -0 -r clang-format-14 --dry-run --Werror
    say "formatting is clean"
    ;;
*)
    echo "usage: $0 run|test|sanitize|format|package" >&2
    exit 2
    ;;
esac
