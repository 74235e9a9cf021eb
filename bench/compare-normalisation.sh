#!/usr/bin/env bash
# The applied normalisation factor label of every JPEG of mate-backgrounds and
# plasma-workspace-wallpapers that the compose reduces while decoding for a 1920 x 1080 screen
# (SCREEN=WxH for another), from the reduced pixels and from the full ones. Each file once,
# however many links lead to it.
set -euo pipefail
: "${BENCH_BIN:?set BENCH_BIN to the release bench directory}"
dirs=(/usr/share/backgrounds/mate /usr/share/wallpapers)
for dir in "${dirs[@]}"; do
  [[ -d "$dir" ]] || { echo "normalisation: $dir is missing (mate-backgrounds, plasma-workspace-wallpapers)"; exit 0; }
done
screen=${SCREEN:-1920x1080}
[[ "$screen" =~ ^[0-9]+x[0-9]+$ ]] || { echo "normalisation: SCREEN must be WIDTHxHEIGHT" >&2; exit 2; }
mapfile -t files < <(find "${dirs[@]}" -type f \( -iname '*.jpg' -o -iname '*.jpeg' \) | sort)
QT_QPA_PLATFORM=offscreen "$BENCH_BIN/NormalisationCompare" "${screen%x*}" "${screen#*x}" "${files[@]}"
