#!/usr/bin/env bash
# All of Velmora's tests: the full build (core, printing, CUPS, the app, end to end) in
# build-testes/, the core again under AddressSanitizer + UBSan in build-asan/, every fuzz target
# for a few seconds (build-fuzz-smoke/), the Windows build under Wine (build-win/, see
# scripts/windows-testes.sh), and the format check. Every stage runs even after one
# fails; the exit status is non-zero if any failed.
set -euo pipefail

raiz="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$raiz"

bash scripts/dependencias.sh

falhas=()
aprovados=0
reprovados=0
resumos=()

# Runs ctest in a build folder and adds its counts to the totals.
roda_ctest() {
    local nome="$1" pasta="$2" saida
    saida="$(mktemp)"
    local status=0
    (cd "$pasta" && ctest --output-on-failure --timeout 600) 2>&1 | tee "$saida" || status=$?
    local linha
    linha="$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$saida" | tail -n 1 || true)"
    if [[ -z "$linha" ]]; then
        resumos+=("$nome: nenhum teste executado")
        falhas+=("$nome (nenhum teste executado)")
    else
        local falharam total
        falharam="$(sed -E 's/^.* ([0-9]+) tests? failed out of ([0-9]+).*$/\1/' <<<"$linha")"
        total="$(sed -E 's/^.* failed out of ([0-9]+).*$/\1/' <<<"$linha")"
        aprovados=$((aprovados + total - falharam))
        reprovados=$((reprovados + falharam))
        resumos+=("$nome: $linha")
        ((status == 0 && falharam == 0)) || falhas+=("$nome")
    fi
    rm -f "$saida"
}

echo "== build completo (build-testes/)"
if cmake -S . -B build-testes -DCMAKE_BUILD_TYPE=Debug &&
    cmake --build build-testes -j2; then
    roda_ctest "completo" build-testes
else
    falhas+=("build completo")
fi

echo "== núcleo com AddressSanitizer + UBSan (build-asan/)"
if cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DVELMORA_CORE_ONLY=ON \
    -DVELMORA_SANITIZE=ON &&
    cmake --build build-asan -j2; then
    export ASAN_OPTIONS="detect_leaks=1" UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
    roda_ctest "sanitizers" build-asan
else
    falhas+=("build com sanitizers")
fi

echo "== Windows: mingw-w64 e Wine (build-win/)"
saida_windows="$(mktemp)"
status_windows=0
bash scripts/windows-testes.sh 2>&1 | tee "$saida_windows" || status_windows=$?
linha_windows="$(grep -E '^windows: [0-9]+ passed, [0-9]+ failed' "$saida_windows" | tail -n 1 || true)"
rm -f "$saida_windows"
if [[ -z "$linha_windows" ]]; then
    resumos+=("windows: nenhum teste executado")
    falhas+=("windows (nenhum teste executado)")
else
    passaram="$(sed -E 's/^windows: ([0-9]+) passed.*$/\1/' <<<"$linha_windows")"
    falharam="$(sed -E 's/^.* ([0-9]+) failed.*$/\1/' <<<"$linha_windows")"
    aprovados=$((aprovados + passaram))
    reprovados=$((reprovados + falharam))
    resumos+=("$linha_windows")
    ((status_windows == 0 && falharam == 0)) || falhas+=("windows")
fi

echo "== fuzzing, alguns segundos por alvo (build-fuzz-smoke/)"
bash scripts/fuzz-smoke.sh || falhas+=("fuzzing")

echo "== formatação (clang-format)"
mapfile -d '' fontes < <(find . \( -path './build*' -o -path './.git' -o -path './out' \) -prune \
    -o \( -name '*.cpp' -o -name '*.h' \) -type f -print0 | sort -z)
if ((${#fontes[@]} == 0)); then
    falhas+=("formatação (nenhum arquivo achado)")
elif ! clang-format --dry-run --Werror "${fontes[@]}"; then
    falhas+=("formatação")
fi

echo
for resumo in "${resumos[@]}"; do echo "$resumo"; done
if ((${#falhas[@]} > 0)); then
    echo "FALHOU: ${falhas[*]}"
fi
echo "testes: $aprovados passed, $reprovados failed"
((${#falhas[@]} == 0))
