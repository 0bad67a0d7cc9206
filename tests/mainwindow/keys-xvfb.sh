#!/usr/bin/env bash
# The main window's keys as an operator presses them, on a copy of the demo installation under
# its own Xvfb: Tab reaches the last-name field first, the threshold slider's Down lowers the
# threshold, the entry fields show their tool tips, an aborted pre-test is not saved under the
# default save mode, and closing the window during a run keeps that run's entries in the
# client's training history.
#   keys-xvfb.sh <orva> <demo installation> <orva_screenshot> <artefacts folder>
set -euo pipefail
orva=$1 demo=$2 screenshot=$3 artefacts=$4
source "$(dirname "${BASH_SOURCE[0]}")/xvfb-session.sh"
standard_session keys-log.txt
make_installation
start_display 181

(cd "$work/bin" && exec ./orva) &
orva_pid=$!
main=$(wait_for_window "^ORVA 3.1.31$" 20) || fail "the main window did not appear"
sleep 3.5 # the splash screen goes after three seconds
xdotool windowfocus --sync "$main"

# Tab from the window: the last-name field first, whose text the typing replaces; three more
# Tabs reach the threshold slider.
xdotool key Tab
xdotool type --delay 30 Zweitname
xdotool key Tab Tab Tab
for _ in 1 2 3 4 5; do xdotool key Down; done
"$screenshot" "$artefacts/keys-fields.png"

# The mouse resting on the last-name field and on the comment: a tool tip window each time.
# The points lie inside the fields as the layout places them on this 1280×1024 screen.
tip_shown() { # tip_shown <x> <y> <artefact>
    xdotool mousemove 640 600
    sleep 0.3
    local before
    before=$(xdotool search --onlyvisible --pid "$orva_pid" 2>/dev/null | wc -l)
    xdotool mousemove "$1" "$2"
    sleep 0.1
    xdotool mousemove "$(($1 + 1))" "$2"
    sleep 1.6
    "$screenshot" "$artefacts/$3"
    [ "$(xdotool search --onlyvisible --pid "$orva_pid" 2>/dev/null | wc -l)" -gt "$before" ]
}
tip_shown 280 41 keys-tip-last-name.png || fail "no tool tip over the last-name field"
tip_shown 500 948 keys-tip-comment.png || fail "no tool tip over the comment"
xdotool mousemove 640 600
xdotool windowfocus --sync "$main"

# An aborted pre-test: "Speichern" (Alt+D, S) saves nothing under the default save mode.
xdotool key F6
sleep 4
xdotool key F8
sleep 1
xdotool key alt+d
sleep 0.5
xdotool key s
if wait_for_window "ORVA Hinweis" 3 >/dev/null; then fail "an aborted pre-test was saved"; fi
xdotool key Escape
[ -z "$(ls "$work/data/de_de")" ] || fail "a run file was written: $(ls "$work/data/de_de")"

# A second pre-test, and the window closed (Datei, Beenden) while it runs.
xdotool windowfocus --sync "$main" key F6
for _ in $(seq 30); do
    [ "$(grep -c '^   OnAudioInput: startVerification$' "$work/bin/log.txt")" -ge 4 ] && break
    sleep 1
done
xdotool key alt+d
sleep 0.5
xdotool key b
# The aborted run may first report onsets that came too early.
if warning=$(wait_for_window "ORVA Warnung" 2); then
    xdotool windowfocus --sync "$warning" key Return
fi
for _ in $(seq 100); do kill -0 "$orva_pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$orva_pid" 2>/dev/null; then
    "$screenshot" "$artefacts/keys-not-closed.png"
    fail "the window did not close during the run"
fi
wait "$orva_pid" || fail "the program ended with $?"
orva_pid=

settings=$(tr -d '\r' <"$work/bin/ORVA.ini")
grep -q '^Name=Zweitname$' <<<"$settings" || fail "Tab did not lead to the last-name field"
grep -q '^Threshold -45$' <<<"$settings" \
    || fail "Down×5 on the slider gave $(grep '^Threshold' <<<"$settings")"
history="$work/data/Zweitname-Erika.orl"
[ -f "$history" ] || fail "no training history"
entries=$(grep -c '^\[[0-9]*\]' "$history" || true)
[ "$entries" -ge 2 ] || fail "the run closed with the window lost its entries ($entries in the history)"
echo "1 passed, 0 failed"
