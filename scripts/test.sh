#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: once in an
# optimised build, once under AddressSanitizer and UndefinedBehaviorSanitizer;
# then the tests of what runs on several threads (plug-ins, frame-grabber host
# and its parallel edition, DirectShow stand-in, hardware access, registry,
# worker pool) under ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh

jobs=$(nproc)
configure() {
  local dir=$1; shift
  cmake -G Ninja -S . -B "$dir" "$@" > "$dir.configure.log" 2>&1 || { cat "$dir.configure.log"; exit 1; }
}
run_suite() {
  local dir=$1; shift
  configure "$dir" "$@"
  cmake --build "$dir" -j "$jobs"
  (cd "$dir" && ctest --output-on-failure -j "$jobs" --timeout 300)
}

# Sanitizer reports go to files, printed when the run fails: a test that
# captures its own stderr would otherwise swallow them.
reports=$PWD/build-reports
rm -rf "$reports" && mkdir -p "$reports"
trap 'status=$?; if [ $status -ne 0 ]; then for f in "$reports"/*; do [ -e "$f" ] && { echo "== $f"; cat "$f"; }; done; fi' EXIT

# Each test program also runs once whole, its cases shuffled with a fixed seed,
# so that a case depending on what another left behind fails.
shuffle_seed=2
echo "Test programs run whole with --gtest_shuffle --gtest_random_seed=$shuffle_seed"
run_suite build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DONDULA_SHUFFLE_SEED=$shuffle_seed
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:log_path=$reports/asan \
  UBSAN_OPTIONS=print_stacktrace=1:log_path=$reports/ubsan \
  LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp:log_path=$reports/lsan \
  run_suite build-sanitize -DCMAKE_BUILD_TYPE=Debug -DONDULA_SANITIZE=ON -DONDULA_BENCH=OFF

threaded_tests=(analogue_plugin_test analogue_host_test analogue_parallel_host_test
                directshow_plugin_test directshow_host_test directshow_parallel_host_test
                iidc_plugin_test iidc_host_test twain_plugin_test twain_host_test
                twain_parallel_host_test twain_parallel_plugin_test
                usbcam_plugin_test usbcam_host_test optical_bench_camera_test
                verodyn_framegrabber_test verodyn_parallel_ops_test
                hwaccess_test qdriver_test registry_test worker_pool_test dshow_test)
configure build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DONDULA_TSAN=ON -DONDULA_BENCH=OFF
cmake --build build-tsan -j "$jobs" --target "${threaded_tests[@]}"
# ThreadSanitizer needs the fixed address layout it was built for.
(IFS='|'; cd build-tsan && TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:log_path=$reports/tsan \
   setarch "$(uname -m)" -R ctest --output-on-failure -j "$jobs" --timeout 600 \
   -R "^(${threaded_tests[*]})\\.")

# Every fuzz target, briefly, from its corpus: a smoke test of the fuzz builds.
FUZZ_JOBS=4 scripts/fuzz.sh 5
