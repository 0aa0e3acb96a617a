#!/bin/bash
# Regenerates the H.264 test streams and their reference frame MD5s.
# Needs ffmpeg and x264 (Debian packages). The streams are CAVLC only
# (except cabac_refused.264, which the decoder must refuse), a few frames
# each, CIF or smaller. References come from `ffmpeg -threads 1`.
#
#   bash tests/data/h264/make.sh [OUTDIR]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=${1:-$here}
mkdir -p "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Source pictures: moving synthetic patterns (deterministic).
src() { # name size frames pattern
    ffmpeg -v error -f lavfi -i "$4=size=$2:rate=25" -frames:v "$3" \
        -pix_fmt yuv420p -f yuv4mpegpipe -y "$tmp/$1.y4m"
}
src cif 352x288 12 testsrc2
src qcif 176x144 10 mandelbrot
src odd 200x120 8 testsrc2     # coded as 208x128: cropped right and bottom
# A fade to black, so that the encoder signals explicit weights.
ffmpeg -v error -f lavfi -i "testsrc2=size=176x144:rate=25" -vf "fade=out:2:8" -frames:v 10 \
    -pix_fmt yuv420p -f yuv4mpegpipe -y "$tmp/fade.y4m"

# Common: deterministic single-threaded encodes, CAVLC, no psychovisual tools.
X264="x264 --quiet --threads 1 --no-psy --no-progress --demuxer y4m"

enc() { # name input options...
    local name=$1 input=$2; shift 2
    $X264 "$@" -o "$out/$name.264" "$tmp/$input.y4m" 2>/dev/null
    ffmpeg -v error -threads 1 -i "$out/$name.264" -f framemd5 -y "$out/$name.framemd5"
}

# Baseline: I and P slices, 3 references, several slices, POC type 2.
enc baseline_slices  cif  --profile baseline --no-cabac --ref 3 --slices 3 --qp 30 --keyint 8 --frames 12
# Baseline with every P partition down to 4x4 (sub_mb_type 8x4, 4x8, 4x4).
enc baseline_p4x4    qcif --profile baseline --no-cabac --partitions all --subme 7 --ref 2 --qp 27 --frames 8
# Baseline, picture size that needs cropping (200x120 -> 208x128 coded).
enc baseline_crop    odd  --profile baseline --no-cabac --ref 2 --qp 26 --frames 8
# Main: B frames (pyramid, references with MMCO and list modification),
# temporal direct, explicit weighted prediction in P slices.
enc main_bpyr_temporal cif --profile main --no-cabac --bframes 3 --b-pyramid normal --direct temporal \
    --weightp 2 --ref 4 --qp 28 --frames 12
# Main: explicit weighted prediction (P and B reference lists) on a fade.
enc main_weighted_fade fade --profile main --no-cabac --bframes 1 --weightp 2 --ref 3 --qp 28 --frames 10
# Main: spatial direct, implicit weighted bi-prediction, deblocking offsets.
enc main_spatial_implicit qcif --profile main --no-cabac --bframes 2 --b-pyramid none --direct spatial \
    --weightb --weightp 1 --ref 2 --deblock -2:2 --qp 30 --frames 10
# Main: deblocking disabled, several slices with B frames.
enc main_nodeblock   qcif --profile main --no-cabac --bframes 2 --no-deblock --slices 4 --qp 32 --frames 10
# Main: constrained intra prediction (intra macroblocks in P and B pictures
# predict from intra neighbours only), all partitions.
enc main_constrained_intra cif --profile main --no-cabac --constrained-intra --partitions all --subme 7 \
    --bframes 2 --ref 2 --qp 30 --keyint 6 --frames 10
