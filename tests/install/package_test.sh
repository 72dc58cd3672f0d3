#!/usr/bin/env bash
# The Debian package, installed into a temporary root, and the program
# started from there.
#
#   package_test.sh build     BUILD_DIR WORK_DIR CPACK   # make the .debs, unpack the program's into WORK_DIR/root
#   package_test.sh contents  BUILD_DIR WORK_DIR         # files, Depends, menu entry; the PostgreSQL extension's and Python module's
#   package_test.sh lintian   BUILD_DIR WORK_DIR         # every .deb made: lintian, no unlisted tag
#   package_test.sh metadata  BUILD_DIR WORK_DIR         # AppStream, menu entry, manual, versions, address
#   package_test.sh offscreen BUILD_DIR WORK_DIR         # starts, paints its window, waits for events
#   package_test.sh xvfb      BUILD_DIR WORK_DIR         # on an X server: window shown, Exit ends it with 0
#
# Exit status 77 means the check could not run here (a tool is missing).
set -euo pipefail

mode=$1
build_dir=$2
work=$3
root=$work/root
source_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
program=$root/usr/bin/shamsi-date-converter
caption='مبدل تاريخ'

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# A tool the check cannot do without; scripts/install-deps.sh installs it.
need() {
  command -v "$1" >/dev/null || fail "$1 is not installed (Debian package $2; scripts/install-deps.sh $2)"
}

skip() {
  echo "SKIP: $*" >&2
  exit 77
}

