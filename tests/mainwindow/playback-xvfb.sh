#!/usr/bin/env bash
# The instruction and the hearing check as an operator reaches them, on a copy of the demo
# installation under its own Xvfb, with real key events: F5 opens "ORVA: Einweisung" with the
# recording of the client's age and Return closes it; F9 shows its two notices, plays the tone
# and ends by itself, after which F6 starts a pre-test's countdown; F5 during the countdown does
# nothing; the language dialog sets the material language and leaves the German interface; an
# English installation opens its instruction in English.
#   playback-xvfb.sh <orva> <demo installation> <orva_screenshot> <artefacts folder>
set -euo pipefail
orva=$1 demo=$2 screenshot=$3 artefacts=$4
source "$(dirname "${BASH_SOURCE[0]}")/xvfb-session.sh"
standard_session playback-log.txt
make_installation
start_display 211
log=$work/bin/log.txt

gone() { # gone <title> <s>: no visible window of that name any more
    for _ in $(seq $(($2 * 50))); do
        xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
        sleep 0.02
    done
    return 1
}
count() { grep -c -- "$1" "$log" || true; }
start_orva() {
    (cd "$work/bin" && exec ./orva) &
    orva_pid=$!
    main=$(wait_for_window "^ORVA 3.1.31$" 20) || fail "the main window did not appear"
    sleep 3.5 # the splash screen goes after three seconds
    xdotool windowfocus --sync "$main"
}
start_orva

# F5: the instruction of the client's age (Erika, born on 5 March 2011) in a modeless dialog.
today=$(date +%Y%m%d)
age=$(((10#$today - 20110305) / 10000))
if [ "$age" -ge 15 ]; then recording=adult_in.wav; else recording=child_in.wav; fi
xdotool key F5
instruction=$(wait_for_window "^ORVA: Einweisung$" 5) || fail "F5 opened no instruction dialog"
sleep 1
"$screenshot" "$artefacts/playback-instruction.png"
grep -q "^Start Instruction .*/media/de_de/$recording$" "$log" \
    || fail "not the $recording of a client aged $age: $(grep 'Start Instruction' "$log")"
xdotool windowfocus --sync "$instruction" key Return
gone "^ORVA: Einweisung$" 3 || fail "Return did not close the instruction dialog"

# F9: two notices, the tone, and the end by itself.
xdotool windowfocus --sync "$main" key F9
first=$(wait_for_window "^ORVA Hinweis$" 5) || fail "the first notice of the hearing check is missing"
"$screenshot" "$artefacts/playback-notice.png"
xdotool windowfocus --sync "$first" key Return
# The second notice has the same title; it is another window.
second=
for _ in $(seq 250); do
    second=$(xdotool search --onlyvisible --name "^ORVA Hinweis$" 2>/dev/null | grep -vx "$first" | head -n 1) && break
    sleep 0.02
done
[ -n "$second" ] || fail "the second notice of the hearing check is missing"
[ "$(count 'BEGIN: On Start Audition Test')" = 1 ] && [ "$(count 'END  : On Start Audition Test')" = 0 ] \
    || fail "the tone started before the second notice was confirmed"
xdotool windowfocus --sync "$second" key Return
gone "^ORVA Hinweis$" 3 || fail "the second notice did not close"
sleep 0.3
[ "$(count 'END  : On Start Audition Test')" = 1 ] || fail "the hearing check did not start"
# While it sounds, F6 starts nothing.
xdotool windowfocus --sync "$main" key F6
sleep 0.5
[ "$(count 'OSPT 10: Exp is running; END')" = 1 ] || fail "F6 was not refused during the tone"
sleep 4.5 # the demo's tone lasts four seconds
xdotool windowfocus --sync "$main" key F6
sleep 1
[ "$(count 'OSPT 40: startExperiment')" = 1 ] || fail "F6 did not start a pre-test after the tone"

# F5 during the countdown: refused, no dialog.
xdotool key F5
if wait_for_window "^ORVA: Einweisung$" 1 >/dev/null; then fail "F5 opened the instruction during a run"; fi
[ "$(count '^Exp is running; END$')" = 1 ] \
    && [ "$(count '^Start Instruction ')" = 1 ] || fail "F5 was not refused during the run"
xdotool key F8
sleep 1
if warning=$(wait_for_window "ORVA Warnung" 1); then
    xdotool windowfocus --sync "$warning" key Return
fi

# The language dialog: English UK (the third entry) for the material; the interface stays German.
xdotool windowfocus --sync "$main" key alt+e
sleep 0.5
xdotool key s
language=$(wait_for_window "^ORVA: Sprache$" 5) || fail "no language dialog"
xdotool windowfocus --sync "$language" key Down Down
sleep 0.3
"$screenshot" "$artefacts/playback-language.png"
xdotool key Return
gone "^ORVA: Sprache$" 3 || fail "the language dialog did not close"
xdotool windowfocus --sync "$main" key F5
instruction=$(wait_for_window "^ORVA: Einweisung$" 5) || fail "the interface did not stay German"
grep -q "Start Instruction .*/media/de_de/" <(tail -n 20 "$log") \
    || fail "the instruction did not stay in the interface's language"
xdotool windowfocus --sync "$instruction" key Return
gone "^ORVA: Einweisung$" 3 || fail "Return did not close the second instruction dialog"
xdotool windowfocus --sync "$main" key alt+d
sleep 0.5
xdotool key b
for _ in $(seq 100); do kill -0 "$orva_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$orva_pid" 2>/dev/null && fail "the window did not close"
wait "$orva_pid" || fail "the program ended with $?"
orva_pid=
grep -q '^ExpLanguage 2' <(tr -d '\r' <"$work/bin/ORVA.ini") \
    || fail "the material language was not kept: $(grep ExpLanguage "$work/bin/ORVA.ini")"

# An English installation: its instruction dialog and its recording are English.
sed -i 's/^language=de_de$/language=en_uk/' "$work/bin/registry.ini"
ln -s "$demo/bin/en_uk" "$work/bin/en_uk" # the English texts
start_orva
xdotool key F5
wait_for_window "^ORVA: Instruction$" 5 >/dev/null || fail "no English instruction dialog"
sleep 0.5
"$screenshot" "$artefacts/playback-instruction-en.png"
grep -q "Start Instruction .*/media/en_uk/" <(tail -n 20 "$log") \
    || fail "not the English recording"
echo "1 passed, 0 failed"
