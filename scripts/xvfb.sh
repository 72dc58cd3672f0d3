#!/usr/bin/env bash
# A private Xvfb server for tests, screenshots and benchmarks: the one way
# this project starts an X server.
#
# As a command, runs COMMAND with DISPLAY set to a private server and stops
# the server after it:
#   scripts/xvfb.sh [-screen WxHxD] [-dpi N] -- COMMAND [ARG]...
#
# Sourced, gives the functions:
#   xvfb_start WORK [XVFB_ARG]...   starts a server, keeps its log in
#                                   WORK/xvfb.log, sets xvfb_pid and exports
#                                   DISPLAY; fails with the server's log
#   xvfb_stop                       ends the server and waits for it
#   xvfb_log_tail [LINES]           the end of the server's log, for reports
#
# Why it is done this way:
# - The server starts with -noreset. Without it, an X server resets itself
#   whenever its last client disconnects, and a client that is still in the
#   middle of connecting at that moment is dropped: Qt then stops with
#   "could not connect to display". A test that polls for a window with
#   xdotool connects and disconnects ten times a second while the program
#   starts, so the two meet whenever the program is slow to start, as on the
#   first run on a fresh machine, with nothing in the page cache yet.
# - The display number comes from the server itself (-displayfd): it takes
#   the first number whose lock file and sockets it can hold, so no other
#   server, parallel test or stale lock can give two servers one number.
# - The server writes that number once it is ready; a client must then get
#   through before the start counts as done, so nothing is started on a
#   server that cannot take it.
# - It is stopped with SIGTERM and waited for, so it removes its lock file
#   and socket; SIGKILL would leave them behind.
# Needs Xvfb and xdotool (Debian packages xvfb and xdotool).

xvfb_pid=''
xvfb_log=''

xvfb_log_tail() {
  if [[ -n $xvfb_log && -s $xvfb_log ]]; then
    echo "--- Xvfb's log ($xvfb_log):"
    tail -n "${1:-20}" "$xvfb_log"
    echo "---"
  else
    echo "--- Xvfb's log is empty"
  fi
}

# Fails the start: what went wrong and the server's log, on standard error.
xvfb_fail() {
  {
    echo "xvfb: $*"
    xvfb_log_tail 40
  } >&2
  xvfb_stop
}

xvfb_start() {
  local work=$1
  shift
  local args=("$@")
  ((${#args[@]} > 0)) || args=(-screen 0 1024x768x24)
  local display_file=$work/xvfb-display
  xvfb_log=$work/xvfb.log
  command -v Xvfb >/dev/null || { echo "xvfb: Xvfb is not installed (Debian package xvfb)" >&2; return 1; }
  command -v xdotool >/dev/null || { echo "xvfb: xdotool is not installed (Debian package xdotool)" >&2; return 1; }
  rm -f "$display_file"
  Xvfb -displayfd 3 -nolisten tcp -noreset "${args[@]}" 3>"$display_file" >"$xvfb_log" 2>&1 &
  xvfb_pid=$!

  # The number and its line feed, written when the server is ready. A
  # first start compiles the keyboard map and can take seconds.
  local deadline=$((SECONDS + 60))
  until [[ -f $display_file && $(wc -l <"$display_file") -ge 1 ]]; do
    kill -0 "$xvfb_pid" 2>/dev/null || { xvfb_fail "Xvfb ended before it had a display"; return 1; }
    ((SECONDS < deadline)) || { xvfb_fail "Xvfb gave no display number within 60 s"; return 1; }
    sleep 0.05
  done
  export DISPLAY=":$(head -n1 "$display_file")"
  unset WAYLAND_DISPLAY

  # A client gets through.
  deadline=$((SECONDS + 30))
  until xdotool getdisplaygeometry >/dev/null 2>&1; do
    kill -0 "$xvfb_pid" 2>/dev/null || { xvfb_fail "Xvfb on $DISPLAY ended before a client could connect"; return 1; }
    ((SECONDS < deadline)) || { xvfb_fail "no client could connect to Xvfb on $DISPLAY within 30 s"; return 1; }
    sleep 0.1
  done
}

xvfb_stop() {
  [[ -n $xvfb_pid ]] || return 0
  kill -TERM "$xvfb_pid" 2>/dev/null || true
  local tenths
  for tenths in $(seq 50); do
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  ((tenths < 50)) || kill -KILL "$xvfb_pid" 2>/dev/null || true
  wait "$xvfb_pid" 2>/dev/null || true
  xvfb_pid=''
}

# Run as a command.
if [[ ${BASH_SOURCE[0]} == "$0" ]]; then
  set -euo pipefail
  screen=1024x768x24
  extra=()
  while (($# > 0)); do
    case $1 in
      -screen) screen=$2; shift 2 ;;
      -dpi) extra+=(-dpi "$2"); shift 2 ;;
      --) shift; break ;;
      *) break ;;
    esac
  done
  (($# > 0)) || { echo "usage: $0 [-screen WxHxD] [-dpi N] -- COMMAND [ARG]..." >&2; exit 2; }
  work=$(mktemp -d)
  trap 'xvfb_stop; rm -rf "$work"' EXIT
  xvfb_start "$work" -screen 0 "$screen" "${extra[@]}"
  echo "xvfb: $DISPLAY ready for: $*"
  status=0
  "$@" || status=$?
  if ((status != 0)); then
    echo "xvfb: '$*' ended with status $status on $DISPLAY" >&2
    xvfb_log_tail 40 >&2
  fi
  exit "$status"
fi
