#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and the sanitizers (build-fuzz) and
# fuzzes each for the given seconds (default 60), starting from its corpus.
# FUZZ_JOBS=n runs n targets at once. Each target's log, with libFuzzer's
# figures, is left in build-fuzz/fuzz-logs; a finding fails the script.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}

# target  seed corpus (relative to build-fuzz when made at build time)  [libFuzzer options]
targets=(
  "verodyn_read_image_fuzz  build:verodyn/tests/read_corpus"
  "open_framegrabber_fuzz   verodyn/tests/open_corpus"
  "framegrabber_params_fuzz verodyn/tests/params_corpus"
  "twain_dib_fuzz           build:grabbers/twain/tests/dib_corpus"
  "twain_container_fuzz     grabbers/twain/tests/container_corpus"
  "camera_type_fuzz         grabbers/directshow/tests/camera_type_corpus"
  "fuzz_digdec_decoder      build:digdec/fuzz/decoder_corpus"
  "qdriver_request_fuzz     platform/qdriver/fuzz/corpus"
  "registry_text_fuzz       platform/registry/fuzz/corpus"
  "registry_cycle_fuzz      platform/registry/fuzz/cycle_corpus  -max_len=1048576"
  "settings_file_fuzz       workbench/tests/settings_corpus"
  "env_lists_fuzz           platform/fuzz/env_list_corpus"
)

build=build-fuzz
CC=clang CXX=clang++ cmake -G Ninja -S . -B $build -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DONDULA_FUZZ=ON -DONDULA_SANITIZE=ON -DONDULA_BENCH=OFF > $build.configure.log 2>&1 ||
  { cat $build.configure.log; exit 1; }
names=()
for t in "${targets[@]}"; do names+=("${t%% *}"); done
cmake --build $build -j "$(nproc)" --target "${names[@]}" verodyn_read_corpus twain_dib_corpus \
  decoder_corpus

mkdir -p $build/fuzz-logs $build/fuzz-corpus
# A target's own /tmp files go to memory where it can.
[ -d /dev/shm ] && export TMPDIR=/dev/shm
export ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp QT_QPA_PLATFORM=offscreen

fuzz_one() {
  local name seed options
  read -r name seed options <<< "$1"
  [[ $seed == build:* ]] && seed=$build/${seed#build:}
  local work=$build/fuzz-corpus/$name log=$build/fuzz-logs/$name.log
  mkdir -p "$work"
  # shellcheck disable=SC2086
  if $build/bin/"$name" "$work" "$seed" -max_total_time="$seconds" -timeout=30 \
       -rss_limit_mb=2560 -print_final_stats=1 -artifact_prefix="$build/fuzz-logs/$name-" \
       $options > "$log" 2>&1; then
    echo "$name: $(grep -E '^stat::number_of_executed_units' "$log" | awk '{print $2}') runs," \
         "$(grep -Eo 'cov: [0-9]+' "$log" | tail -1)"
  else
    echo "$name: FINDING (see $log)"; tail -40 "$log"; return 1
  fi
}
export -f fuzz_one
export build seconds
printf '%s\n' "${targets[@]}" | xargs -P "${FUZZ_JOBS:-1}" -I{} bash -c 'fuzz_one "$1"' _ {}
