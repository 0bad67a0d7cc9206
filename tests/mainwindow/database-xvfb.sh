#!/usr/bin/env bash
# The client database and an own syllable list as an operator uses them, with real keys and mouse
# clicks on a copy of the demo installation under its own Xvfb: Datei → Öffne Datenbank and a
# double click on a client make that client the current one; Einstellungen → Training →
# Eigene Liste, three syllables double-clicked, a name, OK, the new list chosen, OK; then F4
# starts a training drawn from that list only, and the list is in ORVA.ors after the end.
#   database-xvfb.sh <orva> <demo installation> <orva_screenshot> <artefacts folder>
set -euo pipefail
orva=$1 demo=$2 screenshot=$3 artefacts=$4
source "$(dirname "${BASH_SOURCE[0]}")/xvfb-session.sh"
standard_session database-log.txt
make_installation
start_display 211

# A run of another client, written by hand in the run file format.
printf '%s\r\n' 'ORVA Experiment 2.0' '[Intro]' 'Modus=PreTest' 'Language=de_de' '[Proband]' \
    'Name=Zweig' 'Vorname=Hanna' 'Geburtstag=07.08.2012' 'Versuchsdatum=17.05.2024 14:30' \
    '[Waves]' 'Wave1=ba' '[Daten]' 'Anzahl=1' 'Silbe1=ba' 'Messung1=480' \
    '[Durchschnitt]' 'Durchschnitt=480' >"$work/data/de_de/Zweig-Hanna_24-05-17_14-30-VT01.orv"

# Clicks at a point given in dialog units of a dialog `width`×`height` units large: without a
# window manager the window's size is its client size, so units scale to pixels directly.
click_at() { # click_at <window> <width> <height> <x> <y> [repeat]
    local w h
    eval "$(xdotool getwindowgeometry --shell "$1")"
    w=$WIDTH h=$HEIGHT
    xdotool mousemove --window "$1" $(($4 * w / $2)) $(($5 * h / $3))
    sleep 0.2
    xdotool click --repeat "${6:-1}" --delay 60 1
}

(cd "$work/bin" && exec ./orva) &
orva_pid=$!
main=$(wait_for_window "^ORVA 3.1.31$" 20) || fail "the main window did not appear"
sleep 3.5 # the splash screen goes after three seconds
xdotool windowfocus --sync "$main"

# Datei → Öffne Datenbank; the one client's row is double-clicked.
xdotool key alt+d
sleep 0.5
xdotool key f
database=$(wait_for_window "^Klientendaten$" 5) || fail "the client database did not open"
eval "$(xdotool getwindowgeometry --shell "$database")"
# The first row lies just below the header of the client list (7, 7 in dialog units).
xdotool mousemove --window "$database" $((20 * WIDTH / 394)) $((7 * HEIGHT / 209 + 28))
sleep 0.2
"$screenshot" "$artefacts/database-open.png"
xdotool click --repeat 2 --delay 60 1
for _ in $(seq 50); do
    xdotool search --onlyvisible --name "^Klientendaten$" >/dev/null 2>&1 || break
    sleep 0.1
done
xdotool search --onlyvisible --name "^Klientendaten$" >/dev/null 2>&1 \
    && fail "the double click did not close the client database"
sleep 0.5
"$screenshot" "$artefacts/database-client-chosen.png"

# Einstellungen → Training → Eigene Liste.
xdotool windowfocus --sync "$main" key alt+e
sleep 0.5
xdotool key t
settings=$(wait_for_window "^ORVA: Einstellungen Training$" 5) || fail "no training settings"
click_at "$settings" 426 200 120 94
own=$(wait_for_window "^ORVA: Eigene Liste$" 5) || fail "no own syllable list dialog"
stock=$(cd "$demo/media/de_de/Silben81" && ls -1 -- *.wav | LC_ALL=C sort | sed 's/\.wav$//')
rows=$(($(echo "$stock" | wc -l) / 10 + 1))
for syllable in ba pa ga; do
    index=$(($(echo "$stock" | grep -nx "$syllable" | cut -d: -f1) - 1))
    # The grid (7, 51, 284 × 228 units) in ten columns and `rows` rows.
    click_at "$own" 299 373 $((7 + (index % 10) * 284 / 10 + 14)) \
        $((51 + (index / 10) * 228 / rows + 228 / rows / 2)) 2
done
click_at "$own" 299 373 166 341 # the name field
xdotool type --delay 40 Mein1
"$screenshot" "$artefacts/database-own-list.png"
xdotool key Return
for _ in $(seq 50); do
    xdotool search --onlyvisible --name "^ORVA: Eigene Liste$" >/dev/null 2>&1 || break
    sleep 0.1
done
# The new list is the last entry of the list box (80, 69 units).
click_at "$settings" 426 200 156 75
sleep 0.5
xdotool key End Return
sleep 0.3
"$screenshot" "$artefacts/database-training-settings.png"
click_at "$settings" 426 200 350 131 # OK
sleep 0.5

# F4: a training of that list.
xdotool windowfocus --sync "$main" key F4
for _ in $(seq 50); do
    grep -q '^USED SYLLABLES:' "$work/bin/log.txt" 2>/dev/null && break
    sleep 0.1
done
used=$(grep -A1 '^USED SYLLABLES:' "$work/bin/log.txt" | tail -n 1 | tr -s ' ' '\n' | sed '/^$/d')
[ -n "$used" ] || fail "no training started"
[ -z "$(echo "$used" | grep -vx 'ba\|pa\|ga')" ] || fail "the training drew other syllables: $used"
[ "$(echo "$used" | wc -l)" -eq 15 ] || fail "the training is not 3 syllables × 5: $used"
sleep 1
"$screenshot" "$artefacts/database-training.png"

# Ended from outside: the own lists and the settings are written.
kill -TERM "$orva_pid"
wait "$orva_pid" || true
orva_pid=
grep -q 'Mein1 DE_DE ba pa ga 100 1' "$work/bin/ORVA.ors" || fail "the list is not in ORVA.ors"
grep -q '^Name=Zweig' "$work/bin/ORVA.ini" || fail "the chosen client is not the current one"
grep -q '^Silbenliste DE_DE=100' "$work/bin/ORVA.ini" || fail "the own list is not chosen"
echo "database, own list and training: OK"
