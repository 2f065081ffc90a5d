#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer, UndefinedBehaviorSanitizer,
# in the build the tests use: build-test) and runs each over its corpus for the
# given number of seconds, one after the other. Fails when any target finds a
# crash, a sanitizer report, a leak, a timeout or a broken invariant; the input
# that did it is kept as fuzz/out/<target>/crash-* (or leak-*, timeout-*, oom-*).
#
#   scripts/fuzz.sh [seconds-per-target [target ...]]    default: 5 seconds, every target
#
# The seeds in fuzz/corpus/<target>/ are only read; what the fuzzer learns is
# kept in fuzz/out/<target>/corpus/ and reused by the next run.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
source scripts/build.sh
quillory_install_packages build test

seconds="${1:-5}"
shift || true
if [ $# -gt 0 ]; then
  targets=("$@")
else
  targets=()
  for source in fuzz/*.cpp; do
    targets+=("$(basename "$source" .cpp)")
  done
fi

build=build-test
grep -qs '^QUILLORY_FUZZ:BOOL=ON' "$build/CMakeCache.txt" || quillory_configure_checked "$build"
cmake --build "$build" --target "${targets[@]/#/fuzz_}"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

failed=()
printf '%-12s %12s %8s %8s  %s\n' target executions cov seconds result
for target in "${targets[@]}"; do
  out="fuzz/out/$target"
  mkdir -p "$out/corpus"
  status=ok
  "$build/fuzz/fuzz_$target" "$out/corpus" "fuzz/corpus/$target" \
    -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
    -print_final_stats=1 -artifact_prefix="$out/" >"$out/log" 2>&1 || status=FAILED
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$out/log" | tail -1)
  coverage=$(grep -o 'cov: [0-9]*' "$out/log" | tail -1 | cut -d' ' -f2)
  printf '%-12s %12s %8s %8s  %s\n' "$target" "${executions:-?}" "${coverage:-?}" "$seconds" "$status"
  if [ "$status" != ok ]; then
    failed+=("$target")
    grep -E 'ERROR|invariant failed|SUMMARY|Test unit written' "$out/log" | head -5 | sed 's/^/    /'
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "Fuzzing found faults in: ${failed[*]} (logs and inputs under fuzz/out/)" >&2
  exit 1
fi
