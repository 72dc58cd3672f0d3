#!/usr/bin/env bash
# Builds the libFuzzer targets (the "fuzz" preset, clang 14) and runs each
# for a bounded time from its seed corpus in fuzz/corpus/<target>/.
# A crash, a sanitizer report, a broken invariant, a hang or a memory
# blow-up fails the script; the input behind it is kept under
# build/fuzz/findings/. Inputs the fuzzer discovers go to a scratch
# directory, so the seed corpus in the repository never changes.
#
# Usage: scripts/fuzz.sh [seconds per target]   (default 30)
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-30}
targets=(shamsi_to_miladi miladi_to_shamsi miladi_to_string number_services line_converter)

scripts/install-deps.sh clang-14 libclang-rt-14-dev

cmake --preset fuzz
cmake --build --preset fuzz

findings=build/fuzz/findings
mkdir -p "$findings"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

failed=()
for target in "${targets[@]}"; do
  echo "== fuzz_${target}: ${seconds} s"
  mkdir -p "$scratch/$target"
  log="$scratch/$target.log"
  if build/fuzz/fuzz/fuzz_"$target" \
      -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$findings/$target-" \
      "$scratch/$target" "fuzz/corpus/$target" >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "   ${runs:-?} executions, no finding"
  else
    failed+=("$target")
    echo "   FINDING:"
    grep -E 'invariant broken|input:|got:|runtime error|ERROR:|SUMMARY|Test unit written' "$log" | sed 's/^/   /' || true
    cp "$log" "$findings/$target.log"
    echo "   (full log in $findings/$target.log)"
  fi
done

if ((${#failed[@]} > 0)); then
  echo "Fuzzing found problems in: ${failed[*]}"
  exit 1
fi
echo "Fuzzing: no findings."
