#!/usr/bin/env bash
# Builds the fuzz preset and runs each libFuzzer target for the given time,
# keeping a corpus per target under the build folder, and prints per target
# the runs, the corpus size and the crashes. A crash ends that target's run
# and leaves its input and log under fuzz-artifacts. Not part of the tests.
#
#   bench/fuzz.sh [seconds per target, default 120] [build folder of the fuzz preset]
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/common.sh"

KAVRIN_PACKAGES=(cmake ninja-build clang libclang-rt-14-dev)
kavrin_install_packages
cd "$KAVRIN_ROOT"

seconds=${1:-120}
build=${2:-$KAVRIN_ROOT/build/fuzz}
cmake --preset fuzz -S "$KAVRIN_ROOT" -B "$build" >/dev/null
cmake --build "$build"

targets=(path_rules_fuzz file_name_fuzz truth_value_fuzz besweet_arguments_fuzz log_lines_fuzz)
summary=()
status=0
for target in "${targets[@]}"; do
  corpus=$build/fuzz-corpus/$target
  artifacts=$build/fuzz-artifacts/$target/
  mkdir -p "$corpus" "$artifacts"
  log=$build/fuzz-artifacts/$target.log
  echo "== $target: ${seconds} s"
  marker=$build/fuzz-artifacts/$target.start
  touch "$marker"
  # A crash ends the target's run; its input stays in the artifacts folder.
  "$build/tests/fuzz/$target" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$artifacts" \
    "$corpus" >"$log" 2>&1 || true
  runs=$(grep -oE 'stat::number_of_executed_units: *[0-9]+' "$log" | grep -oE '[0-9]+$' || echo 0)
  files=$(find "$corpus" -type f | wc -l)
  crashes=$(find "$artifacts" -type f -newer "$marker" | wc -l)
  [ "$crashes" -ne 0 ] && status=1
  summary+=("$(printf '%-24s runs %12s   corpus %6s files   crashes %s' "$target" "${runs:-0}" "$files" "$crashes")")
done

echo
printf '%s\n' "${summary[@]}"
exit $status
