#!/usr/bin/env bash

# SPDX-FileCopyrightText: Divograf developers
#
# SPDX-License-Identifier: MIT

# Builds the optimised benchmark configuration (installing what is missing) and prints the
# benchmark report: every drawing at every detail level, headless and in the window, and the
# parameter file's save and load time; then the renderer's: posters on every number of
# threads, the scale-16 poster's time and peak memory, and one thread against the window's
# loop (a few minutes). The window is offscreen unless QT_QPA_PLATFORM says otherwise
# (QT_QPA_PLATFORM=xcb for the display in DISPLAY). Arguments go to bench_report (--runs N:
# window drawings per row).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
install_missing "${BUILD_PACKAGES[@]}" libbenchmark-dev
cmake --preset bench >/dev/null
cmake --build --preset bench -j"$(nproc)" >/dev/null
QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}" build/bench/bench/bench_report "$@"
echo
exec build/bench/bench/renderer_report
