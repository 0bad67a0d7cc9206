#!/usr/bin/env bash
# Makes a demo installation of ORVA with synthetic recordings:
#   make-demo-installation.sh <orva_material_listing> <installation folder>
# Every syllable of every language's tables is spoken by espeak-ng, converted to 44,100 Hz 16-bit
# mono with sox and trimmed so that it starts within a few ms of its sound. Noise, babble,
# instructions, the hearing-check tone and the test tone are made as well. Only missing files are
# made; a file appears under its final name only once it is complete.
set -euo pipefail

listing=${1:?usage: $0 <orva_material_listing> <installation folder>}
root=${2:?usage: $0 <orva_material_listing> <installation folder>}
mkdir -p "$root"
root=$(cd "$root" && pwd)
media=$root/media
jobs=$(nproc)

for tool in espeak-ng sox; do
    command -v "$tool" >/dev/null || { echo "make-demo-installation: $tool is missing" >&2; exit 1; }
done

voice_of() {
    case "$1" in
    de_de) echo de ;;
    en_us) echo en-us ;;
    en_uk) echo en-gb ;;
    es_es) echo es ;;
    fr_fr) echo fr-fr ;;
    pl_pl) echo pl ;;
    esac
}

# speak <voice> <text> <target> [espeak options...]: one mono recording, leading silence trimmed.
speak() {
    local voice=$1 text=$2 target=$3
    shift 3
    [ -s "$target" ] && return 0
    local partial="$target.partial.wav"
    espeak-ng -v "$voice" "$@" --stdout -- "$text" \
        | sox -q -t wav - -r 44100 -b 16 -c 1 "$partial" \
            silence 1 0.001 0.5% reverse silence 1 0.02 0.5% reverse norm -3
    mv "$partial" "$target"
}
export -f speak

for code in de_de en_us en_uk es_es fr_fr pl_pl; do
    mkdir -p "$media/$code/Silben81" "$media/$code/Silben06" "$root/data/$code"
done
mkdir -p "$media/Noise" "$root/bin" "$root/data"

# Syllables, spoken in parallel.
"$listing" | while IFS=$'\t' read -r code folder base text; do
    printf '%s\0%s\0%s\0' "$(voice_of "$code")" "$text" "$media/$code/$folder/$base.wav"
done | xargs -0 -n 3 -P "$jobs" bash -c 'speak "$0" "$1" "$2"'

# Instructions for a child and for an adult, in each language.
instruction() { # instruction <code> <child text> <adult text>
    local voice
    voice=$(voice_of "$1")
    speak "$voice" "$2" "$media/$1/child_in.wav" -p 70 -s 150
    speak "$voice" "$3" "$media/$1/adult_in.wav" -s 160
}
instruction de_de "Hallo! Du hörst gleich kurze Silben. Sprich jede Silbe so schnell wie möglich nach." \
    "Sie hören gleich kurze Silben. Bitte sprechen Sie jede Silbe so schnell und deutlich wie möglich nach."
instruction en_us "Hi there! You will hear short syllables. Say each one back as fast as you can." \
    "You will hear short syllables. Please repeat each syllable as quickly and clearly as you can."
instruction en_uk "Hello! You will hear short syllables. Say each one back as quickly as you can." \
    "You will hear short syllables. Please repeat each syllable as quickly and clearly as possible."
instruction es_es "¡Hola! Vas a oír sílabas cortas. Repite cada sílaba lo más rápido que puedas." \
    "Va a oír sílabas cortas. Repita cada sílaba lo más rápida y claramente posible."
instruction fr_fr "Bonjour ! Tu vas entendre des syllabes courtes. Répète chaque syllabe le plus vite possible." \
    "Vous allez entendre des syllabes courtes. Répétez chaque syllabe aussi vite et aussi clairement que possible."
instruction pl_pl "Cześć! Usłyszysz krótkie sylaby. Powtórz każdą sylabę jak najszybciej." \
    "Usłyszy Pan lub Pani krótkie sylaby. Proszę powtórzyć każdą sylabę jak najszybciej i najwyraźniej."

