#!/usr/bin/env bash
# Renders the PNG icons from the SVG (ImageMagick). Run after editing the SVG.
set -euo pipefail
cd "$(dirname "$0")"
for size in 48 256; do
  convert -background none -density 400 shamsi-date-converter.svg -resize "${size}x${size}" \
    -depth 8 -strip "PNG32:shamsi-date-converter-${size}.png"
done
# The Windows icon: 16 to 48 pixels scaled from the 256-pixel one, which it
# also holds.
convert shamsi-date-converter-256.png -define icon:auto-resize=256,48,32,24,16 shamsi-date-converter.ico
