#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: once in an
# optimised build, once under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh

jobs=$(nproc)
run_suite() {
  local dir=$1; shift
  cmake -G Ninja -S . -B "$dir" "$@" > "$dir.configure.log" 2>&1 || { cat "$dir.configure.log"; exit 1; }
  cmake --build "$dir" -j "$jobs"
  (cd "$dir" && ctest --output-on-failure -j "$jobs" --timeout 300)
}

# Each test program also runs once whole, its cases shuffled with a fixed seed,
# so that a case depending on what another left behind fails.
shuffle_seed=2
echo "Test programs run whole with --gtest_shuffle --gtest_random_seed=$shuffle_seed"
run_suite build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DONDULA_SHUFFLE_SEED=$shuffle_seed
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
  LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp \
  run_suite build-sanitize -DCMAKE_BUILD_TYPE=Debug -DONDULA_SANITIZE=ON -DONDULA_BENCH=OFF

# Every fuzz target, briefly, from its corpus: a smoke test of the fuzz builds.
FUZZ_JOBS=4 scripts/fuzz.sh 5
