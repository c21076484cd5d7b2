#!/usr/bin/env bash

# SPDX-FileCopyrightText: Divograf developers
#
# SPDX-License-Identifier: MIT

# Builds the test configuration (AddressSanitizer and UndefinedBehaviorSanitizer) and runs
# the whole test suite, installing what is missing first.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
install_missing "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
cmake --preset test >/dev/null
cmake --build --preset test -j"$(nproc)"
ctest --preset test -j"$(nproc)"
