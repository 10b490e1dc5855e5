#!/usr/bin/env bash
# Sets everything up and cross-builds the Windows program with MinGW-w64: build/windows/app/
# sectorsmith.exe, one file with nothing to ship beside it. Prints its path.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
# Two compile jobs unless told otherwise: the build shares its machine.
CMAKE_BUILD_PARALLEL_LEVEL="${CMAKE_BUILD_PARALLEL_LEVEL:-2}" bash scripts/build.sh windows >&2
ls "$PWD"/build/windows/app/sectorsmith.exe
