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
# Without the workbench (its neighbours not built yet), run the test suite.
cd build && exec ctest --output-on-failure
