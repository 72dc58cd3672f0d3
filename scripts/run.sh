#!/usr/bin/env bash
# Builds the program and opens its window.
set -euo pipefail
cd "$(dirname "$0")/.."

# The window needs a display, unless a Qt platform is chosen by name
# (QT_QPA_PLATFORM, or "-platform <name>" among the arguments). Without one,
# say so in one line before spending time on a build.
platform_chosen=false
args=("$@")
for ((i = 0; i + 1 < ${#args[@]}; i++)); do
  [[ ${args[i]} == -platform || ${args[i]} == --platform ]] && platform_chosen=true
done
if [[ -z ${DISPLAY:-} && -z ${WAYLAND_DISPLAY:-} && -z ${QT_QPA_PLATFORM:-} ]] && ! $platform_chosen; then
  echo "run.sh: no display to open the window on (neither DISPLAY nor WAYLAND_DISPLAY is set);" \
    "run it on a desktop, or try it headless with: xvfb-run -a scripts/run.sh" >&2
  exit 1
fi

scripts/install-deps.sh

cmake --preset default
cmake --build --preset default --target shamsi-date-converter
exec build/default/app/shamsi-date-converter "$@"
