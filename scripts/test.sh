#!/usr/bin/env bash
# Sets everything up, checks that the sources are formatted, then builds and runs every test: the
# normal build, then the build with the address and undefined-behaviour sanitizers, then the
# Windows program cross-built with its tests run under Wine; then builds, installs, checks and
# removes the Debian package.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
echo "== format check =="
find app bench inventory packaging platform resources tests transfer ui widgets \
    \( -name '*.cpp' -o -name '*.h' \) -print0 | xargs -0 clang-format --dry-run --Werror
for preset in default sanitize; do
    echo "== $preset build =="
    bash scripts/build.sh "$preset"
    ctest --preset "$preset" -j2 --timeout 300
done
bash scripts/test_windows.sh
echo "== package =="
bash scripts/check_package.sh
