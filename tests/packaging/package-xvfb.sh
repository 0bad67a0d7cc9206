#!/usr/bin/env bash
# The Debian package as an administrator and an operator meet it: cpack builds it from the build
# tree, lintian, desktop-file-validate and appstreamcli check it, dpkg installs it, and a user
# without root, in the group of the shared data folder, starts the installed program under its
# own Xvfb and takes a whole pre-test by key events. The run file and the training history must
# be in the shared data folder, the settings in the user's XDG config folder, nothing in the
# installation. dpkg --purge must then leave no file of the package behind (the clients' data
# stays). Prints the package's size and the start-up time to the main window.
#   package-xvfb.sh <build folder> <demo installation> <orva_screenshot> <artefacts folder>
set -euo pipefail
build=$1 demo=$2 screenshot=$3 artefacts=$4
mkdir -p "$artefacts"
[ "$(id -u)" -eq 0 ] || { echo "SKIP: installing a package needs root"; exit 0; }
command -v dpkg >/dev/null || { echo "SKIP: no dpkg"; exit 0; }
[ -f "$demo/media/de_de/Silben81/ba.wav" ] || { echo "SKIP: no demo installation"; exit 0; }
if dpkg-query -W -f='${Status}' orva 2>/dev/null | grep -q 'ok installed'; then
    echo "SKIP: orva is installed on this machine already; it is left alone"
    exit 0
fi
for tool in lintian desktop-file-validate appstreamcli Xvfb xdotool sox runuser useradd; do
    command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing (./tools/setup.sh installs it)"; exit 1; }
done

source "$(dirname "${BASH_SOURCE[0]}")/../mainwindow/xvfb-session.sh"
work=$(mktemp -d)
chmod 755 "$work"
user=orva-test-$$
xvfb_pid=
orva_pid=
installed=
had_group=$(getent group orva >/dev/null && echo yes || echo no)
had_data=$([ -e /var/lib/orva ] && echo yes || echo no)
cleanup() {
    [ -n "$orva_pid" ] && kill "$orva_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    [ -n "$installed" ] && dpkg --purge orva >/dev/null 2>&1 || true
    getent passwd "$user" >/dev/null && userdel "$user" 2>/dev/null || true
    # The clients' data of this test only; a data folder or group that was there stays.
    rm -f /var/lib/orva/Testfall-Erika.orl /var/lib/orva/de_de/Testfall-Erika_*.orv
    [ "$had_data" = no ] && rm -rf /var/lib/orva
    [ "$had_group" = no ] && getent group orva >/dev/null && groupdel orva 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*"
    [ -f "$work/cwd/log.txt" ] && cp "$work/cwd/log.txt" "$artefacts/package-log.txt"
    exit 1
}

# Build and check the package.
cpack --config "$build/CPackConfig.cmake" -B "$work/package" >"$work/cpack.log" 2>&1 \
    || { cat "$work/cpack.log"; fail "cpack did not build the package"; }
deb=$(ls "$work"/package/orva_*.deb)
cp "$deb" "$artefacts/"
lintian --fail-on error --tag-display-limit 0 "$deb" | tee "$artefacts/lintian.txt" \
    || fail "lintian found errors"
mkdir "$work/unpacked"
dpkg-deb -x "$deb" "$work/unpacked"
desktop-file-validate "$work/unpacked/usr/share/applications/com.norquell.orva.desktop" \
    || fail "the desktop entry is not valid"
appstreamcli validate --no-net "$work/unpacked/usr/share/metainfo/com.norquell.orva.metainfo.xml" \
    || fail "the AppStream data is not valid"

# Install it, and a user of the clinic.
dpkg -i "$deb" >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; fail "dpkg -i failed"; }
installed=yes
dpkg -L orva >"$work/files"
[ "$(stat -c '%a %G' /var/lib/orva)" = "2775 orva" ] \
    || fail "the shared data folder has $(stat -c '%a %G' /var/lib/orva), not 2775 orva"
home=$work/home
useradd --no-create-home --home-dir "$home" --shell /bin/sh --groups orva "$user"
mkdir -p "$home/.config/orva" "$home/runtime" "$work/cwd"
chmod 700 "$home/runtime"

