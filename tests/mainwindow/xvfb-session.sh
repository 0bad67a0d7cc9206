# Shared by the tests that drive the real program under an Xvfb display of their own; sourced
# after `orva`, `demo` and `artefacts` are set. Sets `work` (a copy of the demo installation whose
# microphone and headphones are WAV files), starts Xvfb, and removes both at exit.
#   make_installation <log name>    the folders, the installation values and a client "Testfall"
#   start_display                   Xvfb on a free display, DISPLAY exported
#   wait_for_window <title> <s>     the id of the first window whose name matches, or failure
work=$(mktemp -d)
xvfb_pid=
orva_pid=
log_name=session-log.txt
cleanup() {
    [ -n "$orva_pid" ] && kill "$orva_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*"
    [ -f "$work/bin/log.txt" ] && cp "$work/bin/log.txt" "$artefacts/$log_name"
    exit 1
}

make_installation() {
    log_name=$1
    mkdir -p "$work/bin" "$work/data"
    for code in de_de en_us en_uk es_es fr_fr pl_pl; do mkdir -p "$work/data/$code"; done
    ln -s "$demo/media" "$work/media"
    cp "$orva" "$work/bin/orva"

    # The client's voice: a 120 ms burst of a 180 Hz buzz every 1.05 s, for two minutes.
    sox -q -n -r 44100 -b 16 -c 1 "$work/burst.wav" synth 0.12 square 180 vol 0.5 fade t 0.005 0.12 0.02
    sox -q -n -r 44100 -b 16 -c 1 "$work/gap.wav" trim 0 0.93
    sox -q "$work/burst.wav" "$work/gap.wav" "$work/cycle.wav"
    sox -q "$work/cycle.wav" "$work/microphone.wav" repeat 114

    cat >"$work/bin/registry.ini" <<INI
[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norquell\\ORVA\\3.1]
root=$work
TrueUpdateDir=$work/update
language=de_de
AudioOutput=file:$work/headphones.wav
AudioInput=file:$work/microphone.wav
INI
    # A client with a name and a birthday, so that the run can be saved.
    cat >"$work/bin/ORVA.ini" <<INI
ORVA Version 3.1.31
ExpLanguage 0
Threshold -40
DoIntro 0
DoAudioIntro 0

Liste der Probanden
[Proband]
Name=Testfall
Vorname=Erika
Geburtstag=05.03.2011
INI
}

start_display() {
    local display=
    for n in $(seq 121 150); do
        if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then display=":$n"; break; fi
    done
    [ -n "$display" ] || fail "no free X display"
    Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    export DISPLAY=$display QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=$work/runtime
    mkdir -m 700 "$work/runtime"
    for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done
}

wait_for_window() { # wait_for_window <title> <seconds>
    for _ in $(seq $(($2 * 10))); do
        xdotool search --name "$1" 2>/dev/null | head -n 1 && return 0
        sleep 0.1
    done
    return 1
}
