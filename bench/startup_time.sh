#!/usr/bin/env bash
# Times process start to the login form on screen against a minimal Qt Widgets program
# that shows one dialog, both in the same run (median of N runs each, in milliseconds).
# Usage: bench/startup_time.sh [build-dir] [runs]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
runs="${2:-21}"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
"$build/bin/zar_setup" "$folder" >/dev/null

time_ms() {
    local start end
    start=$(date +%s%N)
    "$@" >/dev/null 2>&1
    end=$(date +%s%N)
    echo $(((end - start) / 1000))
}

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

zar=() minimal=()
for _ in $(seq "$runs"); do
    # Interleaved, so that both see the same machine load.
    zar+=("$(time_ms "$build/bench-bin/startup_zar" "$folder")")
    minimal+=("$(time_ms "$build/bench-bin/startup_minimal")")
done
z=$(printf '%s\n' "${zar[@]}" | median)
m=$(printf '%s\n' "${minimal[@]}" | median)
awk -v z="$z" -v m="$m" 'BEGIN {
    printf "login on screen: %.1f ms, minimal dialog: %.1f ms, ratio %.2f\n", z / 1000, m / 1000, z / m }'
