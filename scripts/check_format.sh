#!/usr/bin/env bash
# Checks that every C and C++ file of the tree keeps the style of .clang-format.
# Exits 77 (a skipped test) where clang-format is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
if ! command -v clang-format > /dev/null; then
  echo "clang-format is missing (scripts/deps.sh installs it): formatting not checked"
  exit 77
fi
if git rev-parse --is-inside-work-tree > /dev/null 2>&1; then
  # Untracked files too, so that a new file is checked before it is added.
  git ls-files -z --cached --others --exclude-standard '*.c' '*.cpp' '*.h'
else
  find . -path ./build\* -prune -o \( -name '*.c' -o -name '*.cpp' -o -name '*.h' \) -print0
fi | xargs -0 clang-format --dry-run --Werror
