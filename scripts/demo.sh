#!/usr/bin/env bash
# Velmora end to end on a sample: installs what is missing, builds the release into build/,
# drops three sample jobs into build/demo/jobs/ and prints them once on the "Velmora PDF"
# printer, whose PDFs land in build/demo/pdf/.
set -euo pipefail

raiz="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$raiz"

bash scripts/dependencias.sh

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DVELMORA_TESTS=OFF
cmake --build build -j2 --target velmora

demo="$raiz/build/demo"
rm -rf "$demo"
mkdir -p "$demo/jobs" "$demo/pdf"

# An invoice as a DOS-era program writes it: Windows-1252 accents, CR LF line ends.
printf '%b\r\n' \
    '                     PADARIA S\xc3O JO\xc3O LTDA' \
    '                 Rua da Concei\xe7\xe3o, 120 - Centro' \
    '' \
    'NOTA N\xba 004512                         Emiss\xe3o: 08/12/2026' \
    '------------------------------------------------------------' \
    'Qtd  Descri\xe7\xe3o                     Unit\xe1rio        Total' \
    ' 12  P\xe3o franc\xeas                       0,75         9,00' \
    '  2  Caf\xe9 mo\xeddo 500g                  18,90        37,80' \
    '  1  A\xe7\xfacar cristal 1kg                5,49         5,49' \
    '------------------------------------------------------------' \
    '                                      TOTAL R$      52,29' \
    '' \
    'Obrigado pela prefer\xeancia!' >"$demo/jobs/NOTA0001.TXT"

# A report wider than 110 columns: printed in the smallest size.
{
    printf '%-8s %-40s %-20s %14s %14s %14s\r\n' CODIGO PRODUTO FORNECEDOR ESTOQUE \
        'PRECO CUSTO' 'PRECO VENDA'
    for i in $(seq 1 40); do
        printf '%08d %-40s %-20s %14d %14s %14s\r\n' "$i" "Produto de exemplo numero $i" \
            "Fornecedor $((i % 7))" "$((i * 13))" "$((i * 3)),50" "$((i * 5)),90"
    done
} >"$demo/jobs/RELAT02.TXT"

# Pages broken by a form feed and by an EJECT line.
printf '%s\r\n' 'Primeira pagina' 'linha 2 da primeira pagina' \
    $'fim da primeira pagina\f' 'Segunda pagina' 'EJECT' 'Terceira pagina' >"$demo/jobs/PAGINAS.TXT"

printf '%s\r\n' "LOCAL = $demo/jobs/*.TXT" 'IMPRESSORA = Velmora PDF' 'BACKUP = 1' \
    'PARALELA = 0' 'PORTA = ' >"$demo/VELMORA.INI"

echo
echo "== velmora --once --ini $demo/VELMORA.INI"
status=0
(cd "$demo" && VELMORA_PDF_DIR="$demo/pdf" "$raiz/build/app/velmora" --once \
    --ini "$demo/VELMORA.INI") || status=$?

echo
echo "== trabalhos depois da impressão ($demo/jobs)"
ls -l "$demo/jobs"
echo
echo "== PDFs gravados ($demo/pdf)"
shopt -s nullglob
pdfs=("$demo"/pdf/*.pdf)
if ((${#pdfs[@]} == 0)); then
    echo "nenhum PDF foi gravado" >&2
    exit 1
fi
ls -l "${pdfs[@]}"
if ((status != 0)); then
    echo "velmora --once terminou com o código $status" >&2
    exit "$status"
fi
