#!/usr/bin/env bash
# The bash completion of shamsi-date: what it offers for a line typed so far,
# and that the program takes every command and word for a day it offers.
#
#   completion_test.sh COMPLETION-SCRIPT PROGRAM
set -uo pipefail
# shellcheck source=/dev/null
source "$1"
program=$2
failures=0
cases=0

# offers LINE EXPECTED...: the completions for the last word of LINE (words
# split at blanks, and at '=' as bash does).
offers() {
  local line=$1
  shift
  cases=$((cases + 1))
  local spaced=${line//=/ = }
  read -ra COMP_WORDS <<<"$spaced"
  [[ $spaced == *' ' ]] && COMP_WORDS+=('')
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  _shamsi_date
  if [[ "${COMPREPLY[*]}" != "$*" ]]; then
    failures=$((failures + 1))
    echo "FAIL: '$line': got '${COMPREPLY[*]}', expected '$*'"
  fi
}

offers 'shamsi-date ' to-miladi to-shamsi add diff cal
offers 'shamsi-date cal --c' --color
offers 'shamsi-date cal --color=' never auto always
offers 'shamsi-date diff --y' --ymd
offers 'shamsi-date add '
offers 'shamsi-date to-s' to-shamsi
offers 'shamsi-date --digits persian to-m' to-miladi
offers 'shamsi-date to-miladi --he' --header --help
offers 'shamsi-date to-miladi --in' --input-format
offers 'shamsi-date to-miladi --digits ' ascii persian
offers 'shamsi-date to-miladi --names=af' afghan
offers 'shamsi-date to-miladi --names=' iranian afghan english
offers 'shamsi-date to-miladi --format %Y ' today yesterday tomorrow
offers 'shamsi-date --format=%Y to-shamsi to' today tomorrow
offers 'shamsi-date to-miladi --field '
offers 'shamsi-date to-shamsi --zone Asia/Tehr' Asia/Tehran
offers 'shamsi-date to-shamsi --zone=lo' local
offers 'shamsi-date to-shamsi --zone UTC to' today tomorrow

cases=$((cases + 1))
# (add after its amount; diff takes two dates, so it is left out.)
for command in to-miladi to-shamsi 'add +1m'; do
  read -ra words <<<"$command"
  COMP_WORDS=(shamsi-date "${words[@]}" '')
  COMP_CWORD=$((${#words[@]} + 1))
  _shamsi_date
  if ! "$program" "${words[@]}" "${COMPREPLY[@]}" >/dev/null; then
    failures=$((failures + 1))
    echo "FAIL: $command does not take ${COMPREPLY[*]}"
  fi
done

echo "$cases cases, $failures failed"
((failures == 0))
