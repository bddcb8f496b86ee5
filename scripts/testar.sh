#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite.
set -euo pipefail
raiz=$(cd "$(dirname "$0")/.." && pwd)
"$raiz/scripts/instalar-dependencias.sh"
"$raiz/scripts/construir.sh"
dir=${BUILD_DIR:-$raiz/build}
cd "$dir"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)" "$@"
