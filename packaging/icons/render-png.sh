#!/usr/bin/env bash
# Renders the PNG icons from the SVG (ImageMagick). Run after editing the SVG.
set -euo pipefail
cd "$(dirname "$0")"
for size in 48 256; do
  convert -background none -density 400 shamsi-date-converter.svg -resize "${size}x${size}" \
    -depth 8 -strip "PNG32:shamsi-date-converter-${size}.png"
done
