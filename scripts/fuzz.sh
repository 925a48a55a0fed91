#!/usr/bin/env bash
# Runs every libFuzzer target of a fuzz build for a set time each, one after
# the other. Each starts from its committed seed corpus (fuzz/corpus/<name>),
# which it only reads; what it learns goes to <build>/fuzz-work/<name>, and
# crashing inputs to <build>/fuzz-findings/<name>/. Exits non-zero when any
# target found something.
#   scripts/fuzz.sh <build> <seconds per target> [names...]
set -uo pipefail
build=${1:-build-fuzz}
seconds=${2:-300}
shift 2 || true
here=$(cd "$(dirname "$0")/.." && pwd)
list="$build/fuzz_targets.txt"
[ -f "$list" ] || { echo "fuzz: $list is missing; configure with -DTESSIVO_SANITIZE=fuzzer" >&2; exit 1; }
if [ $# -gt 0 ]; then
  names=("$@")
else
  mapfile -t names < <(grep -v '^$' "$list")
fi
[ ${#names[@]} -gt 0 ] || { echo "fuzz: no targets in $list" >&2; exit 1; }

# Full stacks for allocations, so that leak suppressions can name the function
# inside a system library that leaks (fuzz/lsan.supp).
export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1:fast_unwind_on_malloc=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$here/fuzz/lsan.supp}
# Targets of the desktop client need Qt without a display.
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
failed=()
for name in "${names[@]}"; do
  exe="$build/bin/fuzz_$name"
  [ -x "$exe" ] || { echo "fuzz: $exe was not built" >&2; failed+=("$name"); continue; }
  work="$build/fuzz-work/$name"
  findings="$build/fuzz-findings/$name"
  mkdir -p "$work" "$findings"
  seeds="$here/fuzz/corpus/$name"
  echo "== fuzz_$name for ${seconds}s"
  if ! "$exe" "$work" "$seeds" -max_total_time="$seconds" -timeout=60 -rss_limit_mb=2048 \
       -print_final_stats=1 -artifact_prefix="$findings/" > "$build/fuzz-work/$name.log" 2>&1; then
    echo "fuzz: fuzz_$name found a problem; see $build/fuzz-work/$name.log and $findings/" >&2
    tail -n 40 "$build/fuzz-work/$name.log" >&2
    failed+=("$name")
  else
    grep -E '^(stat::number_of_executed_units|stat::new_units_added)' "$build/fuzz-work/$name.log" || true
  fi
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz: findings or failures in: ${failed[*]}" >&2
  exit 1
fi
echo "fuzz: ${#names[@]} targets ran ${seconds}s each without a finding"
