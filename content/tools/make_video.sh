#!/bin/sh
# Generates the intro video (Theora, picture only) and its sound track, and the small test
# videos of the video player, with ffmpeg's Theora encoder and sox. Frames are drawn by
# video_frames.py (Python 3 with PIL and numpy). The generated files are committed; the build
# never runs this script.
# Usage: content/tools/make_video.sh [repository root]
set -eu
ROOT=${1:-$(cd "$(dirname "$0")/../.." && pwd)}
TOOLS="$ROOT/content/tools"
VIDEO="$ROOT/content/td/video"
TESTS="$ROOT/tests/data/video"
PY=${PYTHON:-/usr/bin/python3}
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT
mkdir -p "$VIDEO" "$TESTS"

# encode OUT WIDTH HEIGHT FPS PIXFMT QUALITY GOP: raw frames on stdin -> Ogg Theora.
encode() {
    ffmpeg -hide_banner -loglevel error -y -f rawvideo -pix_fmt "$5" -s "$2x$3" -framerate "$4" -i - \
        -c:v libtheora -q:v "$6" -g "$7" -map_metadata -1 -fflags +bitexact -flags +bitexact "$1"
}

# The intro: 640 x 360 at 25 frames per second, five seconds.
"$PY" "$TOOLS/video_frames.py" intro 640 360 25 5 | encode "$VIDEO/intro.ogv" 640 360 25 yuv420p 6 50

# Its sound track: a soft A minor pad with a rising fifth, faded in and out, five seconds.
sox -n -r 22050 -c 1 "$TMP/a.wav" synth 5 sine 220 vol 0.25
sox -n -r 22050 -c 1 "$TMP/c.wav" synth 5 sine 261.63 vol 0.18
sox -n -r 22050 -c 1 "$TMP/e.wav" synth 5 sine 329.63 tremolo 3 30 vol 0.15
sox -n -r 22050 -c 1 "$TMP/hi.wav" synth 3 sine 440:659.25 pad 1.5 0.5 vol 0.08
sox -m "$TMP/a.wav" "$TMP/c.wav" "$TMP/e.wav" "$TMP/hi.wav" -C 2 "$VIDEO/intro.ogg" fade q 0.8 5 1.0

# Test videos: 40 x 24 pictures (coded as 48 x 32), 10 frames per second, eight frames whose
# top-left quadrant takes the next colour of video_frames.py's sequence, in each chroma layout.
for f in 420 422 444; do
    "$PY" "$TOOLS/video_frames.py" pattern 40 24 8 $f | encode "$TESTS/pattern_$f.ogv" 40 24 10 yuv${f}p 10 4
done

# A picture stream muxed behind a Vorbis stream (audio first), as other tools write them.
"$PY" "$TOOLS/video_frames.py" pattern 40 24 8 420 > "$TMP/pattern.yuv"
sox -n -r 22050 -c 1 "$TMP/beep.wav" synth 0.8 sine 440 vol 0.3
ffmpeg -hide_banner -loglevel error -y -i "$TMP/beep.wav" -f rawvideo -pix_fmt yuv420p -s 40x24 -framerate 10 \
    -i "$TMP/pattern.yuv" -map 0:a -map 1:v -c:a libvorbis -q:a 0 -c:v libtheora -q:v 10 -g 4 \
    -map_metadata -1 -fflags +bitexact -flags +bitexact "$TESTS/pattern_with_sound.ogv"
