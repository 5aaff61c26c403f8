#!/usr/bin/env bash
# Runs every fault-injection scenario (tests/e2e/falhas_*.sh) in its long form and prints the
# accounting table for the README: scenario, jobs, printed once, printed twice, left in place,
# lost. Needs root (private cupsd, tmpfs, bind mounts, another user).
#   scripts/confiabilidade.sh [VELMORA_BINARY]   (default: builds build-testes/app/velmora)
set -uo pipefail

raiz="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$raiz"

velmora="${1:-}"
if [[ -z "$velmora" ]]; then
    cmake -S . -B build-testes -DCMAKE_BUILD_TYPE=Debug >/dev/null &&
        cmake --build build-testes --target velmora -j2 >/dev/null || exit 1
    velmora=build-testes/app/velmora
fi

resultados="$(mktemp)"
artefatos="$(mktemp -d)"
trap 'rm -f "$resultados"' EXIT
falharam=()
for script in tests/e2e/falhas_*.sh; do
    [[ "$script" == *_comum.sh ]] && continue
    nome="$(basename "$script" .sh)"
    echo "== $nome" >&2
    status=0
    VELMORA_FALHAS_COMPLETO=1 VELMORA_FALHAS_RESULTADOS="$resultados" \
        bash "$script" "$velmora" "$artefatos/$nome" >&2 || status=$?
    case $status in
        0) ;;
        77) falharam+=("$nome (pulado)") ;;
        *) falharam+=("$nome") ;;
    esac
done

echo "| Cenário | Trabalhos | Impressos uma vez | Impressos duas vezes | Deixados na pasta | Perdidos | Começo sem fim na saída |"
echo "|---|---:|---:|---:|---:|---:|---:|"
awk -F'\t' '{printf "| %s | %s | %s | %s | %s | %s | %s |\n", $1, $2, $3, $4, $5, $6, $7}' "$resultados"
perdidos=$(awk -F'\t' '{s += $6} END {print s + 0}' "$resultados")
echo
echo "Perdidos no total: $perdidos"
if ((${#falharam[@]})); then
    echo "Cenários com falha: ${falharam[*]} (arquivos em $artefatos)"
    exit 1
fi
rm -rf "$artefatos"
((perdidos == 0))
