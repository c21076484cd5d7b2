#!/usr/bin/env bash
# Builds Дивограф (installing what is missing) and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
install_missing "${BUILD_PACKAGES[@]}"
cmake --preset release >/dev/null
cmake --build --preset release -j"$(nproc)"
out="$PWD/fractal.bmp"
build/release/src/divograf-render fractal -o "$out"
echo "Дивограф нарисовал фрактал при начальных параметрах: $out"
