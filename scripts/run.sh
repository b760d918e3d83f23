#!/usr/bin/env bash
# Installs what is missing, builds the workbench and starts it in the caller's
# folder: an image path is taken from there, and "config.dat" is kept there.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/deps.sh"
cmake -G Ninja -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo > "$root/build.configure.log" 2>&1 || { cat "$root/build.configure.log"; exit 1; }
cmake --build "$root/build" -j "$(nproc)"
exec "$root/build/bin/Fralo" "$@"
