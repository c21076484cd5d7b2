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
# The layout first: every tracked C++ file as .clang-format lays it out.
unformatted=()
while IFS= read -r -d '' f; do
    clang-format --dry-run --Werror "$f" >/dev/null 2>&1 || unformatted+=("$f")
done < <(git ls-files -z '*.cpp' '*.h')
if [ ${#unformatted[@]} -gt 0 ]; then
    echo "These files are not laid out by .clang-format; run clang-format -i on them:" >&2
    printf '  %s\n' "${unformatted[@]}" >&2
    exit 1
fi
cmake --preset test >/dev/null
cmake --build --preset test -j"$(nproc)"
ctest --preset test -j"$(nproc)"
