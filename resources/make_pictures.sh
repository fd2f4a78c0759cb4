#!/usr/bin/env bash
# Renders the pictures in svg/ to the PNG files that zar.qrc lists (ImageMagick).
set -euo pipefail
cd "$(dirname "$0")"
for f in svg/*.svg; do
    name=$(basename "$f" .svg)
    if [ "$name" = logo_report ]; then
        # Printed at its own size: the density is stored, so 150 x 50 units print 40 x 13 mm.
        convert -background none -depth 8 -units PixelsPerInch -density 192 "$f" "$name.png"
    elif [ "$name" = sfondo ] || [ "$name" = logo_etichetta ]; then
        # Pictures used at their own size: one pixel per point at 96 dpi.
        convert -background none -depth 8 -density 96 "$f" "$name.png"
    else
        convert -background none -depth 8 -density 192 "$f" "$name.png"
    fi
done
