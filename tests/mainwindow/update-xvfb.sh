#!/usr/bin/env bash
# A downloaded update under the real program: the "Update" question at the start, Yes, the
# program closes, and only then does the patch run, after the settings were written. Then an
# update announced while an aborted run is unsaved: Yes, Cancel at the unsaved-run question,
# and nothing runs, then or at the end of the program.
#   update-xvfb.sh <orva> <demo installation> <orva_screenshot> <artefacts folder>
set -euo pipefail
orva=$1 demo=$2 screenshot=$3 artefacts=$4
source "$(dirname "${BASH_SOURCE[0]}")/xvfb-session.sh"
standard_session update-log.txt
for tool in Xvfb xdotool sox sha256sum; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 0; }
done

make_installation
# The update program of this installation answers nothing; the test plays its part.
printf '#!/bin/sh\nexit 0\n' >"$work/bin/orva-update"
chmod 755 "$work/bin/orva-update"
mkdir -p "$work/update/extract"
patch=$work/update/extract/patch.run
write_patch() { # as the update program leaves it; the next start with no newer one cleans it away
    printf '#!/bin/sh\ncp "%s" "%s"\n' "$work/bin/ORVA.ini" "$work/patch-saw.ini" >"$patch"
    chmod 755 "$patch"
}
write_patch
hash=$(sha256sum "$patch" | cut -d' ' -f1)
announce() { # <version> <downloading>
    write_patch
    printf '[VersionInfo]\r\nCurrentVersion=%s\r\nPatchName=patch.run\r\nPatchSHA256=%s\r\ndownloading=%s\r\n[VersionInfo]\r\n' \
        "$1" "$hash" "$2" >"$work/update/version.ini.new"
    mv "$work/update/version.ini.new" "$work/update/version.ini"
}
wait_for_patch() {
    for _ in $(seq 100); do [ -e "$work/patch-saw.ini" ] && return 0; sleep 0.05; done
    return 1
}

start_display 150

# 1. A waiting update: asked at once; Yes closes the program, then the patch runs.
announce 3.2.0 yes
(cd "$work/bin" && exec ./orva) &
orva_pid=$!
question=$(wait_for_window "^Update$" 20) || fail "no update question at the start"
sleep 0.3
"$screenshot" "$artefacts/update-question.png"
[ ! -e "$work/patch-saw.ini" ] || fail "the patch ran while the program was open"
xdotool windowfocus --sync "$question" key Return
wait "$orva_pid" || fail "the program ended with $?"
orva_pid=
wait_for_patch || fail "the patch did not run after the program closed"
grep -q '^DataDirectory' "$work/patch-saw.ini" || fail "the patch ran before the settings were written"
grep -q 'UpdateManager.ask_install 070' "$work/bin/log.txt" || fail "the patch's start is not in the log"

# 2. The update is announced while an aborted run waits to be saved: Yes, then Cancel.
rm -f "$work/patch-saw.ini"
announce 3.1.31 unknown
sed -i 's/^PreTestSaveMode .*/PreTestSaveMode 2/' "$work/bin/ORVA.ini"
grep -q '^PreTestSaveMode 2' "$work/bin/ORVA.ini" || fail "the save mode was not set"
(cd "$work/bin" && exec ./orva) &
orva_pid=$!
main=$(wait_for_window "^ORVA 3.1.31$" 20) || fail "the main window did not appear"
sleep 3.5 # the splash screen is gone
xdotool windowfocus --sync "$main" key F6
sleep 3
xdotool windowfocus --sync "$main" key F8
sleep 0.5
announce 3.2.0 yes
question=$(wait_for_window "^Update$" 10) || fail "no update question during the session"
xdotool windowfocus --sync "$question" key Return
sleep 0.5
unsaved=$(wait_for_window "^Bestätigung$" 10) || fail "no question about the unsaved run"
"$screenshot" "$artefacts/update-unsaved-question.png"
xdotool windowfocus --sync "$unsaved" key Escape
sleep 2
kill -0 "$orva_pid" 2>/dev/null || fail "the program closed although the close was cancelled"
[ ! -e "$work/patch-saw.ini" ] || fail "the patch ran after Cancel"
# Closing now, without saving: still nothing runs.
xdotool windowfocus --sync "$main" key alt+d
sleep 0.5
xdotool key b
unsaved=$(wait_for_window "^Bestätigung$" 10) || fail "no question about the unsaved run at the end"
xdotool windowfocus --sync "$unsaved" key alt+n
wait "$orva_pid" || fail "the program ended with $?"
orva_pid=
sleep 1
[ ! -e "$work/patch-saw.ini" ] || fail "the patch ran although Cancel was answered"
echo "2 passed, 0 failed"
