#!/usr/bin/env bash
# The long robustness run, outside CI, under AddressSanitizer and UBSan: a
# million core fuzz cases split over two processes, a 10,000-action soak of
# the main window, then 200 kills in the middle of 64 MiB file writes. Fails
# on any finding.
#
#   tools/robustness/run.sh [BUILD_DIR]     (default build-robust)
#
# FUZZ_CASES, SOAK_ACTIONS, KILLS and SEED change the amounts and the first seed.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build-robust}
cases=${FUZZ_CASES:-1000000}
actions=${SOAK_ACTIONS:-10000}
kills=${KILLS:-200}
seed=${SEED:-1}

cmake -S . -B "$build" -DQUILLARY_SANITIZE=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLARY_BUILD_BENCH=OFF
cmake --build "$build" -j2 --target quillary-fuzz-core quillary-soak quillary-kill-loop

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
export QT_QPA_PLATFORM=offscreen
drivers=$build/tools/robustness
logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT
status=0
start=$SECONDS

# One half per core; case seeds do not overlap (case i runs on seed + i).
half=$((cases / 2))
"$drivers/quillary-fuzz-core" "$half" "$seed" >"$logs/fuzz-1" 2>&1 &
first=$!
"$drivers/quillary-fuzz-core" "$((cases - half))" "$((seed + half))" >"$logs/fuzz-2" 2>&1 &
second=$!
wait "$first" || status=1
wait "$second" || status=1
cat "$logs/fuzz-1" "$logs/fuzz-2"
echo "fuzz: $cases cases in $((SECONDS - start)) s"

start=$SECONDS
"$drivers/quillary-soak" "$actions" "$seed" || status=1
echo "soak: $actions actions in $((SECONDS - start)) s"

start=$SECONDS
"$drivers/quillary-kill-loop" "$kills" 64 "$seed" || status=1
echo "kill loop: $kills kills in $((SECONDS - start)) s"

if [ "$status" -ne 0 ]; then
  echo "robustness run: FINDINGS (see above)" >&2
else
  echo "robustness run: no findings"
fi
exit "$status"
