#!/usr/bin/env bash
# Rebuilding the picture list from 100,000 files in 1,000 folders, against find over the same
# tree with the same patterns. Both run warm and five times; medians are compared.
# Run through bench/compare (which builds the release preset), or set BENCH_BIN.
set -euo pipefail
cd "$(dirname "$0")/.."
bin=${BENCH_BIN:-$PWD/build/release/bench}

tree=$(mktemp -d "${TMPDIR:-/tmp}/backdropper-fileslist-XXXXXX")
trap 'rm -rf "$tree"' EXIT
for top in 0 1 2 3 4 5 6 7 8 9; do
  for sub in $(seq -w 0 99); do
    folder="$tree/p$top/s$sub"
    mkdir -p "$folder"
    (cd "$folder" && touch a{00..39}.jpg b{00..29}.png c{00..19}.JPG d{00..09}.txt)
  done
done

patterns=(-iname '*.bmp' -o -iname '*.gif' -o -iname '*.jpg' -o -iname '*.jpeg' -o -iname '*.png'
  -o -iname '*.tif' -o -iname '*.tiff' -o -iname '*.webp')
find "$tree" -type f \( "${patterns[@]}" \) >/dev/null  # warm the caches
times=()
for _ in 1 2 3 4 5; do
  start=$(date +%s%N)
  find "$tree" -type f \( "${patterns[@]}" \) >/dev/null
  times+=($(( $(date +%s%N) - start )))
done
find_ms=$(printf '%s\n' "${times[@]}" | sort -n | sed -n 3p | awk '{printf "%.1f", $1 / 1e6}')

# Median milliseconds of one of our benchmarks over the tree.
median_ms() {
  "$bin/FilesListBench" --tree="$tree" --benchmark_filter="^$1(/.*)?$" \
    --benchmark_repetitions=5 --benchmark_report_aggregates_only=true --benchmark_format=json \
    2>/dev/null | awk -v name="$1" '$0 ~ "\"name\": \"" name ".*_median\"" { found = 1 }
      found && /"real_time"/ { gsub(/[^0-9.eE+-]/, "", $2); printf "%.1f", $2; exit }'
}

for bench in BM_LoadFilesList BM_RebuildPictureList; do
  ours_ms=$(median_ms "$bench")
  awk -v name="${bench#BM_}" -v ours="$ours_ms" -v find="$find_ms" 'BEGIN {
    printf "%s %s ms, find %s ms over 100,000 files in 1,000 folders: ratio %.2f (budget 1.50)\n",
      name, ours, find, ours / find }'
done
