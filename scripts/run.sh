#!/usr/bin/env bash
# Installs what is missing, builds the workbench and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -G Ninja -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo > build.configure.log 2>&1 || { cat build.configure.log; exit 1; }
cmake --build build -j "$(nproc)"
if [ -x build/bin/Fralo ]; then
  exec build/bin/Fralo "$@"
fi
# Until the workbench lands, run what exists: the test suite of the libraries.
cd build && exec ctest --output-on-failure
