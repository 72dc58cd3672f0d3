#!/usr/bin/env bash
# Takes a picture of the running program without a display of its own: starts
# an Xvfb server, starts the built program on it, types a Shamsi date, presses
# Convert and saves the window as a PNG. Then presses Exit and checks that the
# program ends.
#
# Usage: scripts/screenshot.sh [program] [output.png] [date]
#   program     default build/default/app/shamsi-date-converter
#   output.png  default docs/screenshot.png
#   date        default 82/01/12
#
# Needs Xvfb, xdotool and ImageMagick's import.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
program=${1:-$root/build/default/app/shamsi-date-converter}
output=${2:-$root/docs/screenshot.png}
date_text=${3:-82/01/12}

for tool in Xvfb xdotool import; do
  command -v "$tool" >/dev/null || { echo "screenshot: $tool is not installed" >&2; exit 1; }
done
[[ -x $program ]] || { echo "screenshot: no program at $program (build it first)" >&2; exit 1; }

# shellcheck source=scripts/screenshot-common.sh
source "$root/scripts/screenshot-common.sh"
work=$(mktemp -d)
app_pid=''
cleanup() {
  [[ -n $app_pid ]] && kill "$app_pid" 2>/dev/null || true
  xvfb_stop
  rm -rf "$work"
}
trap cleanup EXIT

start_xvfb "$work"
export QT_QPA_PLATFORM=xcb

"$program" >"$work/program.log" 2>&1 &
app_pid=$!

window=$(timeout 20 xdotool search --sync --onlyvisible --pid "$app_pid" | head -n1) || true
[[ -n $window ]] || { echo "screenshot: the window did not appear" >&2; cat "$work/program.log" >&2; exit 1; }
sleep 0.5

# Positions inside the window, in pixels: the Convert and Exit buttons.
convert_x=35 convert_y=132
exit_x=35 exit_y=156

xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"
# The focus starts in the text box.
xdotool type --delay 50 --window "$window" "$date_text"
xdotool mousemove --window "$window" "$convert_x" "$convert_y" click 1
# Out of the way of the picture.
xdotool mousemove 1000 750
sleep 0.5

mkdir -p "$(dirname "$output")"
import -window "$window" "$output"
echo "screenshot: saved $output ($(identify -format '%wx%h' "$output"))"

xdotool mousemove --window "$window" "$exit_x" "$exit_y" click 1
expect_exit 5
