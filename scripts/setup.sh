#!/usr/bin/env bash
# Installs the Debian packages the build needs (when missing), then configures and
# builds ZAR in ./build (or the folder given as $ZAR_BUILD_DIR).
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake ninja-build g++ pkgconf qt6-base-dev libsqlcipher-dev sqlcipher fonts-liberation2 fonts-dejavu-core
          libgtest-dev libbenchmark-dev poppler-utils clang clang-format libclang-rt-14-dev
          cups-daemon cups-client printer-driver-cups-pdf libcups2-dev cups-filters ghostscript fontconfig
          qt6-translations-l10n)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    # sudo drops the environment: the front-end setting goes on its command line.
    run=(env DEBIAN_FRONTEND=noninteractive)
    [ "$(id -u)" -eq 0 ] || run=(sudo "${run[@]}")
    "${run[@]}" apt-get update -q
    "${run[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

build="${ZAR_BUILD_DIR:-build}"
cmake -S . -B "$build" -G Ninja "$@"
cmake --build "$build" --parallel "$(nproc)"
