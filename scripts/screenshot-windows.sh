#!/usr/bin/env bash
# Takes a picture of the Windows program under Wine without a display of its
# own: starts an Xvfb server, starts the built .exe in the build folder's Wine
# prefix, types a Shamsi date, presses Convert and saves the window as a PNG.
# Then presses Exit and checks that the program ends.
#
# Usage: scripts/screenshot-windows.sh [output.png] [date]
#   output.png  default docs/screenshot-windows.png
#   date        default 82/01/12
#
# Needs the windows preset built, Wine, Xvfb, xdotool and ImageMagick.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/windows
program=$build/win32/shamsi-date-converter.exe
output=${1:-$root/docs/screenshot-windows.png}
date_text=${2:-82/01/12}

for tool in Xvfb xdotool import wine; do
  command -v "$tool" >/dev/null || { echo "screenshot: $tool is not installed" >&2; exit 1; }
done
[[ -f $program ]] || { echo "screenshot: no program at $program (build the windows preset first)" >&2; exit 1; }

export WINEPREFIX=$build/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
"$root/scripts/wine-prefix.sh" start "$WINEPREFIX"

# shellcheck source=scripts/screenshot-common.sh
source "$root/scripts/screenshot-common.sh"
work=$(mktemp -d)
app_pid=''
cleanup() {
  [[ -n $app_pid ]] && kill "$app_pid" 2>/dev/null || true
  "$root/scripts/wine-prefix.sh" stop "$WINEPREFIX"
  xvfb_stop
  rm -rf "$work"
}
trap cleanup EXIT

start_xvfb "$work"
# A wine server started for another display would not reach this one.
"$root/scripts/wine-prefix.sh" stop "$WINEPREFIX"

wine "$program" >"$work/program.log" 2>&1 &
app_pid=$!

window=$(timeout 30 xdotool search --sync --onlyvisible --name 'مبدل تاريخ' | head -n1) || true
[[ -n $window ]] || { echo "screenshot: the window did not appear" >&2; cat "$work/program.log" >&2; exit 1; }
sleep 1

# Positions inside the client area, in pixels at 96 dpi: Convert and Exit.
eval "$(xdotool getwindowgeometry --shell "$window")"
frame_x=$X frame_y=$Y
client_x=$((frame_x + (WIDTH - 211) / 2))
client_y=$((frame_y + HEIGHT - 231 - (WIDTH - 211) / 2))

xdotool mousemove "$((client_x + 100))" "$((client_y + 130))" click 1  # the text box
xdotool type --delay 50 "$date_text"
xdotool mousemove "$((client_x + 35))" "$((client_y + 132))" click 1
xdotool mousemove 1000 750
sleep 1

mkdir -p "$(dirname "$output")"
import -window root -crop "${WIDTH}x${HEIGHT}+${frame_x}+${frame_y}" +repage "$output"
echo "screenshot: saved $output ($(identify -format '%wx%h' "$output"))"

xdotool mousemove "$((client_x + 35))" "$((client_y + 156))" click 1
expect_exit 10
