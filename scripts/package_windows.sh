#!/usr/bin/env bash
# Sets everything up, cross-builds the Windows program and packs it as the installer
# build/windows/package/sectorsmith-<version>-setup.exe. Prints the installer's path.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh >&2
bash scripts/build_windows_deps.sh >&2
cmake --preset windows >/dev/null
# Two compile jobs unless told otherwise: the build shares its machine.
CMAKE_BUILD_PARALLEL_LEVEL="${CMAKE_BUILD_PARALLEL_LEVEL:-2}" cmake --build --preset windows \
    --target sectorsmith >&2
cpack --config build/windows/CPackConfig.cmake -B build/windows/package >&2
ls "$PWD"/build/windows/package/sectorsmith-*-setup.exe
