#!/usr/bin/env bash
# Velmora end to end on a sample: installs what is missing, builds the release into build/,
# drops sample jobs into build/demo/jobs/ and prints them once on the "Velmora PDF"
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

# A DOS program's report in CP850: box drawing and accents, no code page set anywhere.
{
    printf '\xc9'; printf '\xcd%.0s' $(seq 1 58); printf '\xbb\r\n'
    printf '\xba  %-56s\xba\r\n' $'RELA\x80\xc7O DE VENDAS - FILIAL S\xc7O JO\xc7O'
    printf '\xcc'; printf '\xcd%.0s' $(seq 1 10); printf '\xcb'; printf '\xcd%.0s' $(seq 1 32)
    printf '\xcb'; printf '\xcd%.0s' $(seq 1 14); printf '\xb9\r\n'
    printf '\xba %-8s \xba %-30s \xba %12s \xba\r\n' $'C\xa2digo' $'Descri\x87\xc6o' $'Pre\x87o'
    printf '\xcc'; printf '\xcd%.0s' $(seq 1 10); printf '\xce'; printf '\xcd%.0s' $(seq 1 32)
    printf '\xce'; printf '\xcd%.0s' $(seq 1 14); printf '\xb9\r\n'
    printf '\xba %-8s \xba %-30s \xba %12s \xba\r\n' 000123 $'P\xc6o franc\x88s' 0,75 \
        000124 $'A\x87\xa3car cristal 1kg' 5,49 000125 $'Caf\x82 mo\xa1do 500g' 18,90
    printf '\xc8'; printf '\xcd%.0s' $(seq 1 10); printf '\xca'; printf '\xcd%.0s' $(seq 1 32)
    printf '\xca'; printf '\xcd%.0s' $(seq 1 14); printf '\xbc\r\n'
} >"$demo/jobs/CAIXA850.TXT"

# A Unix program's output: lines end in LF alone.
printf '%s\n' 'Fechamento do caixa - 08/12/2026' '' 'Dinheiro        1.250,00' \
    'Cartao          3.480,10' 'Pix               912,35' '' 'Total           5.642,45' \
    >"$demo/jobs/CAIXALF.TXT"

# A report writer's layout: the form feed in front of each page's header.
{
    for pagina in 1 2; do
        printf '\fESTOQUE POR DEPOSITO                         Pagina %d\r\n' "$pagina"
        printf '%s\r\n' '----------------------------------------------------'
        for i in $(seq 1 5); do printf 'Item %03d               %6d unidades\r\n' \
            "$((pagina * 10 + i))" "$((i * 17))"; done
    done
} >"$demo/jobs/CABECFF.TXT"

# Reports written for a dot-matrix printer and for a PCL laser: their printer codes inside.
source "$raiz/scripts/trabalhos-codigos.sh"
trabalho_escp "$demo/jobs/VENDAS.TXT"
trabalho_pcl "$demo/jobs/ESTOQUE.TXT"

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
