#!/usr/bin/env bash
# Times process start to the login form on screen against a minimal Qt Widgets program
# that shows one dialog, run in turns (N runs each, in milliseconds). Prints the medians and
# the median, smallest and largest of the ratios of each pair of neighbouring runs.
# Usage: bench/startup_time.sh [build-dir] [runs]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
runs="${2:-21}"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
"$build/bin/zar_setup" "$folder" >/dev/null

time_us() {
    local start end
    start=$(date +%s%N)
    "$@" >/dev/null 2>&1
    end=$(date +%s%N)
    echo $(((end - start) / 1000))
}

median() { sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

zar=() minimal=() ratios=()
for i in $(seq "$runs"); do
    # In turns, the first of each pair alternating, so that both see the same machine load.
    if ((i % 2)); then
        z=$(time_us "$build/bench-bin/startup_zar" "$folder")
        m=$(time_us "$build/bench-bin/startup_minimal")
    else
        m=$(time_us "$build/bench-bin/startup_minimal")
        z=$(time_us "$build/bench-bin/startup_zar" "$folder")
    fi
    zar+=("$z") minimal+=("$m")
    ratios+=("$(awk -v z="$z" -v m="$m" 'BEGIN { printf "%.4f", z / m }')")
done
z=$(printf '%s\n' "${zar[@]}" | median)
m=$(printf '%s\n' "${minimal[@]}" | median)
r=$(printf '%s\n' "${ratios[@]}" | median)
lo=$(printf '%s\n' "${ratios[@]}" | sort -g | head -1)
hi=$(printf '%s\n' "${ratios[@]}" | sort -g | tail -1)
awk -v z="$z" -v m="$m" -v r="$r" -v lo="$lo" -v hi="$hi" 'BEGIN {
    printf "login on screen: %.1f ms, minimal dialog: %.1f ms; paired ratio median %.2f (min %.2f, max %.2f)\n",
        z / 1000, m / 1000, r, lo, hi }'
