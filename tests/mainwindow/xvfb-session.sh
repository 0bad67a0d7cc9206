# Shared by the tests that drive the real program under an Xvfb display of their own; sourced
# after `demo` and `artefacts` are set, it skips the test when there is no demo installation.
#   standard_session <log name>    `work`, a temporary folder removed at exit with the program and
#                                  Xvfb; `fail` keeps the program's log as <log name>
#   make_folders                   bin/ with the program, data/, the demo's recordings
#   make_installation              a copy of the demo installation in $work whose microphone and
#                                  headphones are WAV files, with a client "Testfall, Erika"
#   write_settings <file>          settings without the first-run dialogs, with that client
#   make_voice <folder>            <folder>/microphone.wav: the client's voice for two minutes
#   start_display <first number>   Xvfb on a free display, DISPLAY exported
#   wait_for_window <title> <s>    the id of the first visible window whose name matches
mkdir -p "$artefacts"
[ -f "$demo/media/de_de/Silben81/ba.wav" ] || { echo "SKIP: no demo installation"; exit 0; }
xvfb_pid=
orva_pid=

standard_session() {
    log_name=$1
    work=$(mktemp -d)
    trap 'cleanup' EXIT
}
cleanup() {
    # The program writes its settings and removes its lock as it ends: its folder goes only
    # after it has gone (a removal racing with it fails and would fail the test).
    if [ -n "$orva_pid" ]; then
        kill "$orva_pid" 2>/dev/null || true
        for _ in $(seq 100); do kill -0 "$orva_pid" 2>/dev/null || break; sleep 0.05; done
        kill -9 "$orva_pid" 2>/dev/null || true
        wait "$orva_pid" 2>/dev/null || true
    fi
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work" || true
}
fail() {
    echo "FAIL: $*"
    [ -f "$work/bin/log.txt" ] && cp "$work/bin/log.txt" "$artefacts/$log_name"
    exit 1
}

make_voice() { # a 120 ms burst of a 180 Hz buzz every 1.05 s
    sox -q -n -r 44100 -b 16 -c 1 "$1/burst.wav" synth 0.12 square 180 vol 0.5 fade t 0.005 0.12 0.02
    sox -q -n -r 44100 -b 16 -c 1 "$1/gap.wav" trim 0 0.93
    sox -q "$1/burst.wav" "$1/gap.wav" "$1/cycle.wav"
    sox -q "$1/cycle.wav" "$1/microphone.wav" repeat 114
}

make_folders() { # bin/ with the program, data/ per language, the demo's recordings
    mkdir -p "$work/bin" "$work/data"
    for code in de_de en_us en_uk es_es fr_fr pl_pl; do mkdir -p "$work/data/$code"; done
    ln -s "$demo/media" "$work/media"
    cp "$orva" "$work/bin/orva"
}

make_installation() {
    make_folders
    make_voice "$work"
    cat >"$work/bin/registry.ini" <<INI
[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norquell\\ORVA\\3.1]
root=$work
TrueUpdateDir=$work/update
language=de_de
AudioOutput=file:$work/headphones.wav
AudioInput=file:$work/microphone.wav
INI
    write_settings "$work/bin/ORVA.ini"
}

write_settings() { # a client with a name and a birthday, so that a run can be saved
    cat >"$1" <<INI
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
    for n in $(seq "$1" $(($1 + 29))); do
        if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then display=":$n"; break; fi
    done
    [ -n "$display" ] || fail "no free X display"
    Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    export DISPLAY=$display QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=$work/runtime
    mkdir -m 700 "$work/runtime"
    unset WAYLAND_DISPLAY
    for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done
}

wait_for_window() { # polls every 20 ms
    for _ in $(seq $(($2 * 50))); do
        xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 && return 0
        sleep 0.02
    done
    return 1
}
