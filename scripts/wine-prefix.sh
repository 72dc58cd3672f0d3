#!/usr/bin/env bash
# The Wine prefix that the Windows tests run in, private to one build folder.
#
#   scripts/wine-prefix.sh start PREFIX   makes the prefix once (wineboot), and
#                                         gives it a Persian face for Tahoma
#   scripts/wine-prefix.sh stop PREFIX    ends the prefix's wine server, so that
#                                         none is left holding a dead display
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

action=$1
export WINEPREFIX=$2
export WINEDEBUG=-all
# No Mono or Gecko: the programs under test need neither, and there is
# nothing to download them from.
export WINEDLLOVERRIDES="mscoree,mshtml="

# Each step returns on failure, since make_prefix also runs where set -e does not apply.
make_prefix() {
  mkdir -p "$WINEPREFIX" || return
  wineboot -i || return
  # Wine has no Tahoma with Persian letters; Windows' Tahoma has them.
  # Persian faces stand in: Nazli (Debian's fonts-farsiweb), about as
  # wide as Tahoma, for Tahoma; the window's bundled Vazirmatn UI, which
  # also has the Latin letters, for the dialog face of captions and
  # message boxes. Wine draws the window frames itself, since no window
  # manager runs under Xvfb.
  cp /usr/share/fonts/truetype/farsiweb/nazli.ttf "$root/window/fonts/Vazirmatn-UI-Regular.ttf" \
    "$WINEPREFIX/drive_c/windows/Fonts/" || return
  settings=$WINEPREFIX/settings.reg
  cat >"$settings" <<'REG' || return
REGEDIT4

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]
"Tahoma"="Nazli"
"MS Shell Dlg"="Vazirmatn UI"
"MS Shell Dlg 2"="Vazirmatn UI"

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"
"Decorated"="N"
REG
  wine regedit /S "$settings" || return
  wineserver -w
}

case $action in
  start)
    if [[ ! -f $WINEPREFIX/system.reg ]]; then
      # A first wineboot now and then stops half-way ("failed to open
      # rundll32.exe", c0000135); the prefix is then made again, once.
      if ! make_prefix; then
        wineserver -k 2>/dev/null || true
        rm -rf "$WINEPREFIX"
        make_prefix
      fi
    fi
    ;;
  stop)
    wineserver -k 2>/dev/null || true
    ;;
  *)
    echo "usage: $0 start|stop PREFIX" >&2
    exit 2
    ;;
esac
