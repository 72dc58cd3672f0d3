# Sourced by the screenshot scripts.
#
# start_xvfb WORK starts a private Xvfb server (1024 × 768, 24 bits, 96 dpi)
# on a display it picks itself, sets xvfb_pid and DISPLAY, and keeps its log
# in WORK/xvfb.log.
start_xvfb() {
  local work=$1
  # Xvfb picks a free display and writes its number to the pipe.
  exec 3>"$work/display"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -dpi 96 -nolisten tcp >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  exec 3>&-
  for _ in $(seq 100); do
    [[ -s $work/display ]] && break
    sleep 0.1
  done
  [[ -s $work/display ]] || { echo "Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; exit 1; }
  export DISPLAY=":$(head -n1 "$work/display")"
  unset WAYLAND_DISPLAY
}

# expect_exit SECONDS: after Exit was pressed, waits up to SECONDS for the
# program app_pid to end, and fails if it does not; clears app_pid.
expect_exit() {
  local tenths=$(($1 * 10)) status
  for _ in $(seq "$tenths"); do
    kill -0 "$app_pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$app_pid" 2>/dev/null; then
    echo "screenshot: the program is still running after Exit" >&2
    exit 1
  fi
  wait "$app_pid" && status=0 || status=$?
  app_pid=''
  echo "screenshot: Exit ended the program (status $status)"
}
