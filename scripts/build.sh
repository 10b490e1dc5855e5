#!/usr/bin/env bash
# Configures and builds one preset (default: "default").
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-default}"
# The Windows program's decompression libraries, cross-built once.
[ "$preset" != windows ] || bash scripts/build_windows_deps.sh
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
