#!/usr/bin/env bash
# The audio set-up wizard as an operator meets it, on a copy of the demo installation under its
# own Xvfb, with real key events and a stub in place of pavucontrol: on the first start it opens
# by itself at the top left, Return walks it through its seven steps (a screenshot of each, in
# German and in English), the stub mixer runs with the output page at steps 2, 3 and 5 and the
# input page at step 4, and after OK (or Escape) no stub is left running; the next start does
# not open it again.
#   wizard-xvfb.sh <orva> <demo installation> <orva_screenshot> <artefacts folder>
set -euo pipefail
orva=$1 demo=$2 screenshot=$3 artefacts=$4
source "$(dirname "${BASH_SOURCE[0]}")/xvfb-session.sh"
standard_session wizard-log.txt
make_installation
start_display 241
log=$work/bin/log.txt
calls=$work/mixer-calls.txt

# The mixer: writes its process id and arguments, then waits to be ended.
printf '#!/bin/sh\necho "$$ $*" >> "%s"\nexec sleep 60\n' "$calls" >"$work/bin/pavucontrol"
chmod +x "$work/bin/pavucontrol"
: >"$calls"

alive() { # the arguments of the stubs still running
    while read -r pid arguments; do
        kill -0 "$pid" 2>/dev/null && echo "$arguments"
    done <"$calls"
    return 0
}
expect_mixer() { # expect_mixer <arguments or empty> <step>
    for _ in $(seq 100); do
        [ "$(alive | tr '\n' ' ')" = "${1:+$1 }" ] && return 0
        sleep 0.05
    done
    fail "step $2: running mixers '$(alive | tr '\n' ' ')', expected '$1'"
}
gone() {
    for _ in $(seq $(($2 * 50))); do
        xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
        sleep 0.02
    done
    return 1
}
first_start() { # first_start <language> <title>: the wizard due, the program started
    sed -i "s/^language=.*/language=$1/" "$work/bin/registry.ini"
    [ -e "$work/bin/$1" ] || ln -s "$demo/bin/$1" "$work/bin/$1" # the language's texts
    sed -i 's/^DoAudioIntro 0/DoAudioIntro 1/' "$work/bin/ORVA.ini" # the program writes CR LF
    (cd "$work/bin" && exec ./orva) &
    orva_pid=$!
    main=$(wait_for_window "^ORVA 3.1.31$" 20) || fail "the main window did not appear"
    wizard=$(wait_for_window "^$2\$" 10) || fail "the wizard did not open by itself ($1)"
    sleep 3 # the splash screen goes after three seconds
    position=$(xdotool getwindowgeometry "$wizard" | sed -n 's/.*Position: \([0-9]*,[0-9]*\).*/\1/p')
    echo "wizard at $position"
}
close_program() { # close_program <menu key> <item key>: File, Exit
    xdotool windowfocus --sync "$main" key "alt+$1"
    sleep 0.5
    xdotool key "$2"
    wait "$orva_pid" || fail "the program ended with $?"
    orva_pid=
}

# German: all seven steps with Return (Weiter, at the end OK).
first_start de_de "ORVA: Audiosystemeinstellungen"
mixers=("" "" "--tab=3" "--tab=3" "--tab=4" "--tab=3" "")
for step in 0 1 2 3 4 5 6; do
    expect_mixer "${mixers[$step]}" "$step"
    sleep 0.3
    "$screenshot" "$artefacts/wizard-step$step-de_de.png"
    xdotool windowfocus --sync "$wizard" key Return
done
gone "^ORVA: Audiosystemeinstellungen$" 3 || fail "OK did not close the wizard"
expect_mixer "" "after OK"
[ "$(wc -l <"$calls")" = 4 ] || fail "expected four mixer starts: $(cat "$calls")"
grep -q '^START: onSettingsAudioDialog' "$log" || fail "the log lacks the wizard's start"
close_program d b
grep -q '^DoAudioIntro 0' <(tr -d '\r' <"$work/bin/ORVA.ini") || fail "DoAudioIntro stayed on"

# The second start does not open it again.
(cd "$work/bin" && exec ./orva) &
orva_pid=$!
main=$(wait_for_window "^ORVA 3.1.31$" 20) || fail "the main window did not appear again"
sleep 2.5
xdotool search --onlyvisible --name "^ORVA: Audiosystemeinstellungen$" >/dev/null 2>&1 \
    && fail "the wizard opened on the second start"
close_program d b

# English: the seven steps again, then Escape at step 6 after going back to step 3.
: >"$calls"
first_start en_uk "ORVA: Audio Setup"
for step in 0 1 2 3 4 5 6; do
    sleep 0.5
    "$screenshot" "$artefacts/wizard-step$step-en_uk.png"
    [ "$step" = 6 ] || xdotool windowfocus --sync "$wizard" key Return
done
xdotool windowfocus --sync "$wizard" key alt+b alt+b alt+b # Back three times: step 3
expect_mixer "--tab=3" 3
xdotool windowfocus --sync "$wizard" key Escape
gone "^ORVA: Audio Setup$" 3 || fail "Escape did not close the wizard"
expect_mixer "" "after Escape"
close_program f x
echo "PASS"
