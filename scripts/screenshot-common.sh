# Sourced by the screenshot scripts.
#
# start_xvfb WORK starts a private Xvfb server (1024 × 768, 24 bits, 96 dpi)
# that has answered a client, sets xvfb_pid and DISPLAY, and keeps its log in
# WORK/xvfb.log; scripts/xvfb.sh says how.
# shellcheck source=scripts/xvfb.sh
source "$(dirname "${BASH_SOURCE[0]}")/xvfb.sh"
start_xvfb() {
  xvfb_start "$1" -screen 0 1024x768x24 -dpi 96 || exit 1
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