# High: 8x8 transform (intra 8x8 and inter 8x8), flat matrices.
enc high_8x8         cif  --profile high --no-cabac --8x8dct --bframes 2 --ref 3 --qp 26 --frames 10
# High: scaling matrices (JVT defaults signalled in SPS) with 8x8 transform.
enc high_cqm_jvt     qcif --profile high --no-cabac --8x8dct --cqm jvt --bframes 1 --qp 24 --frames 8
# High: custom scaling matrices, intra-only, deblocking offsets +2:-1.
cat > "$tmp/custom.cqm" <<'CQM'
INTRA4X4_LUMA =
6,12,19,26,12,19,26,31,19,26,31,35,26,31,35,40
INTRA4X4_CHROMAU =
8,14,20,26,14,20,26,30,20,26,30,34,26,30,34,38
INTRA4X4_CHROMAV =
9,15,21,27,15,21,27,31,21,27,31,35,27,31,35,39
INTER4X4_LUMA =
10,14,20,24,14,20,24,27,20,24,27,30,24,27,30,34
INTER4X4_CHROMAU =
12,16,20,24,16,20,24,28,20,24,28,32,24,28,32,36
INTER4X4_CHROMAV =
13,17,21,25,17,21,25,29,21,25,29,33,25,29,33,37
INTRA8X8_LUMA =
6,10,13,16,18,23,25,27,10,11,16,18,23,25,27,29,13,16,18,23,25,27,29,31,16,18,23,25,27,29,31,33,18,23,25,27,29,31,33,36,23,25,27,29,31,33,36,38,25,27,29,31,33,36,38,40,27,29,31,33,36,38,40,42
INTER8X8_LUMA =
9,13,15,17,19,21,22,24,13,13,17,19,21,22,24,25,15,17,19,21,22,24,25,27,17,19,21,22,24,25,27,28,19,21,22,24,25,27,28,30,21,22,24,25,27,28,30,32,22,24,25,27,28,30,32,33,24,25,27,28,30,32,33,35
CQM
enc high_cqm_custom  qcif --profile high --no-cabac --8x8dct --cqmfile "$tmp/custom.cqm" --bframes 2 \
    --deblock 2:-1 --qp 22 --frames 8
# High, chroma QP offset and intra-only 8x8 (all intra modes at a low QP).
enc high_intra_chromaqp cif --profile high --no-cabac --8x8dct --keyint 1 --chroma-qp-offset -3 --qp 20 --frames 3
# High 10: 10-bit 4:2:0 with I, P and B slices, 8x8 transform, explicit weights.
ffmpeg -v error -f lavfi -i "testsrc2=size=176x144:rate=25" -vf "fade=out:4:6" -frames:v 8 \
    -pix_fmt yuv420p10le -strict -1 -f yuv4mpegpipe -y "$tmp/qcif10.y4m"
enc high10_ipb qcif10 --profile high10 --output-depth 10 --no-cabac --8x8dct --bframes 2 --weightp 2 \
    --weightb --ref 2 --qp 24 --frames 8
# High 4:2:2, 8-bit, I, P and B slices.
ffmpeg -v error -f lavfi -i "testsrc2=size=176x144:rate=25" -frames:v 8 \
    -pix_fmt yuv422p -strict -1 -f yuv4mpegpipe -y "$tmp/qcif422.y4m"
enc high422_ipb qcif422 --profile high422 --output-csp i422 --no-cabac --8x8dct --bframes 2 --ref 2 \
    --qp 26 --frames 8
# High 4:2:2, 10-bit, I, P and B slices.
ffmpeg -v error -f lavfi -i "testsrc2=size=176x144:rate=25" -frames:v 6 \
    -pix_fmt yuv422p10le -strict -1 -f yuv4mpegpipe -y "$tmp/qcif42210.y4m"
enc high422_10bit qcif42210 --profile high422 --output-csp i422 --output-depth 10 --no-cabac --8x8dct \
    --bframes 1 --qp 28 --frames 6
# High 4:2:2 10-bit, picture size that needs cropping (200x120 -> 208x128),
# explicit weights on a fade, adaptive quantization (mb_qp_delta), chroma QP
# offset and deblocking offsets.
ffmpeg -v error -f lavfi -i "testsrc2=size=200x120:rate=25" -vf "fade=out:2:6" -frames:v 6 \
    -pix_fmt yuv422p10le -strict -1 -f yuv4mpegpipe -y "$tmp/odd42210.y4m"
enc high422_10bit_crop_aq odd42210 --profile high422 --output-csp i422 --output-depth 10 --no-cabac \
    --8x8dct --bframes 2 --weightp 2 --weightb --crf 20 --aq-mode 2 --chroma-qp-offset 2 --deblock 1:-1 --frames 6
# High 10 at low QP (QPY below zero) with adaptive quantization.
enc high10_lowqp_aq qcif10 --profile high10 --output-depth 10 --no-cabac --8x8dct --bframes 1 --crf 2 \
    --aq-mode 2 --chroma-qp-offset -4 --frames 3
# CABAC: must be refused with a clear message.
$X264 --profile main --qp 30 --frames 2 -o "$out/cabac_refused.264" "$tmp/qcif.y4m" 2>/dev/null

# Truncated in the middle of a slice: must end with an error, not a crash.
head -c 5000 "$out/baseline_crop.264" > "$out/truncated.264"

du -sh "$out"
