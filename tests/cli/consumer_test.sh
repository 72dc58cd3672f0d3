#!/usr/bin/env bash
# Installs the build into a temporary prefix, then builds a program of its
# own against the installed Shamsi library twice, through find_package and
# through pkg-config, and runs both.
#
#   consumer_test.sh BUILD_DIR WORK_DIR CONSUMER_SOURCE CMAKE CXX
set -euo pipefail
build_dir=$1 work=$2 source=$3 cmake=$4 cxx=$5
rm -rf "$work"
mkdir -p "$work"
prefix=$work/prefix
"$cmake" --install "$build_dir" --prefix "$prefix" >"$work/install.log"

expected=$'2026/12/08\n1404/4/8\nیکشنبه ۸ تیر ۱۴۰۴'

"$cmake" -S "$source" -B "$work/cmake" -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_CXX_COMPILER="$cxx" >/dev/null
"$cmake" --build "$work/cmake" >/dev/null
got=$("$work/cmake/shamsi_consumer")
[[ $got == "$expected" ]] || { echo "FAIL: find_package consumer printed:"$'\n'"$got"; exit 1; }

pc_file=$(find "$prefix" -name shamsi.pc)
[[ -n $pc_file ]] || { echo "FAIL: no shamsi.pc installed"; exit 1; }
export PKG_CONFIG_PATH=${pc_file%/*}
# shellcheck disable=SC2046 # the flags are words
"$cxx" $(pkg-config --cflags shamsi) "$source/main.cpp" -o "$work/pc_consumer" $(pkg-config --libs shamsi)
got=$("$work/pc_consumer")
[[ $got == "$expected" ]] || { echo "FAIL: pkg-config consumer printed:"$'\n'"$got"; exit 1; }

man=$(find "$prefix" -path '*/man1/shamsi-date.1.gz')
[[ -n $man && -x $prefix/bin/shamsi-date ]] || { echo "FAIL: shamsi-date or its manual page not installed"; exit 1; }
gzip -t "$man"
echo "find_package and pkg-config consumers built and ran against $prefix"
