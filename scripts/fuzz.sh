#!/usr/bin/env bash
# Fuzzes the core: builds the libFuzzer targets of fuzz/ with clang (AddressSanitizer + UBSan)
# into build-fuzz/ and runs each for SEGUNDOS (default 300), starting from the seed corpus in
# fuzz/corpus/<target>/. New inputs go to build-fuzz/corpus/<target>/ (the seeds stay as they
# are); an input that crashes or breaks a property is saved as build-fuzz/achados/<target>-*.
# Prints the executions of each target and exits non-zero when any target found something.
#
#   bash scripts/fuzz.sh [SEGUNDOS]
set -euo pipefail

raiz="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$raiz"

segundos="${1:-300}"
[[ "$segundos" =~ ^[1-9][0-9]*$ ]] || {
    echo "uso: bash scripts/fuzz.sh [SEGUNDOS por alvo]" >&2
    exit 2
}
# Absolute: a target may change its current folder.
pasta="$raiz/${VELMORA_FUZZ_BUILD:-build-fuzz}"

for ferramenta in clang clang++; do
    command -v "$ferramenta" >/dev/null || {
        echo "fuzz: $ferramenta não está instalado (apt-get install clang libclang-rt-14-dev)" >&2
        exit 3
    }
done

echo "== build dos alvos de fuzzing (${pasta#"$raiz/"}/)"
CC=clang CXX=clang++ cmake -S . -B "$pasta" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVELMORA_CORE_ONLY=ON -DVELMORA_TESTS=OFF -DVELMORA_FUZZ=ON >/dev/null
cmake --build "$pasta" -j2

mapfile -t alvos < <(find fuzz -maxdepth 1 -name '*_fuzz.cpp' -printf '%f\n' | sed 's/\.cpp$//' | sort)
((${#alvos[@]} > 0)) || {
    echo "fuzz: nenhum alvo em fuzz/" >&2
    exit 1
}

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
mkdir -p "$pasta/achados"
resumo=()
falharam=()
for alvo in "${alvos[@]}"; do
    corpus="$pasta/corpus/$alvo"
    sementes="$raiz/fuzz/corpus/$alvo"
    mkdir -p "$corpus" "$sementes"
    registro="$pasta/$alvo.log"
    echo "== $alvo: $segundos s"
    status=0
    # -timeout: one input that takes seconds is a finding too (a pattern match gone exponential).
    "$pasta/fuzz/$alvo" "$corpus" "$sementes" -max_total_time="$segundos" -timeout=10 \
        -rss_limit_mb=2048 -max_len=65536 -print_final_stats=1 -dict="$raiz/fuzz/velmora.dict" \
        -artifact_prefix="$pasta/achados/$alvo-" >"$registro" 2>&1 || status=$?
    execucoes="$(sed -nE 's/^stat::number_of_executed_units: *([0-9]+).*/\1/p' "$registro" | tail -n 1 || true)"
    cobertura="$(grep -oE 'cov: [0-9]+' "$registro" | tail -n 1 | sed 's/cov: //' || true)"
    if ((status != 0)); then
        falharam+=("$alvo")
        grep -E 'ERROR|propriedade violada|Test unit written|SUMMARY' "$registro" | head -n 20 >&2 || true
        resumo+=("$(printf '%-24s %12s execuções  cobertura %6s  ACHOU FALHA (status %s, veja %s)' \
            "$alvo" "${execucoes:-?}" "${cobertura:-?}" "$status" "$registro")")
    else
        resumo+=("$(printf '%-24s %12s execuções  cobertura %6s  nada achado' \
            "$alvo" "${execucoes:-?}" "${cobertura:-?}")")
    fi
done

echo
for linha in "${resumo[@]}"; do echo "$linha"; done
if ((${#falharam[@]} > 0)); then
    echo "fuzz: FALHOU: ${falharam[*]} (entradas em $pasta/achados/)"
    exit 1
fi
echo "fuzz: ${#alvos[@]} alvos, $segundos s cada, nada achado"
