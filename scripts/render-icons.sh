#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Renders the PNG sizes of the icon from desktop/icons/forkwell.svg with
# ImageMagick. The PNGs are committed, so a build never needs this.
set -eu
cd "$(dirname "$0")/../desktop/icons"
for size in 16 22 24 32 48 64 128 256; do
    convert -background none -density 768 forkwell.svg -filter Lanczos \
        -resize "${size}x${size}" -strip "PNG32:forkwell-$size.png"
done
