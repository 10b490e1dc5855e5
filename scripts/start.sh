#!/usr/bin/env bash
# Sets everything up, builds Sectorsmith and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh default
exec ./build/default/app/sectorsmith "$@"
