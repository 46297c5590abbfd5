#!/bin/sh
# Generates the demo sound effects, music tracks and the sound sheet with sox.
# The generated files are committed; the build never runs this script.
# Usage: content/tools/make_sounds.sh [content/td] [sheet]
#   With "sheet", only the sound sheet is rewritten (after a prototype or spell sheet changes).
set -eu
TD=${1:-$(dirname "$0")/../td}
ONLY=${2:-}
SOUND="$TD/data/sound"
MUSIC="$TD/data/music"
RATE=22050
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT
mkdir -p "$SOUND" "$MUSIC"

# ids FILE COLUMN: the numbers in one column of a game sheet (header and comments skipped).
ids() {
    tr -d '\r ' < "$TD/$1" | awk -F';' -v c="$2" '$c ~ /^[0-9]+$/ { print $c }' | sort -n | uniq
}

# The sheet: tag;file;level;group. The battle formats its tags with the prototype ids of the
# towers, ammunition and units sheets and the spell ids of the spells sheet: every one gets a row.
write_sheet() {
    SHEET="$TD/sounds_sheet.csv"
    {
        echo "# tag;file;level;group"
        echo "simple;click;1;0"
        echo "context_in;context_in.ogg;1;0"
        echo "context_out;context_out.ogg;1;0"
        echo "buildTower;build.ogg;1;1"
        echo "sellTower;sell.ogg;1;1"
        echo "buySpot;buy_spot.ogg;1;1"
        echo "upgradeTower;upgrade.ogg;1;1"
        echo "winSound;win.ogg;1;2"
        echo "loseSound;lose.ogg;1;2"
        echo "teleportEnemy;teleport.ogg;1;3"
        i=0
        for id in $(ids towers_sheet.csv 1); do
            case $((i % 3)) in 0) s=shot_a ;; 1) s=shot_b ;; *) s=shot_c ;; esac
            echo "tower${id}shot;$s.ogg;0.8;4"
            i=$((i + 1))
        done
        i=0
        for id in $(ids ammo_sheet.csv 1); do
            case $((i % 2)) in 0) h=hit_a ;; *) h=hit_b ;; esac
            echo "ammo${id}hit;$h.ogg;0.8;4"
            i=$((i + 1))
        done
        i=0
        for id in $(ids units_sheet.csv 1); do
            case $((i % 2)) in 0) d=enemy_die_a ;; *) d=enemy_die_b ;; esac
            echo "enemy${id}hit;enemy_hit.ogg;0.6;5"
            echo "enemy${id}die;$d.ogg;0.8;5"
            echo "enemy${id}special;enemy_power.ogg;0.8;5"
            i=$((i + 1))
        done
        i=0
        for id in $(ids spells_sheet.csv 5); do
            case $((i % 2)) in 0) s=spell_a ;; *) s=spell_b ;; esac
            echo "spell${id};$s.ogg;1;6"
            i=$((i + 1))
        done
    } > "$SHEET"
}

write_sheet
if [ "$ONLY" = sheet ]; then
    echo "make_sounds: wrote $SHEET"
    exit 0
fi


# fx NAME EXT SOX-EFFECTS...: one short mono effect.
fx() {
    name=$1; ext=$2; shift 2
    if [ "$ext" = ogg ]; then
        sox -n -r $RATE -c 1 -C -1 "$SOUND/$name.ogg" "$@"
    else
        sox -n -r $RATE -c 1 -b 16 "$SOUND/$name.wav" "$@"
    fi
}