tone() { # tone <target> <sox effects...>: 44,100 Hz 16-bit mono, made from nothing
    local target=$1
    shift
    [ -s "$target" ] && return 0
    sox -q -n -r 44100 -b 16 -c 1 "$target.partial.wav" "$@"
    mv "$target.partial.wav" "$target"
}

# Noise shaped like speech: pink noise without the highest and lowest bands.
tone "$media/Noise/rausch02.wav" synth 6 pinknoise highpass 150 lowpass 5000 norm -6

# Babble: several synthetic voices talking over each other.
if [ ! -s "$media/Noise/voices04.wav" ]; then
    babble=$(mktemp -d)
    speak de "Heute morgen sind wir mit dem Fahrrad zum Markt gefahren und haben Äpfel gekauft." "$babble/1.wav" -p 30 -s 150
    speak en-gb "The weather was lovely so we walked along the river and talked about the holidays." "$babble/2.wav" -p 60 -s 170
    speak fr-fr "Nous avons préparé le dîner ensemble et puis nous avons regardé un film à la maison." "$babble/3.wav" -p 45 -s 160
    speak pl "W sobotę pojechaliśmy nad jezioro i pływaliśmy łódką przez całe popołudnie." "$babble/4.wav" -p 80 -s 155
    sox -q -m "$babble"/1.wav "$babble"/2.wav "$babble"/3.wav "$babble"/4.wav "$babble/mix.wav" trim 0 4.5 norm -6
    mv "$babble/mix.wav" "$media/Noise/voices04.wav"
    rm -rf "$babble"
fi

# Hearing check: a 1 kHz tone that moves from the left ear to the right.
if [ ! -s "$media/Hoertest01.wav" ]; then
    sides=$(mktemp -d)
    sox -q -n -r 44100 -b 16 -c 1 "$sides/left.wav" synth 4 sine 1000 fade t 0 4 4 vol 0.5
    sox -q -n -r 44100 -b 16 -c 1 "$sides/right.wav" synth 4 sine 1000 fade t 4 vol 0.5
    sox -q -M "$sides/left.wav" "$sides/right.wav" "$sides/both.wav"
    mv "$sides/both.wav" "$media/Hoertest01.wav"
    rm -rf "$sides"
fi

tone "$media/500Hz.wav" synth 3 sine 500 vol 0.5

# Installation values of a portable installation, beside the program in bin/.
if [ ! -s "$root/bin/registry.ini" ]; then
    cat >"$root/bin/registry.ini.partial" <<INI
[HKEY_LOCAL_MACHINE\SOFTWARE\Norquell\ORVA\3.1]
root=$root
TrueUpdateDir=$root/update
language=de_de
AudioOutput=system
AudioInput=system
INI
    mv "$root/bin/registry.ini.partial" "$root/bin/registry.ini"
fi

# User-interface texts and help of every language, beside the program in bin/<code>/. German texts
# are built into the program, so only the other languages get a string table. A file is copied
# when it is missing or older than its source, and appears under its final name only once complete.
repository=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
copy_newer() { # copy_newer <source> <target>
    local source=$1 target=$2
    [ "$source" -nt "$target" ] || return 0
    mkdir -p "$(dirname "$target")"
    cp "$source" "$target.partial"
    mv "$target.partial" "$target"
}
# An installed copy of this script has no repository beside it: the recordings are all it makes.
[ -d "$repository/resources" ] || exit 0
for code in en_us en_uk es_es fr_fr pl_pl; do
    copy_newer "$repository/resources/strings/$code.txt" "$root/bin/$code/strings.txt"
done
for code in de_de en_us en_uk es_es fr_fr pl_pl; do
    help=$repository/resources/help/$code
    find "$help" -type f -print0 | while IFS= read -r -d '' file; do
        copy_newer "$file" "$root/bin/$code/help/${file#"$help"/}"
    done
done
