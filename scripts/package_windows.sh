#!/usr/bin/env bash
# Builds the Windows installer build/windows/package/sectorsmith-<version>-setup.exe from the
# windows preset's build (set up and built first when needed: bash scripts/build_windows.sh).
# Prints the installer's path.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build_windows_deps.sh >&2
cmake --preset windows >/dev/null
# Two compile jobs unless told otherwise: the build shares its machine.
CMAKE_BUILD_PARALLEL_LEVEL="${CMAKE_BUILD_PARALLEL_LEVEL:-2}" cmake --build --preset windows \
    --target sectorsmith >&2
cpack --config build/windows/CPackConfig.cmake -B build/windows/package >&2
ls "$PWD"/build/windows/package/sectorsmith-*-setup.exe
