#!/usr/bin/env bash
# Decoding speed of zanvc-h264dec against ffmpeg's single-threaded decoder on
# the same CAVLC stream (352x288 or larger; a longer stream is made with x264
# when none is given).
#
#   bash bench/h264dec_vs_ffmpeg.sh [STREAM.264] [RUNS]
#
# Needs a release build (build/examples/h264dec/zanvc-h264dec) and ffmpeg;
# x264 too when no stream is given. Times are processor time (user + system,
# best of RUNS), which a busy machine disturbs less than wall time; both
# include process start-up. Prints both times and the ratio
# ffmpeg time / zanvc-h264dec time (1.0 = as fast as ffmpeg).
set -euo pipefail
cd "$(dirname "$0")/.."
dec=${ZANVC_H264DEC:-build/examples/h264dec/zanvc-h264dec}
runs=${2:-5}
[ -x "$dec" ] || { echo "build $dec first (cmake --build build --target zanvc-h264dec)" >&2; exit 1; }
stream=${1:-}
if [ -z "$stream" ]; then
    stream=$(mktemp --suffix=.264)
    trap 'rm -f "$stream"' EXIT
    ffmpeg -v error -f lavfi -i "testsrc2=size=352x288:rate=25" -frames:v 600 -pix_fmt yuv420p \
        -f yuv4mpegpipe - | x264 --quiet --threads 1 --demuxer y4m --profile high --no-cabac --8x8dct \
        --bframes 2 --ref 3 --weightp 2 --crf 23 -o "$stream" - 2>/dev/null
fi
best() {  # best processor time in seconds of "$@" over $runs runs
    local b= t
    for ((i = 0; i < runs; i++)); do
        t=$( { TIMEFORMAT='%3U %3S'; time "$@" >/dev/null 2>&1; } 2>&1 | awk '{ print $1 + $2 }')
        b=$(awk -v t="$t" -v b="$b" 'BEGIN { if (b == "" || t < b) print t; else print b }')
    done
    echo "$b"
}
frames=$("$dec" "$stream" --framemd5 | grep -vc '^#')
tz=$(best "$dec" "$stream")
tf=$(best ffmpeg -v error -threads 1 -i "$stream" -f null -)
printf 'stream %s, %d frames\n' "$stream" "$frames"
printf 'zanvc-h264dec      %.3f s  (%.0f frames/s)\n' "$tz" "$(echo "$frames / $tz" | bc -l)"
printf 'ffmpeg -threads 1  %.3f s  (%.0f frames/s)\n' "$tf" "$(echo "$frames / $tf" | bc -l)"
printf 'speed ratio (ffmpeg time / zanvc-h264dec time): %.2f\n' "$(echo "$tf / $tz" | bc -l)"
