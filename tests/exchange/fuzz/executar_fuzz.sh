#!/usr/bin/env bash
# Builds the fuzz targets with clang (a build of their own) and runs one of them for a few
# seconds, seeded with the shared packet fixtures (and archives made of them).
# Usage: executar_fuzz.sh PASTA_FONTES PASTA_CONSTRUCAO PASTA_FIXTURES fuzz_pacote|fuzz_extracao [SEGUNDOS]
# Exit status 77 when there is no clang: the test is then skipped.
set -euo pipefail
fontes=$1 construcao=$2 fixtures=$3 alvo=$4 segundos=${5:-5}

if ! command -v clang++ >/dev/null 2>&1 || ! command -v clang >/dev/null 2>&1; then
  echo "clang ausente: fuzzing não executado"
  exit 77
fi

if [ ! -f "$construcao/build.ninja" ]; then
  cmake -S "$fontes/tests/exchange/fuzz" -B "$construcao" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DLUMARO_SOURCE_DIR="$fontes" >/dev/null
fi
cmake --build "$construcao" --target "$alvo" -j 2 >/dev/null

sementes="$construcao/sementes-$alvo"
corpus="$construcao/corpus-$alvo"
rm -rf "$sementes"
mkdir -p "$sementes" "$corpus"
if [ "$alvo" = fuzz_extracao ]; then
  # Small archives in the forms the program meets: encrypted and not, deflated and stored, with folders.
  trabalho=$(mktemp -d)
  trap 'rm -rf "$trabalho"' EXIT
  mkdir -p "$trabalho/sub"
  cp "$fixtures/bingo_dados.cds" "$trabalho/entrada.Aidf"
  cp "$fixtures/industry.cds" "$trabalho/sub/outro.Aidf"
  (cd "$trabalho" && zip -q -9 -P ZOWK "$sementes/cifrado.zip" entrada.Aidf sub/outro.Aidf \
                  && zip -q -0 -P ZOWK "$sementes/armazenado.zip" entrada.Aidf \
                  && zip -q -9 "$sementes/aberto.zip" entrada.Aidf sub/outro.Aidf)
else
  for f in "$fixtures"/*.cds; do
    # The large ones only slow the run down; the small ones cover every kind of field.
    [ "$(stat -c %s "$f")" -le 70000 ] && cp "$f" "$sementes/"
  done
fi

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
export QT_QPA_PLATFORM=offscreen
cd "$construcao"
exec "./$alvo" -max_total_time="$segundos" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
  -print_final_stats=1 "$corpus" "$sementes"
