#!/usr/bin/env bash
# Installs what is missing, builds, creates the embedded database when it does not exist yet and
# starts Lumaro from its build folder.
set -euo pipefail
raiz=$(cd "$(dirname "$0")/.." && pwd)
"$raiz/scripts/instalar-dependencias.sh"
"$raiz/scripts/construir.sh"
bin=${BUILD_DIR:-$raiz/build}/bin
if [ ! -f "$bin/Dados/Dados.fdb" ]; then
  mkdir -p "$bin/Dados"
  "$bin/lumaro-criar-base" "$bin/Dados/Dados.fdb"
fi
cd "$bin"
exec ./Lumaro "$@"
