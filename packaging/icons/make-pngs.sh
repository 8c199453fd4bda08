#!/usr/bin/env bash
# Redraws the PNG icons from the same shapes as br.com.duva.configurador.svg (the logo's mark:
# a navy rounded block with a white arrow). Run by hand after changing the SVG; the PNGs are
# kept in the repository so that building needs no SVG renderer.
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 22 24 32 48 64 128 256; do
    convert -size 1024x1024 xc:none -fill '#000080' \
        -draw "roundrectangle 192,32 831,991 112,112" \
        -fill white -draw "polygon 308,224 680,472 308,724" \
        -resize "${size}x${size}" -strip "png32:$size.png"
done