package_file() {
  local debs=("$work"/pkg/shamsi-date-converter_*.deb)
  [[ ${#debs[@]} -eq 1 && -f ${debs[0]} ]] || fail "expected one package in $work/pkg, found: ${debs[*]}"
  echo "${debs[0]}"
}

# A private runtime directory, so Qt has nothing to complain about.
private_runtime_dir() {
  export XDG_RUNTIME_DIR=$work/runtime
  rm -rf "$XDG_RUNTIME_DIR"
  mkdir -m 0700 -p "$XDG_RUNTIME_DIR"
}

# Waits up to $2 seconds for the file $1 to hold a line matching $3, while
# the process $4 lives.
wait_for_line() {
  local file=$1 seconds=$2 pattern=$3 pid=$4
  local deadline=$((SECONDS + seconds))
  while ((SECONDS < deadline)); do
    grep -qF -- "$pattern" "$file" && return 0
    kill -0 "$pid" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

# Waits up to $2 seconds for the process $1 to end; its status in $status.
wait_for_exit() {
  local pid=$1 seconds=$2
  local deadline=$((SECONDS + seconds))
  while kill -0 "$pid" 2>/dev/null; do
    ((SECONDS < deadline)) || return 1
    sleep 0.1
  done
  status=0
  wait "$pid" || status=$?
  return 0
}

# Every line of the program's error output must be one of the expected
# logging lines ($2, a prefix), or there must be none.
expect_quiet() {
  local log=$1 allowed=${2:-}
  local unexpected
  if [[ -n $allowed ]]; then
    unexpected=$(grep -vF -- "$allowed" "$log" || true)
  else
    unexpected=$(cat "$log")
  fi
  [[ -z $unexpected ]] || fail "unexpected output from the program:"$'\n'"$unexpected"
}

case $mode in
build)
  cpack=$4
  command -v dpkg-deb >/dev/null || skip "dpkg-deb is not installed"
  rm -rf "$work"
  mkdir -p "$work/pkg" "$root"
  # Under a group-writable umask, so that a permission left to the umask of
  # whoever builds the package shows in lintian's check.
  (umask 0002 && cd "$build_dir" && "$cpack" -G DEB -B "$work/pkg" --config "$build_dir/CPackConfig.cmake") ||
    fail "cpack could not make the package"
  deb=$(package_file)
  dpkg-deb -x "$deb" "$root"
  echo "unpacked $deb into $root"
  ;;

contents)
  deb=$(package_file)

  # Files in their usual places.
  for path in usr/bin/shamsi-date-converter \
    usr/share/applications/shamsi-date-converter.desktop \
    usr/share/man/man1/shamsi-date-converter.1.gz \
    usr/share/doc/shamsi-date-converter/copyright \
    usr/share/doc/shamsi-date-converter/changelog.gz \
    usr/share/icons/hicolor/scalable/apps/shamsi-date-converter.svg \
    usr/share/icons/hicolor/48x48/apps/shamsi-date-converter.png \
    usr/share/icons/hicolor/256x256/apps/shamsi-date-converter.png \
    usr/share/doc/shamsi-date-converter/Vazirmatn-OFL.txt; do
    [[ -f $root/$path ]] || fail "the package does not install /$path"
  done
  [[ -x $program ]] || fail "the program is not executable"
  # The command line, its manual page and bash completion, and the Shamsi
  # library, which lies in Debian's multiarch folder.
  multiarch=$(gcc -print-multiarch)
  for path in usr/bin/shamsi-date usr/share/man/man1/shamsi-date.1.gz usr/share/bash-completion/completions/shamsi-date \
    usr/include/shamsi/date.h \
    usr/include/shamsi/text.h "usr/lib/$multiarch/libshamsi.a" "usr/lib/$multiarch/cmake/Shamsi/ShamsiConfig.cmake" \
    "usr/lib/$multiarch/pkgconfig/shamsi.pc"; do
    [[ -f $root/$path ]] || fail "the package does not install /$path"
  done
  [[ $("$root/usr/bin/shamsi-date" to-miladi 1405/09/17) == 2026/12/08 ]] || fail "the packaged shamsi-date does not convert"
  for size in 48 256; do
    png=$root/usr/share/icons/hicolor/${size}x${size}/apps/shamsi-date-converter.png
    # PNG signature, then the IHDR width and height as 32-bit big-endian.
    header=$(od -An -tx1 -N24 "$png" | tr -d ' \n')
    [[ ${header:0:16} == 89504e470d0a1a0a ]] || fail "$png is not a PNG"
    printf -v expected '%08x%08x' "$size" "$size"
    [[ ${header:32:16} == "$expected" ]] || fail "$png is not ${size}x${size}"
  done

  # Depends names the Qt 6 runtime, the platform plugins and the fonts, and
  # every dependency is a package this machine has, in a version that
  # satisfies it (the program has just been built and run against them).
  depends=$(dpkg-deb -f "$deb" Depends)
  echo "Depends: $depends"
  for needed in libqt6core6 libqt6gui6 libqt6widgets6 qt6-qpa-plugins fonts-liberation2; do
    [[ ", $depends," =~ [,\|]\ $needed[\ ,] ]] || fail "Depends does not name $needed"
  done
  IFS=',' read -ra clauses <<<"$depends"
  for clause in "${clauses[@]}"; do
    satisfied=false
    IFS='|' read -ra alternatives <<<"$clause"
    for alternative in "${alternatives[@]}"; do
      if [[ $alternative =~ ^\ *([a-z0-9.+-]+)(:[a-z0-9]+)?\ *(\((<<|<=|=|>=|>>)\ *([^\)]+)\))?\ *$ ]]; then
        name=${BASH_REMATCH[1]} op=${BASH_REMATCH[4]} version=${BASH_REMATCH[5]}
      else
        fail "cannot read the dependency '$alternative'"
      fi
      installed=$(dpkg-query -W -f='${Status}|${Version}' "$name" 2>/dev/null || true)
      [[ $installed == "install ok installed|"* ]] || continue
      if [[ -z $op ]] || dpkg --compare-versions "${installed#*|}" "$op" "$version"; then
        satisfied=true
      fi
    done
    $satisfied || fail "no installed package satisfies the dependency '$clause'"
  done

  # The menu entry: both names, the categories, and a command and an icon
  # that the package itself provides.
  desktop=$root/usr/share/applications/shamsi-date-converter.desktop
  grep -qx 'Type=Application' "$desktop" || fail "the menu entry is not an application"
  grep -qx 'Name=Shamsi Date Converter' "$desktop" || fail "the menu entry has no English name"
  grep -qx "Name\[fa\]=$caption" "$desktop" || fail "the menu entry has no Persian name"
  grep -qx 'Categories=Utility;Calendar;' "$desktop" || fail "the menu entry is not under Utility and Calendar"
  exec_line=$(sed -n 's/^Exec=//p' "$desktop")
  [[ -x $root/usr/bin/${exec_line%% *} ]] || fail "Exec=$exec_line is not the installed program"
  icon=$(sed -n 's/^Icon=//p' "$desktop")
  [[ -f $root/usr/share/icons/hicolor/scalable/apps/$icon.svg ]] || fail "Icon=$icon has no installed icon"

  # The PostgreSQL extension's own package, when the build made one: the
  # module, control file and scripts (1.2, 1.0 and the updates 1.0 to 1.1 to
  # 1.2) where that server looks, 1.2 the default, and Depends on that server.
  pg_debs=("$work"/pkg/postgresql-*-shamsi_*.deb)
  if [[ -f ${pg_debs[0]} ]]; then
    ((${#pg_debs[@]} == 1)) || fail "expected one extension package, found: ${pg_debs[*]}"
    pg_major=$(basename "${pg_debs[0]}" | sed 's/^postgresql-\([0-9]*\)-shamsi_.*/\1/')
    listing=$(dpkg-deb -c "${pg_debs[0]}")
    for path in "usr/lib/postgresql/$pg_major/lib/shamsi.so" "usr/share/postgresql/$pg_major/extension/shamsi.control" \
      "usr/share/postgresql/$pg_major/extension/shamsi--1.0.sql" "usr/share/postgresql/$pg_major/extension/shamsi--1.2.sql" \
      "usr/share/postgresql/$pg_major/extension/shamsi--1.0--1.1.sql" \
      "usr/share/postgresql/$pg_major/extension/shamsi--1.1--1.2.sql" "usr/share/doc/postgresql-$pg_major-shamsi/copyright"; do
      grep -q " \./$path\$" <<<"$listing" || fail "${pg_debs[0]##*/} does not install /$path"
    done
    control=$(dpkg-deb --fsys-tarfile "${pg_debs[0]}" | tar -xO "./usr/share/postgresql/$pg_major/extension/shamsi.control")
    grep -qx "default_version = '1.2'" <<<"$control" || fail "${pg_debs[0]##*/} does not install version 1.2 by default"
    pg_depends=$(dpkg-deb -f "${pg_debs[0]}" Depends)
    [[ ", $pg_depends," == *", postgresql-$pg_major,"* ]] || fail "${pg_debs[0]##*/} does not depend on postgresql-$pg_major"
    echo "${pg_debs[0]##*/}: Depends: $pg_depends"
  fi
  # The Python module's own package, when the build made one: the module in
  # Debian's folder for every Python 3, Depends on that Python and numpy; and
  # the unpacked module imported and at work.
  py_debs=("$work"/pkg/python3-shamsi_*.deb)
  if [[ -f ${py_debs[0]} ]]; then
    ((${#py_debs[@]} == 1)) || fail "expected one Python package, found: ${py_debs[*]}"
    py_root=$work/python-root
    rm -rf "$py_root"
    dpkg-deb -x "${py_debs[0]}" "$py_root"
    site=$py_root/usr/lib/python3/dist-packages
    modules=("$site"/shamsi/_shamsi.cpython-*.so)
    [[ -f ${modules[0]} && -f $site/shamsi/__init__.py && -f $site/shamsi/_accessor.py ]] ||
      fail "${py_debs[0]##*/} does not install the module in /usr/lib/python3/dist-packages/shamsi"
    [[ -f $py_root/usr/share/doc/python3-shamsi/copyright ]] || fail "${py_debs[0]##*/} has no copyright file"
    py_depends=$(dpkg-deb -f "${py_debs[0]}" Depends)
    for needed in python3 python3-numpy libc6; do
      [[ ", $py_depends," =~ [,\|]\ $needed[\ ,] ]] || fail "${py_debs[0]##*/} does not depend on $needed"
    done
    imported=$(cd "$work" && PYTHONPATH=$site PYTHONDONTWRITEBYTECODE=1 /usr/bin/python3 -c \
      'import datetime, shamsi; print(shamsi.__file__, shamsi.Date.from_gregorian(datetime.date(2124, 3, 20)))')
    [[ $imported == "$site/shamsi/__init__.py 1503/01/01" ]] || fail "the packaged module gives: $imported"
    echo "${py_debs[0]##*/}: Depends: $py_depends"
  fi
  echo "package contents as expected"
  ;;

lintian)
  # Debian's own checks, on every package the build made. A tag may stay only
  # when it is listed, with its reason, in packaging/debian/lintian-accepted
  # (and named in the README's packaging notes); any other error, warning or
  # information fails.
  need lintian lintian
  accepted=$(dirname "$0")/../../packaging/debian/lintian-accepted
  debs=("$work"/pkg/*.deb)
  [[ -f ${debs[0]} ]] || fail "no package in $work/pkg"
  lintian --info --fail-on error,warning,info --suppress-tags-from-file "$accepted" "${debs[@]}" ||
    fail "lintian has findings on ${debs[*]##*/}"
  echo "lintian: nothing but accepted tags on ${debs[*]##*/}"
  ;;

metadata)
  need appstreamcli appstream
  need desktop-file-validate desktop-file-utils
  need man man-db
  deb=$(package_file)
  version=$(dpkg-deb -f "$deb" Version)
  metainfos=("$root"/usr/share/metainfo/*.metainfo.xml)
  ((${#metainfos[@]} == 1)) && [[ -f ${metainfos[0]} ]] || fail "expected one AppStream file, found: ${metainfos[*]}"
  metainfo=${metainfos[0]}
  desktop=$root/usr/share/applications/shamsi-date-converter.desktop

  desktop-file-validate "$desktop" || fail "desktop-file-validate rejects the menu entry"
  appstreamcli validate --no-net "$metainfo" || fail "appstreamcli rejects $metainfo"
  # The metadata with the menu entry and icon it names.
  appstreamcli validate-tree --no-net "$root" || fail "appstreamcli rejects the installed tree"
  id=$(sed -n 's:^ *<id>\(.*\)</id>$:\1:p' "$metainfo")
  [[ ${metainfo##*/} == "$id.metainfo.xml" ]] || fail "${metainfo##*/} is not named after its id $id"
  grep -q '<launchable type="desktop-id">shamsi-date-converter.desktop</launchable>' "$metainfo" ||
    fail "the AppStream file does not launch the menu entry"

  # The newest release, in the metadata and in the changelog, is the package's.
  release=$(grep -o -m1 '<release version="[^"]*"' "$metainfo" | cut -d'"' -f2)
  [[ $release == "$version" ]] || fail "the AppStream file's newest release is $release, the package $version"
  changelog=$(gzip -dc "$root/usr/share/doc/shamsi-date-converter/changelog.gz" | sed -n 1p)
  [[ $changelog == "shamsi-date-converter ($version) "* ]] || fail "the changelog starts with: $changelog"

  # One web address, set when building, for the package and the metadata.
  homepage=$(sed -n 's/^DATECONV_HOMEPAGE_URL:[A-Z]*=//p' "$build_dir/CMakeCache.txt")
  [[ -n $homepage ]] || fail "DATECONV_HOMEPAGE_URL is not in $build_dir/CMakeCache.txt"
  [[ $(dpkg-deb -f "$deb" Homepage) == "$homepage" ]] || fail "Homepage is not $homepage"
  grep -qF "<url type=\"homepage\">$homepage</url>" "$metainfo" || fail "the AppStream homepage is not $homepage"

  # The manual page, found by man as an installed one would be.
  page=$(MANPATH=$root/usr/share/man man -w shamsi-date-converter) || fail "man finds no page"
  [[ $page == "$root/usr/share/man/man1/shamsi-date-converter.1.gz" ]] || fail "man finds $page"
  text=$(MANPATH=$root/usr/share/man MANWIDTH=80 man shamsi-date-converter 2>/dev/null) || fail "man cannot show the page"
  grep -qE '^ +shamsi-date-converter +- +convert Shamsi' <<<"$text" || fail "the manual page has no NAME line"
  echo "AppStream file, menu entry and manual page valid; version $version and $homepage agree"
  ;;

offscreen)
  [[ -x $program ]] || fail "no installed program at $program"
  private_runtime_dir
  log=$work/offscreen.log
  # Qt's own painting log tells when the window's first frame, all of its
  # 211 x 231 pixels, has been drawn and flushed to the screen.
  QT_QPA_PLATFORM=offscreen QT_LOGGING_RULES='qt.widgets.painting=true' "$program" 2>"$log" &
  pid=$!
  trap 'kill -KILL $pid 2>/dev/null || true' EXIT
  frame='Flushing QRegion(0,0 211x231) of Form1('
  wait_for_line "$log" 60 "$frame" "$pid" || fail "no full frame of the window within 60 s"$'\n'"$(tail -5 "$log")"
  # Shown, and then waiting for the user rather than ending or failing.
  sleep 1
  kill -0 "$pid" 2>/dev/null || fail "the program ended on its own after showing its window"
  # The offscreen platform has no user to close the window, so the program
  # is stopped from outside; it must end by that signal and nothing else.
  kill -TERM "$pid"
  wait_for_exit "$pid" 10 || fail "the program did not end on SIGTERM"
  trap - EXIT
  ((status == 128 + 15)) || fail "the program ended with status $status, not by SIGTERM"
  expect_quiet "$log" 'qt.widgets.painting: '
  echo "installed program painted its window offscreen and waited for events"
  ;;

xvfb)
  [[ -x $program ]] || fail "no installed program at $program"
  command -v Xvfb >/dev/null || skip "Xvfb is not installed"
  command -v xdotool >/dev/null || skip "xdotool is not installed"
  private_runtime_dir
  # shellcheck source=scripts/xvfb.sh
  source "$source_dir/scripts/xvfb.sh"
  pid=
  trap '[[ -n $pid ]] && kill -KILL "$pid" 2>/dev/null; xvfb_stop' EXIT
  # Whatever goes wrong from here, the report shows both logs.
  fail_on_x() {
    fail "$*"$'\n'"--- the program's error output:"$'\n'"$(cat "$log" 2>/dev/null)"$'\n'"$(xvfb_log_tail 40)"
  }

  # A private X server that has answered a client already.
  xvfb_start "$work" -screen 0 1024x768x24 || fail "no X server to start the program on"

  log=$work/xvfb-program.log
  QT_QPA_PLATFORM=xcb "$program" 2>"$log" &
  pid=$!

  window=
  for _ in $(seq 300); do
    window=$(xdotool search --onlyvisible --name "^$caption\$" 2>/dev/null | head -1 || true)
    [[ -n $window ]] && break
    kill -0 "$pid" 2>/dev/null || fail_on_x "the program ended before showing its window on $DISPLAY"
    sleep 0.1
  done
  [[ -n $window ]] || fail_on_x "no visible window titled $caption within 30 s"
  geometry=$(xdotool getwindowgeometry "$window" | sed -n 's/^ *Geometry: //p')
  [[ $geometry == 211x231 ]] || fail_on_x "the window is $geometry, not 211x231"
  [[ $(xdotool getwindowpid "$window") == "$pid" ]] || fail_on_x "the window does not belong to the installed program"

  # Close it the way a user does: a click on Exit (the button at 10,146,
  # 51 x 20 pixels in the window) ends the program, with status 0.
  sleep 0.5
  xdotool mousemove --window "$window" 35 156 click 1
  wait_for_exit "$pid" 15 || fail_on_x "the program is still running 15 s after a click on Exit"
  pid=
  ((status == 0)) || fail_on_x "the program ended with status $status after Exit"
  expect_quiet "$log"
  echo "installed program showed its 211x231 window on X and ended with 0 on Exit"
  ;;

*)
  fail "unknown mode $mode"
  ;;
esac
