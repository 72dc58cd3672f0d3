#!/usr/bin/env bash
# Start-up of the program's window against two references built alongside
# it: a bare Qt Widgets program with one empty 211 x 231 window, and the
# same with one label of Persian text in the main window's face. For each,
# the time from process start to the first painted frame and the peak
# resident memory, on the offscreen platform and under Xvfb; repeated runs,
# interleaved, medians.
#
#   scripts/bench-startup.sh            # 21 runs of each program per platform
#   RUNS=51 scripts/bench-startup.sh
#   scripts/bench-startup.sh --profile  # callgrind: where the window's start-up goes
set -euo pipefail
cd "$(dirname "$0")/.."
export LC_ALL=C

runs=${RUNS:-21}
profile=false
if [[ ${1:-} == --profile ]]; then
  profile=true
fi

scripts/install-deps.sh xvfb xdotool valgrind

cmake --preset bench >/dev/null
cmake --build --preset bench --target startup_bare_window startup_persian_label_window \
  startup_form1_window shamsi-date-converter

bin=build/bench/bench
programs=(startup_bare_window startup_persian_label_window startup_form1_window)
declare -A label=(
  [startup_bare_window]="bare 211x231 window"
  [startup_persian_label_window]="Persian label"
  [startup_form1_window]="Form1 (as app/main.cpp)"
)

# shellcheck source=scripts/xvfb.sh
source scripts/xvfb.sh
work=$(mktemp -d)
cleanup() {
  xvfb_stop
  rm -rf "$work"
}
trap cleanup EXIT

export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 0700 "$XDG_RUNTIME_DIR"

if $profile; then
  export QT_QPA_PLATFORM=offscreen
  for program in startup_persian_label_window startup_form1_window; do
    valgrind --tool=callgrind --callgrind-out-file="build/bench/callgrind.$program" \
      "$bin/$program" >/dev/null 2>"$work/valgrind.log"
    total=$(sed -n 's/.*Collected : //p' "$work/valgrind.log")
    echo "$program: $total instructions to the first frame"
  done
  echo
  echo "Form1's own code and what it calls (inclusive instructions):"
  callgrind_annotate --inclusive=yes build/bench/callgrind.startup_form1_window |
    grep -E 'Form1::|FormLoad|LoadBundledFonts|PersianUiFont|ArialFont|QtEnvironment|Module1::|QFontDatabase::addApplicationFont|QFontDatabase::|QFontEngine|fontconfig|FcFontSort|FcConfig' |
    head -30
  echo
  echo "Full profiles: build/bench/callgrind.* (callgrind_annotate or kcachegrind)"
  exit 0
fi

# Median of the numbers in a file, one a line.
median() {
  sort -n "$1" | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# One start of $1: appends the milliseconds to the first frame, the
# processor milliseconds used by then and the peak memory in KiB to the
# program's result files.
measure() {
  local program=$1 platform=$2
  local start frame cpu rss
  start=$EPOCHREALTIME
  "$bin/$program" >"$work/out" 2>"$work/err"
  read -r frame cpu rss < <(sed -n 's/^frame_us=\([0-9]*\) cpu_us=\([0-9]*\) peak_rss_kib=\([0-9]*\)$/\1 \2 \3/p' "$work/out")
  if [[ -z ${frame:-} || -s $work/err ]]; then
    echo "$program on $platform did not report a frame cleanly:" >&2
    cat "$work/out" "$work/err" >&2
    exit 1
  fi
  echo "scale=3; ($frame - ${start/./}) / 1000" | bc >>"$work/$platform.$program.ms"
  echo "scale=3; $cpu / 1000" | bc >>"$work/$platform.$program.cpu"
  echo "$rss" >>"$work/$platform.$program.kib"
}

run_platform() {
  local platform=$1
  export QT_QPA_PLATFORM=$platform
  for program in "${programs[@]}"; do
    "$bin/$program" >/dev/null 2>&1  # warm the caches
  done
  local round i
  for ((round = 0; round < runs; ++round)); do
    # Interleaved, starting with a different program each round.
    for ((i = 0; i < ${#programs[@]}; ++i)); do
      measure "${programs[(round + i) % ${#programs[@]}]}" "$platform"
    done
  done
}

# The program itself cannot report its first frame, but its peak memory
# once the window is up can be read from outside: a check that the probe
# program starts the same window at the same cost.
program_peak_kib() {
  local pid kib i samples=$work/$1.program.kib
  for ((i = 0; i < 5; ++i)); do
    build/bench/app/shamsi-date-converter 2>/dev/null &
    pid=$!
    sleep 1.5
    kib=$(sed -n 's/^VmHWM:[[:space:]]*\([0-9]*\) kB$/\1/p' "/proc/$pid/status")
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    echo "$kib" >>"$samples"
  done
  median "$samples"
}

ratio() {
  echo "scale=6; $1 / $2" | bc
}

report() {
  local platform=$1
  local ref=$work/$platform.startup_persian_label_window
  local ref_ms ref_cpu ref_kib ms cpu kib
  ref_ms=$(median "$ref.ms")
  ref_cpu=$(median "$ref.cpu")
  ref_kib=$(median "$ref.kib")
  echo
  echo "$platform ($runs runs each, medians; ratio to the Persian-label reference)"
  printf '  %-24s %17s %17s %19s\n' program "first frame" "processor time" "peak memory"
  for program in "${programs[@]}"; do
    ms=$(median "$work/$platform.$program.ms")
    cpu=$(median "$work/$platform.$program.cpu")
    kib=$(median "$work/$platform.$program.kib")
    printf '  %-24s %7.1f ms %5.3fx %7.1f ms %5.3fx %8.1f MiB %5.3fx\n' "${label[$program]}" \
      "$ms" "$(ratio "$ms" "$ref_ms")" "$cpu" "$(ratio "$cpu" "$ref_cpu")" \
      "$(echo "scale=3; $kib / 1024" | bc)" "$(ratio "$kib" "$ref_kib")"
  done
  kib=$(program_peak_kib "$platform")
  printf '  %-24s %17s %17s %8.1f MiB %5.3fx\n' "shamsi-date-converter *" "" "" \
    "$(echo "scale=3; $kib / 1024" | bc)" "$(ratio "$kib" "$ref_kib")"

  ms=$(median "$work/$platform.startup_form1_window.ms")
  kib=$(median "$work/$platform.startup_form1_window.kib")
  local verdict=MISSED
  if (($(echo "$ms <= 1.1 * $ref_ms && $kib <= 1.1 * $ref_kib" | bc))); then
    verdict=met
  fi
  echo "  * the built program itself, peak memory read from outside 1.5 s after its start"
  echo "  target (Form1 within 1.1x of the Persian-label reference in first-frame time and memory): $verdict"
}

echo "Machine: $(nproc) cores, $(sed -n 's/^model name\t*: //p' /proc/cpuinfo | head -1), $(. /etc/os-release && echo "$PRETTY_NAME"), Qt $(dpkg-query -W -f='${Version}' libqt6core6 2>/dev/null || echo '?')"
echo "Load average before the runs: $(cut -d' ' -f1-3 /proc/loadavg)"

run_platform offscreen
report offscreen

xvfb_start "$work" -screen 0 1024x768x24
run_platform xcb
report xcb
