#!/usr/bin/env bash
# Composing a wallpaper (decode, normalise, fit to 1920 x 1080, gamma, write the bitmap) from a
# 5640 x 3172 progressive JPEG, against djpeg decoding the same file and against vipsthumbnail
# and ImageMagick resizing it to the same size. Runs alternate; medians of RUNS runs.
set -euo pipefail
: "${BENCH_BIN:?set BENCH_BIN to the release bench directory}"
picture=${PICTURE:-/usr/share/backgrounds/mate/abstract/Elephants_5640x3172.jpg}
runs=${RUNS:-7}
[[ -r "$picture" ]] || { echo "compose: $picture is missing (package mate-backgrounds)"; exit 0; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

now() { date +%s%N; }
# Milliseconds a command takes, as a whole process.
timed() {
  local start end
  start=$(now)
  "$@" >/dev/null 2>&1
  end=$(now)
  echo $(((end - start) / 1000000))
}
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

declare -A times
for ((i = 0; i < runs; i++)); do
  times[process]+="$(timed "$BENCH_BIN/ComposeBench" --once "$picture") "
  times[djpeg]+="$(timed djpeg -outfile /dev/null "$picture") "
  times[vips]+="$(timed vipsthumbnail "$picture" -s 1920x1080 -o "$work/vips.ppm") "
  times[convert]+="$(timed convert "$picture" -resize 1920x1080 "BMP3:$work/convert.bmp") "
done
for name in process djpeg vips convert; do
  eval "$name=$(tr ' ' '\n' <<<"${times[$name]}" | grep . | median)"
done

# The operation alone, as the running program does it (no process start-up).
compose=$("$BENCH_BIN/ComposeBench" --benchmark_repetitions="$runs" \
  --benchmark_report_aggregates_only=true --benchmark_format=csv 2>/dev/null |
  awk -F, '/_median"?,/ { printf "%d", $3 }')

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
printf '%-34s %7s ms\n' "compose (in process, median)" "$compose" \
  "compose (whole process)" "$process" "djpeg (decode only)" "$djpeg" \
  "vipsthumbnail -s 1920x1080" "$vips" "convert -resize 1920x1080" "$convert"
echo "compose / djpeg: $(ratio "$compose" "$djpeg") (budget 1.15);" \
  "whole process / djpeg: $(ratio "$process" "$djpeg")"
echo "compose / vipsthumbnail: $(ratio "$compose" "$vips"); compose / convert: $(ratio "$compose" "$convert") (budget below 1)"

size=$(identify -format '%w %h' "$picture")
peak=$( { /usr/bin/time -f '%M' "$BENCH_BIN/ComposeBench" --once "$picture" >/dev/null; } 2>&1 | tail -1)
budget=$(awk -v s="$size" 'BEGIN { split(s, d, " "); printf "%d", d[1] * d[2] * 4 / 1024 + 80 * 1024 }')
echo "peak memory: $((peak / 1024)) MiB (budget $((budget / 1024)) MiB: decoded picture x 4 bytes + 80 MiB)"
