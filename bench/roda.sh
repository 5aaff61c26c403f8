#!/usr/bin/env bash
# The full benchmark: builds a Release binary in build-bench/ and runs every measure beside its
# peer, printing one table. Extra arguments go to desempenho.py (--smoke, --repeticoes N, --so X).
set -euo pipefail

raiz="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$raiz"

bash scripts/dependencias.sh
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DVELMORA_TESTS=OFF >/dev/null
cmake --build build-bench --target velmora velmora_bench_copia -j2
python3 bench/desempenho.py --velmora build-bench/app/velmora \
    --copia build-bench/bench/velmora_bench_copia "$@"
