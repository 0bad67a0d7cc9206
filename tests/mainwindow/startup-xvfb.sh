#!/usr/bin/env bash
# Starts the real program on a copy of the demo installation under its own Xvfb display, as a
# person would: screenshots of the splash screen and of the main window, the first lines of
# log.txt, the settings warning on a first start, and the settings written when the window is
# closed from its menu and read back on the next start (with the first-steps dialog, as the audio
# set-up wizard opened by itself on the first start).
#   startup-xvfb.sh <orva> <demo installation> <orva_screenshot> <artefacts folder>
set -euo pipefail
orva=$1 demo=$2 screenshot=$3 artefacts=$4
source "$(dirname "${BASH_SOURCE[0]}")/xvfb-session.sh"
standard_session startup-log.txt

make_folders
for code in en_us en_uk es_es fr_fr pl_pl; do
    [ -d "$demo/bin/$code" ] && cp -r "$demo/bin/$code" "$work/bin/"
done
cat >"$work/bin/registry.ini" <<INI
[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norquell\\ORVA\\3.1]
root=$work
TrueUpdateDir=$work/update
language=de_de
AudioOutput=none
AudioInput=none
INI

start_display 90

# First start: no settings file yet, so the warning comes once.
(cd "$work/bin" && exec ./orva) &
orva_pid=$!
sleep 1
"$screenshot" "$artefacts/startup-1-splash.png"
warning=$(wait_for_window "ORVA Warnung" 15) || fail "no settings warning on the first start"
sleep 0.5
"$screenshot" "$artefacts/startup-2-settings-warning.png"
xdotool windowfocus --sync "$warning" key Return
main=$(wait_for_window "^ORVA 3.1.31$" 10) || fail "the main window did not appear"
sleep 3.5 # the splash screen is gone after three seconds
"$screenshot" "$artefacts/startup-3-main-window.png"
head -n 5 "$work/bin/log.txt" >"$artefacts/startup-log-head.txt"
grep -q '^ORVA  3.1.31 debug 00$' "$work/bin/log.txt" || fail "log.txt lacks its first line"
grep -q '^BEGIN: Constructor MainWindowContent$' "$work/bin/log.txt" || fail "log.txt lacks the constructor"
grep -q '^InitInstance READY' "$work/bin/log.txt" || fail "log.txt lacks InitInstance READY"
geometry=$(xdotool getwindowgeometry "$main" | sed -n 's/.*Geometry: //p')
echo "main window geometry: $geometry"
[ "${geometry%x*}" -ge 1200 ] || fail "the main window is not maximised ($geometry)"

# Close it from its menu: Datei, Beenden.
xdotool windowfocus --sync "$main" key alt+d
sleep 0.5
xdotool key b
wait "$orva_pid" || fail "the program ended with $?"
orva_pid=
[ -s "$work/bin/ORVA.ini" ] || fail "closing did not write bin/ORVA.ini"
grep -q 'DataDirectory' "$work/bin/ORVA.ini" || fail "bin/ORVA.ini lacks its settings"

# Second start: the settings are read back, no warning.
(cd "$work/bin" && exec ./orva) &
orva_pid=$!
main=$(wait_for_window "^ORVA 3.1.31$" 15) || fail "the main window did not appear on the second start"
sleep 1
if xdotool search --name "ORVA Warnung" >/dev/null 2>&1; then fail "the settings warning came again"; fi
grep -q '^BEGIN: read$' "$work/bin/log.txt" || true
# The audio set-up wizard had its turn on the first start; now the first-steps dialog has it.
steps=$(wait_for_window "^ORVA: Erste Schritte$" 10) || fail "no first-steps dialog on the second start"
xdotool windowfocus --sync "$steps" key Return
xdotool windowfocus --sync "$main" key alt+d
sleep 0.5
xdotool key b
wait "$orva_pid" || fail "the second run ended with $?"
orva_pid=
echo "1 passed, 0 failed"
