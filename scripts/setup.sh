#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs, with apt-get, whatever the build needs and this machine lacks.
# Does nothing when everything is there.
#
#   --with-checks   also the package checkers of the test suite, pdftotext for
#                   the report test and imagemagick for screenshots
#   --with-fuzzers  also clang and its fuzzer runtime
set -euo pipefail

packages=(
    cmake g++ make pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins
    # The history window's charts; Qt Charts' CMake files need Qt OpenGL's,
    # which Debian's qt6-charts-dev does not bring along.
    qt6-charts-dev libqt6opengl6-dev
    fontconfig fonts-dejavu-core
    libbenchmark-dev
    xvfb xauth
    dpkg-dev file
    scdoc
)
for option in "$@"; do
    case $option in
    --with-checks) packages+=(lintian appstream desktop-file-utils man-db poppler-utils imagemagick) ;;
    --with-fuzzers) packages+=(clang libclang-rt-14-dev) ;;
    *) echo "setup.sh: unknown option $option" >&2; exit 2 ;;
    esac
done

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed"; then
        missing+=("$package")
    fi
done

if ((${#missing[@]} > 0)); then
    echo "Installing: ${missing[*]}"
    sudo=""
    if [[ $(id -u) -ne 0 ]]; then
        sudo="sudo"
    fi
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
