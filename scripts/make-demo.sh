#!/usr/bin/env bash
# Prepares a demo program folder from a build: the player, the decoder-host and remote-control
# stand-ins, the master text file and the sample language, a settings file with two boards, AVI
# clips admitted and the diagnostic log on, and a "Video" folder with real MPEG-2 clips (some
# with their duration in the name, some measured from their content), an AVI clip, a few
# playlists (one of them nested), a ".lnk" shortcut to a folder outside it and a symbolic link.
# Existing clips and settings are kept unless --fresh is given.
#
#   scripts/make-demo.sh [--fresh] BUILD_DIR DEMO_DIR
set -euo pipefail

fresh=0
if [[ "${1:-}" == "--fresh" ]]; then
    fresh=1
    shift
fi
if [[ $# -ne 2 ]]; then
    echo "usage: make-demo.sh [--fresh] BUILD_DIR DEMO_DIR" >&2
    exit 2
fi
build="$(cd "$1" && pwd)"
demo="$2"
bin="$build/bin"
tool="$build/tools/demo/demo-playlist"
shortcut_tool="$build/tools/demo/demo-shortcut"

for f in brenvik vdhost tallyx brenvik.lna German.brl; do
    [[ -e "$bin/$f" ]] || { echo "make-demo.sh: $bin/$f is missing; build first" >&2; exit 1; }
done
for t in "$tool" "$shortcut_tool"; do
    [[ -x "$t" ]] || { echo "make-demo.sh: $t is missing; build first" >&2; exit 1; }
done
command -v ffmpeg >/dev/null || { echo "make-demo.sh: ffmpeg is needed for the clips" >&2; exit 1; }

if [[ $fresh -eq 1 ]]; then
    rm -rf "$demo"
fi
mkdir -p "$demo/Video"
demo="$(cd "$demo" && pwd)"
video="$demo/Video"

# Copies, not links: the player takes its program folder from its own location.
for f in brenvik vdhost tallyx brenvik.lna German.brl; do
    cp -f "$bin/$f" "$demo/$f"
done

if [[ ! -f "$demo/brenvik.ini" ]]; then
    printf '%s\r\n' \
        '[Hardware]' 'MPEG=2' 'MPEG_Input1=2' 'MPEG_Input2=3' 'VolumeSet=1' 'AudioVolume=70' \
        'AirLog=1' 'CuePreview=1' 'UseAVI=1' \
        '[Debug]' 'Log=1' 'Timestamp=1' > "$demo/brenvik.ini"
fi

# MPEG-2 clips; a name ending in _<seconds> carries the clip's duration, "test.mpg" (the board
# check's sample) is measured from its content.
make_clip() {
    local name="$1" seconds="$2" tone="$3" format="${4:-mpeg}" folder="${5:-$video}"
    [[ -f "$folder/$name" ]] && return 0
    ffmpeg -nostdin -v error -y \
        -f lavfi -i "testsrc=size=720x576:rate=25:duration=$seconds" \
        -f lavfi -i "sine=frequency=$tone:sample_rate=48000:duration=$seconds" \
        -c:v mpeg2video -q:v 4 -c:a mp2 -b:a 192k -shortest -f "$format" "$folder/$name"
}
make_clip intro_3.mpg 3 440
make_clip news_4.mpg 4 660
make_clip weather_5.mpg 5 550
make_clip sport_6.mpg 6 880
make_clip test.mpg 5 1000
# Measured from their content: a program stream and a transport stream.
make_clip promo.mpg 7 770
make_clip station_ident.mpg 2 330 mpegts
# An AVI clip ("Play DivX AVI files" is on in the settings above).
if [[ ! -f "$video/trailer.avi" ]]; then
    ffmpeg -nostdin -v error -y -f lavfi -i "testsrc=size=720x576:rate=25:duration=4" \
        -f lavfi -i "sine=frequency=500:sample_rate=48000:duration=4" \
        -c:v mpeg4 -q:v 4 -c:a mp2 -shortest -f avi "$video/trailer.avi"
fi
# A folder outside the video folder, reached through a shortcut (its clips are listed with their
# full paths), and a symbolic link, listed under its own name.
mkdir -p "$demo/Extras"
make_clip bumper_2.mpg 2 990 mpeg "$demo/Extras"
make_clip countdown.mpg 3 1200 mpeg "$demo/Extras"
"$shortcut_tool" "$video/Extras.lnk" "$demo/Extras" --folder
ln -sfn news_4.mpg "$video/top_story.mpg"

# Playlists: two at the top, one in a folder, one that nests another; an empty folder that the
# tree leaves out.
mkdir -p "$video/Sport" "$video/Archive"
"$tool" "$demo" "$video/Morning.vid" intro_3.mpg news_4.mpg@4000@CUT weather_5.mpg
"$tool" "$demo" "$video/Sport/Highlights.vid" sport_6.mpg@6000@MIX@1 news_4.mpg@4000@EFFECT1
"$tool" "$demo" "$video/Evening.vid" intro_3.mpg 'Sport\Highlights.vid' weather_5.mpg@5000@MIX@2

echo "Demo program folder ready: $demo"