# The user's own values: the demo recordings and sound devices of files; the settings with a
# client, so that the run can be saved, and without the first-run dialogs.
cat >"$home/.config/orva/registry.ini" <<INI
[HKEY_CURRENT_USER\\SOFTWARE\\Norquell\\ORVA\\3.1]
media=$demo/media
AudioOutput=file:$home/headphones.wav
AudioInput=file:$work/microphone.wav
INI
write_settings "$home/.config/orva/ORVA.ini"
chown -R "$user:" "$home" "$work/cwd"
make_voice "$work"
chmod 644 "$work/microphone.wav"

start_display 211
display=$DISPLAY

start_orva() { # the installed program, as the user, from the folder its log goes to
    runuser -u "$user" -- env -i PATH=/usr/bin:/bin HOME="$home" USER="$user" DISPLAY="$display" \
        QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$home/runtime" sh -c "cd '$work/cwd' && exec orva" &
    orva_pid=$!
}
now_ms() { echo $(($(date +%s%N) / 1000000)); }
log=$work/cwd/log.txt

begin=$(now_ms)
start_orva
main=$(wait_for_window "^ORVA 3.1.31$" 30) || fail "the main window did not appear"
first_start=$(($(now_ms) - begin))
sleep 3.5 # the splash screen goes after three seconds
"$screenshot" "$artefacts/package-started.png"
grep -q 'Layout: shared installation' "$log" || fail "the installed program did not take the shared layout"
xdotool windowfocus --sync "$main" key F6
for _ in $(seq 90); do
    grep -q '^BEGIN: End Experiment$' "$log" && break
    sleep 1
done
grep -q '^BEGIN: End Experiment$' "$log" || fail "the pre-test did not end"
sleep 1
if warning=$(wait_for_window "ORVA Warnung" 2); then
    xdotool windowfocus --sync "$warning" key Return
    sleep 0.5
fi
"$screenshot" "$artefacts/package-pretest-finished.png"
xdotool windowfocus --sync "$main" key alt+d
sleep 0.5
xdotool key s
info=$(wait_for_window "ORVA Hinweis" 10) || fail "no message after saving"
xdotool windowfocus --sync "$info" key Return
xdotool windowfocus --sync "$main" key alt+d
sleep 0.5
xdotool key b
wait "$orva_pid" || fail "the program ended with $?"
orva_pid=

# Where everything went.
run=$(ls /var/lib/orva/de_de/Testfall-Erika_*-VT12.orv 2>/dev/null | head -n 1)
[ -n "$run" ] || fail "no run file in the shared data folder"
[ "$(stat -c '%U %G' "$run")" = "$user orva" ] || fail "the run file belongs to $(stat -c '%U %G' "$run")"
[ "$(grep -c '^Messung' "$run")" -eq 12 ] || fail "the run file does not hold 12 measurements"
grep -q '^\[ExpList\]' /var/lib/orva/Testfall-Erika.orl 2>/dev/null \
    || fail "no training history in the shared data folder"
grep -q '^DoAudioIntro 0' "$home/.config/orva/ORVA.ini" || fail "the settings were not written back"
[ -z "$(find /usr/share/orva -name 'ORVA.*')" ] || fail "the program wrote into its installation"

# Five more starts, with warm caches, for the figure only: each is closed once its window is there.
warm=()
for _ in 1 2 3 4 5; do
    begin=$(now_ms)
    start_orva
    main=$(wait_for_window "^ORVA 3.1.31$" 30) || fail "the main window did not appear again"
    warm+=($(($(now_ms) - begin)))
    sleep 0.5
    xdotool windowfocus --sync "$main" key alt+d
    sleep 0.3
    xdotool key b
    wait "$orva_pid" || fail "the program ended with $? on a later start"
    orva_pid=
done

# Removed again: no file of the package stays.
dpkg --purge orva >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; fail "dpkg --purge failed"; }
installed=
left=
while IFS= read -r path; do
    [ -e "$path" ] && [ ! -d "$path" ] && left="$left $path"
done <"$work/files"
[ -z "$left" ] || fail "files of the package were left behind:$left"
[ ! -e /etc/orva ] || fail "/etc/orva was left behind"
[ ! -e /usr/share/orva ] || fail "/usr/share/orva was left behind"

echo "package: $(basename "$deb"), $(stat -c %s "$deb") bytes, installed size $(dpkg-deb -f "$deb" Installed-Size) KiB"
echo "start-up to the main window: ${first_start} ms (first start), ${warm[*]} ms (five later starts)"
echo "1 passed, 0 failed"
