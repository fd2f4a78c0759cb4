#!/usr/bin/env bash
# Sets everything up (packages, build, the program folder build/bin with a fresh
# "ZAR.mdb" and "ZAR_Vuoto.mdb" when it has none) and starts the program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh "$@"
build="${ZAR_BUILD_DIR:-build}"
exec "$build/bin/zar"