fx click        wav synth 0.06 sine 1200 fade 0 0.06 0.04 vol 0.6
fx context_in   ogg synth 0.15 sine 400:900 fade 0 0.15 0.05 vol 0.5
fx context_out  ogg synth 0.15 sine 900:400 fade 0 0.15 0.05 vol 0.5
fx build        ogg synth 0.40 pluck C3 pluck G3 pluck C4 remix - fade 0 0.4 0.2 vol 0.7
fx sell         ogg synth 0.25 square 1500 square 2000 remix - fade 0 0.25 0.1 vol 0.3
fx buy_spot     ogg synth 0.30 sine 660 sine 990 remix - fade 0 0.3 0.15 vol 0.5
fx upgrade      ogg synth 0.45 sine 300:1200 fade 0 0.45 0.15 vol 0.5
fx win          ogg synth 1.20 pluck C4 pluck E4 pluck G4 pluck C5 remix - fade 0 1.2 0.5 vol 0.8
fx lose         ogg synth 1.20 sawtooth 400:100 fade 0 1.2 0.6 vol 0.4
fx teleport     ogg synth 0.50 sine 200:2000 tremolo 12 80 fade 0 0.5 0.2 vol 0.5
fx shot_a       ogg synth 0.10 whitenoise lowpass 3000 fade 0 0.1 0.08 vol 0.5
fx shot_b       ogg synth 0.12 square 220:110 fade 0 0.12 0.1 vol 0.4
fx shot_c       ogg synth 0.15 sine 1800:600 fade 0 0.15 0.1 vol 0.4
fx hit_a        ogg synth 0.08 brownnoise fade 0 0.08 0.06 vol 0.7
fx hit_b        ogg synth 0.10 pinknoise highpass 800 fade 0 0.1 0.08 vol 0.5
fx enemy_hit    ogg synth 0.07 square 180 fade 0 0.07 0.05 vol 0.3
fx enemy_die_a  ogg synth 0.30 sawtooth 600:80 fade 0 0.3 0.2 vol 0.4
fx enemy_die_b  ogg synth 0.35 triangle 500:60 tremolo 20 60 fade 0 0.35 0.2 vol 0.5
fx enemy_power ogg synth 0.30 sine 700 tremolo 15 90 fade 0 0.3 0.1 vol 0.5
fx spell_a      ogg synth 0.60 whitenoise lowpass 1500 tremolo 8 50 fade 0 0.6 0.3 vol 0.6
fx spell_b      ogg synth 0.60 sine 100:1500 sine 1500:100 remix - fade 0 0.6 0.3 vol 0.5

# track NAME BPM NOTE...: a 16-second loop of plucked notes over a soft drone on the first note.
track() {
    name=$1; bpm=$2; shift 2
    beat=$(echo "scale=4; 60 / $bpm / 2" | bc)
    i=0; files=""
    while [ $(echo "$i * $beat < 16" | bc) -eq 1 ]; do
        for n in "$@"; do
            f="$TMP/n$i.wav"
            sox -n -r $RATE -c 1 "$f" synth "$beat" pluck "$n" fade 0 "$beat" 0.02 vol 0.5
            files="$files $f"
            i=$((i + 1))
        done
    done
    sox -V1 $files "$TMP/melody.wav" trim 0 16
    sox -n -r $RATE -c 1 "$TMP/drone.wav" synth 16 sine "$1" fade 2 16 2 vol 0.15
    sox -m "$TMP/melody.wav" "$TMP/drone.wav" -C -1 "$MUSIC/$name.ogg" fade 0.05 16 0.05
    rm -f "$TMP"/n*.wav
}

track main_menu 96 C3 E3 G3 C4 G3 E3
track ingame1 120 A2 C3 E3 A3 E3 C3 E3 G3
track ingame2 132 D3 F3 A3 D4 A3 F3
track ingame3 110 E3 G3 B3 E4 B3 G3 B3 D4
track ingame4 140 G2 B2 D3 G3 D3 B2
track ingame5 100 F3 A3 C4 F4 C4 A3 C4 E4
track ingame6 150 B2 D3 F#3 B3 F#3 D3
track ingame7 126 C3 D#3 G3 C4 G3 D#3 G3 A#3

echo "make_sounds: wrote $(ls "$SOUND" | wc -l) sounds, $(ls "$MUSIC" | wc -l) tracks and $TD/sounds_sheet.csv"
