#!/usr/bin/env bash
# Configures and builds Lumaro in ./build (Release with debug info unless BUILD_TYPE says otherwise).
set -euo pipefail
raiz=$(cd "$(dirname "$0")/.." && pwd)
dir=${BUILD_DIR:-$raiz/build}
cmake -S "$raiz" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" "$@" >/dev/null
cmake --build "$dir" -j "$(nproc)"
