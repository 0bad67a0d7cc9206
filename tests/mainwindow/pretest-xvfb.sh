#!/usr/bin/env bash
# A whole pre-test as a person runs it, on a copy of the demo installation under its own Xvfb:
# the microphone is a WAV file of voice-like bursts about every second, the headphones a WAV
# file. F6 starts the run; at its end the status line says "komplett", File > Save writes the
# run file and the client's training history gets its entry.
#   pretest-xvfb.sh <orva> <demo installation> <orva_screenshot> <artefacts folder>
set -euo pipefail
orva=$1 demo=$2 screenshot=$3 artefacts=$4
source "$(dirname "${BASH_SOURCE[0]}")/xvfb-session.sh"
standard_session pretest-log.txt
make_installation
start_display 121

(cd "$work/bin" && exec ./orva) &
orva_pid=$!
main=$(wait_for_window "^ORVA 3.1.31$" 20) || fail "the main window did not appear"
sleep 3.5 # the splash screen goes after three seconds
xdotool windowfocus --sync "$main" key F6
sleep 8
"$screenshot" "$artefacts/pretest-running.png"
# 12 syllables of at most 2 s answer and 2 s verification each, after a 2.25 s countdown.
for _ in $(seq 90); do
    grep -q '^BEGIN: End Experiment$' "$work/bin/log.txt" && break
    sleep 1
done
grep -q '^BEGIN: End Experiment$' "$work/bin/log.txt" || fail "the pre-test did not end"
sleep 1
# Bursts that came within 200 ms of a syllable's start are reported once at the end.
if warning=$(wait_for_window "ORVA Warnung" 2); then
    "$screenshot" "$artefacts/pretest-early-onsets.png"
    xdotool windowfocus --sync "$warning" key Return
    sleep 0.5
fi
"$screenshot" "$artefacts/pretest-finished.png"
[ "$(grep -c '^   OnAudioInput: startVerification$' "$work/bin/log.txt")" -ge 12 ] \
    || fail "not every syllable was answered"

# File > Save: Datei, Speichern.
xdotool windowfocus --sync "$main" key alt+d
sleep 0.5
xdotool key s
info=$(wait_for_window "ORVA Hinweis" 10) || fail "no message after saving"
xdotool windowfocus --sync "$info" key Return
run=$(ls "$work"/data/de_de/Testfall-Erika_*-VT12.orv 2>/dev/null | head -n 1)
[ -n "$run" ] || fail "no run file was written"
cp "$run" "$artefacts/pretest-run.orv"
python3 - "$run" <<'PY' || fail "the run file's measurements are not all answered in 200 to 2000 ms"
import sys
text = open(sys.argv[1], encoding="utf-8-sig").read()
times = []
for line in text.splitlines():
    if line.startswith("Messung"):
        times.append(int(line.split("=", 1)[1]))  # + right, - wrong or no answer
print("reaction times:", times)
assert len(times) == 12, len(times)
assert all(200 <= t <= 2000 for t in times), times
PY
[ -s "$work/data/Testfall-Erika.orl" ] || fail "the training history was not saved"
grep -q '^\[ExpList\]' "$work/data/Testfall-Erika.orl" || fail "the training history has no entry list"

xdotool windowfocus --sync "$main" key alt+d
sleep 0.5
xdotool key b
wait "$orva_pid" || fail "the program ended with $?"
orva_pid=
# The headphones' file is complete once the program has ended: it must hold the syllables.
python3 - "$work/headphones.wav" <<'PY' || fail "the syllables were not played"
import struct, sys, wave
w = wave.open(sys.argv[1])
frames = w.readframes(w.getnframes())
samples = struct.unpack("<%dh" % (len(frames) // 2), frames)
loud = sum(1 for s in samples if abs(s) > 3000)
print("played: %.1f s, %d loud samples" % (w.getnframes() / 44100, loud))
assert w.getframerate() == 44100 and w.getnchannels() == 2
assert loud > 12 * 1000, loud
PY
echo "1 passed, 0 failed"
