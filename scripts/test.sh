#!/usr/bin/env bash
# Sets everything up (packages, build) and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh "$@"
build="${ZAR_BUILD_DIR:-build}"
ctest --test-dir "$build" --output-on-failure --parallel "$(nproc)" --timeout 600
