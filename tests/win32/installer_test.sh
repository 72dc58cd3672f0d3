#!/usr/bin/env bash
# Runs the Windows installer silently (/S) in the build folder's Wine prefix,
# checks that it installed the program, the Start-menu shortcut "مبدل تاريخ"
# and the uninstaller, starts the installed program and ends it with Exit
# (the window tests' Program case), then uninstalls silently and checks that
# the program and its shortcut are gone.
#
# Usage: installer_test.sh INSTALLER WINDOW_TESTS_EXE WINEPREFIX
set -euo pipefail
installer=$1
window_tests=$2
export WINEPREFIX=$3
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

[[ -f $installer ]] || { echo "no installer at $installer (build the package target first)" >&2; exit 1; }

folder='C:\ShamsiDateConverterTest'
unix_folder=$WINEPREFIX/drive_c/ShamsiDateConverterTest
rm -rf "$unix_folder"

wine "$installer" /S "/D=$folder"

fail() {
  echo "installer test: $*" >&2
  exit 1
}
[[ -f $unix_folder/shamsi-date-converter.exe ]] || fail "the program was not installed"
[[ -f $unix_folder/shamsi-date.exe ]] || fail "the command line was not installed"
[[ -f $unix_folder/Uninstall.exe ]] || fail "no uninstaller"
shortcut=$(find "$WINEPREFIX/drive_c" -path '*Start Menu/Programs/*' -name 'مبدل تاريخ.lnk' | head -n1)
[[ -n $shortcut ]] || fail "no Start-menu shortcut named مبدل تاريخ"
echo "installed: $unix_folder, shortcut: ${shortcut#"$WINEPREFIX/"}"

DATECONV_PROGRAM="$folder\\shamsi-date-converter.exe" wine "$window_tests" --gtest_filter='Program.*'

# _?= keeps the uninstaller in place, so that this waits until it is done.
wine "$folder\\Uninstall.exe" /S "_?=$folder"
[[ ! -e $unix_folder/shamsi-date-converter.exe ]] || fail "the uninstaller left the program"
[[ ! -e $shortcut ]] || fail "the uninstaller left the shortcut"
echo "uninstalled"
