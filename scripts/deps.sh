#!/usr/bin/env bash

# SPDX-FileCopyrightText: Divograf developers
#
# SPDX-License-Identifier: MIT

# Installs the Debian packages that building and testing need, when any is missing.
# Sourced by run.sh and test.sh; takes the package lists as arguments.
set -euo pipefail

install_missing() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" </dev/null
}

# Building the program and the renderer; Qt's own texts in Russian.
BUILD_PACKAGES=(g++ cmake make qt6-base-dev qt6-base-dev-tools qt6-translations-l10n fonts-dejavu-core)
# The test suite on top of that: clang-format checks the layout first; the print test drives a
# private CUPS server with a PDF printer; the install tests validate the desktop entry and the metainfo, check the licence lines, build
# the Debian package, check it with lintian and ask the desktop's tools which program opens a .dvg.
TEST_PACKAGES=(clang-format libgtest-dev libbenchmark-dev cups-daemon cups-client printer-driver-cups-pdf poppler-utils
    appstream desktop-file-utils dpkg-dev file reuse lintian shared-mime-info xdg-utils libfile-mimeinfo-perl)
