#!/usr/bin/env bash
# Printing in the real window under its own Xvfb: a pre-test as a person runs it, then
# Datei > Drucken by keys prints the result page, and Ansicht > Übungsbericht shows the training
# report with its buttons. The print dialog is replaced by a PDF file (ORVA_PRINT_TO_PDF), which
# poppler-utils read back.
#   print-xvfb.sh <orva> <demo installation> <orva_screenshot> <artefacts folder>
set -euo pipefail
orva=$1 demo=$2 screenshot=$3 artefacts=$4
source "$(dirname "${BASH_SOURCE[0]}")/xvfb-session.sh"
command -v pdfinfo >/dev/null && command -v pdftotext >/dev/null \
    || { echo "SKIP: poppler-utils are not installed"; exit 0; }
standard_session print-log.txt
make_installation
start_display 151
export ORVA_PRINT_TO_PDF=$work/printout.pdf

(cd "$work/bin" && exec ./orva) &
orva_pid=$!
main=$(wait_for_window "^ORVA 3.1.31$" 20) || fail "the main window did not appear"
sleep 3.5 # the splash screen goes after three seconds
xdotool windowfocus --sync "$main" key F6
for _ in $(seq 90); do
    grep -q '^BEGIN: End Experiment$' "$work/bin/log.txt" && break
    sleep 1
done
grep -q '^BEGIN: End Experiment$' "$work/bin/log.txt" || fail "the pre-test did not end"
sleep 1
if warning=$(wait_for_window "ORVA Warnung" 2); then
    xdotool windowfocus --sync "$warning" key Return
    sleep 0.5
fi

# Datei > Drucken.
xdotool windowfocus --sync "$main" key alt+d
sleep 0.5
xdotool key d
for _ in $(seq 50); do [ -s "$ORVA_PRINT_TO_PDF" ] && break; sleep 0.2; done
[ -s "$ORVA_PRINT_TO_PDF" ] || fail "Datei > Drucken printed nothing"
cp "$ORVA_PRINT_TO_PDF" "$artefacts/print-xvfb-result.pdf"
[ "$(pdfinfo "$ORVA_PRINT_TO_PDF" | sed -n 's/^Pages: *//p')" = 1 ] || fail "the result is not one page"
[ "$(pdfinfo "$ORVA_PRINT_TO_PDF" | sed -n 's/^Title: *//p')" = "ORVA Result.txt" ] \
    || fail "the result's document has another title"
text=$(pdftotext -layout "$ORVA_PRINT_TO_PDF" -)
grep -q 'Nachname: Testfall' <<<"$text" || fail "the client is not on the page"
grep -q 'Modus: Vortest' <<<"$text" || fail "the run kind is not on the page"
grep -Eq '(^|[[:space:]])12: +[a-z]+ +[0-9]+ms' <<<"$text" || fail "the twelfth syllable is not listed"
grep -q '^BEGIN: print result$' "$work/bin/log.txt" || fail "the log has no print"

# Ansicht > Übungsbericht: from Datei two menus to the left, then its second entry. The run is
# not saved: the question about it is answered with No.
xdotool windowfocus --sync "$main" key alt+d
sleep 0.5
xdotool key Left Left Down Return
question=$(wait_for_window "Bestätigung" 5) || fail "the unsaved run was not offered for saving"
"$screenshot" "$artefacts/print-xvfb-question.png"
xdotool windowfocus --sync "$question" key alt+n
for _ in $(seq 25); do grep -q '^START   OSRep$' "$work/bin/log.txt" && break; sleep 0.2; done
grep -q '^START   OSRep$' "$work/bin/log.txt" || fail "the report view did not open"
sleep 1
"$screenshot" "$artefacts/print-xvfb-report-view.png"
# Its "Drucken" button (the third of the row below the report on this 1280 x 1024 screen).
rm -f "$ORVA_PRINT_TO_PDF"
xdotool mousemove 700 805 click 1
for _ in $(seq 50); do [ -s "$ORVA_PRINT_TO_PDF" ] && break; sleep 0.2; done
[ -s "$ORVA_PRINT_TO_PDF" ] || fail "the report view's Drucken printed nothing"
cp "$ORVA_PRINT_TO_PDF" "$artefacts/print-xvfb-report.pdf"
[ "$(pdfinfo "$ORVA_PRINT_TO_PDF" | sed -n 's/^Title: *//p')" = "ORVA Übungsbericht" ] \
    || fail "the report's document has another title"
pdftotext -layout "$ORVA_PRINT_TO_PDF" - | grep -q 'ORVA Übungsbericht Erika Testfall' \
    || fail "the report's page header is not printed"

# Datei > Beenden; the unsaved run is offered once more, and left unsaved.
xdotool windowfocus --sync "$main" key alt+d
sleep 0.5
xdotool key b
question=$(wait_for_window "Bestätigung" 5) || fail "the unsaved run was not offered at the end"
xdotool windowfocus --sync "$question" key alt+n
wait "$orva_pid" || fail "the program ended with $?"
orva_pid=
echo "1 passed, 0 failed"
