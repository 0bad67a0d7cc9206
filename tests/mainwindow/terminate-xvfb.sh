#!/usr/bin/env bash
# The desktop ends the program in the middle of a pre-test (SIGTERM, as at log-out): it ends at
# once with what it holds kept: the run's entries in the client's training history, the
# settings, and the unsaved run, which the next start offers back and which can then be saved.
#   terminate-xvfb.sh <orva> <demo installation> <orva_screenshot> <artefacts folder>
set -euo pipefail
orva=$1 demo=$2 screenshot=$3 artefacts=$4
source "$(dirname "${BASH_SOURCE[0]}")/xvfb-session.sh"
standard_session terminate-log.txt
make_installation
# An aborted pre-test is to be saved too, so the ended run counts as unsaved.
sed -i 's/^Threshold -40$/Threshold -40\nPreTestSaveMode 2/' "$work/bin/ORVA.ini"
start_display 151

(cd "$work/bin" && exec ./orva) &
orva_pid=$!
main=$(wait_for_window "^ORVA 3.1.31$" 20) || fail "the main window did not appear"
sleep 3.5 # the splash screen goes after three seconds
xdotool windowfocus --sync "$main" key F6
for _ in $(seq 30); do
    [ "$(grep -c '^   OnAudioInput: startVerification$' "$work/bin/log.txt")" -ge 2 ] && break
    sleep 1
done
[ "$(grep -c '^   OnAudioInput: startVerification$' "$work/bin/log.txt")" -ge 2 ] \
    || fail "the pre-test did not get going"
kill -TERM "$orva_pid"
status=0
wait "$orva_pid" || status=$?
orva_pid=
[ "$status" -eq 0 ] || fail "the program ended with $status on SIGTERM"
grep -q '^BEGIN: On Terminate$' "$work/bin/log.txt" || fail "the signal was not handled"
[ -s "$work/bin/unsaved-run.orv" ] || fail "the unsaved run was not kept"
grep -q '^\[ExpList\]' "$work/data/Testfall-Erika.orl" || fail "the run's entries were lost"
grep -q '^DataDirectory ' "$work/bin/ORVA.ini" || fail "the settings were not written"

# The next start offers the run back; Return answers "Ja".
(cd "$work/bin" && exec ./orva) &
orva_pid=$!
question=$(wait_for_window "^Bestätigung$" 20) || fail "the kept run was not offered"
"$screenshot" "$artefacts/terminate-offered-back.png"
xdotool windowfocus --sync "$question" key Return
sleep 1
[ ! -e "$work/bin/unsaved-run.orv" ] || fail "the kept run is still waiting after it was opened"
main=$(wait_for_window "^ORVA 3.1.31$" 10) || fail "the main window did not appear"
xdotool windowfocus --sync "$main" key alt+d
sleep 0.5
xdotool key s
info=$(wait_for_window "ORVA Hinweis" 10) || fail "no message after saving"
xdotool windowfocus --sync "$info" key Return
ls "$work"/data/de_de/Testfall-Erika_*-VT*.orv >/dev/null 2>&1 || fail "the kept run was not saved"
kill -TERM "$orva_pid"
wait "$orva_pid" || fail "the program ended with $? on the second SIGTERM"
orva_pid=
[ ! -e "$work/bin/unsaved-run.orv" ] || fail "a saved run was kept as unsaved"
echo "1 passed, 0 failed"
