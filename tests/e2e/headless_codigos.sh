# velmora --once on "Velmora PDF" with jobs full of printer codes, ESC/P and PCL, read back from
# the PDFs: no code printed as text, bold in the bold face, condensed and double width at their
# pitch; VELMORA_CODIGOS=nenhum prints as before.
source "$(dirname "${BASH_SOURCE[0]}")/headless_comum.sh"
source "$RAIZ/scripts/trabalhos-codigos.sh"

for ferramenta in pdftotext pdffonts; do
    command -v "$ferramenta" >/dev/null || { echo "SKIP: $ferramenta não está instalado"; exit 77; }
done

# le PDF: its text (without the form feed that ends each page) into $PASTA/texto, its word boxes
# into $PASTA/caixas, its fonts into $PASTA/fontes; read from files, so no reader closes a pipe.
le() {
    pdftotext -layout "$1" - | tr -d '\f' >"$PASTA/texto"
    pdftotext -bbox "$1" "$PASTA/caixas"
    pdffonts "$1" >"$PASTA/fontes"
}
# Advance of one character of a word, in points, from the word's box.
avanco() {
    awk -F'"' -v p="$1" '$0 ~ ">" p "</word>" && !achou { printf "%.4f\n", ($6 - $2) / length(p); achou = 1 }' \
        "$PASTA/caixas"
}
# Whether $1 / $2 is $3 to within half a percent.
razao() { awk -v a="$1" -v b="$2" -v r="$3" 'BEGIN { exit !(a > 0 && b > 0 && (a / b - r) ^ 2 < (r / 200) ^ 2) }'; }
linha() { grep -qE -- "$1" "$PASTA/texto"; }
sem_codigos() { ! grep -nE -- "$1" "$PASTA/texto"; }
fonte() { grep -q -- "$1" "$PASTA/fontes"; }

caso "relatório ESC/P: reset, logo, título largo, sublinhado, tabela condensada, negrito, BS"
escreve_ini "$PASTA/VELMORA.INI" "$PASTA/jobs/*.TXT" "Velmora PDF" 0 0 ""
trabalho_escp "$PASTA/jobs/VENDAS.TXT"
roda --once --ini "$PASTA/VELMORA.INI"
le "$PASTA/pdf/VENDAS.pdf"
confere "sai com 0" status_e 0
confere "nenhum código vira texto" sem_codigos '@|W[01]|-[01]|ÿ|[[:cntrl:]]'
confere "título" linha '^PADARIA SAO JOAO$'
confere "linha da tabela inteira numa linha" \
    linha '^00000012 Produto de exemplo 12 +Fornecedor 2 +36 +12,50 +0,00 +432,00$'
confere "retrocesso sobrepõe: SIM e NAO, uma vez cada" linha '^Conferido: SIM +Pago: NAO$'
confere "face negrita embutida" fonte NimbusMonoPS-Bold
confere "face normal embutida" fonte NimbusMonoPS-Regular
NORMAL=$(avanco Conferido:)
confere "a tabela de 132 colunas cabe em 11 pontos" razao "$NORMAL" 6.6 1
confere "condensado a 10/17,14 do normal" razao "$(avanco FORNECEDOR)" "$NORMAL" 0.5833
confere "largura dupla ao dobro" razao "$(avanco PADARIA)" "$NORMAL" 2

caso "relatório PCL: negrito, 16,67 cpi, sem sequências impressas"
escreve_ini "$PASTA/VELMORA.INI" "$PASTA/jobs/*.TXT" "Velmora PDF" 0 0 ""
trabalho_pcl "$PASTA/jobs/ESTOQUE.TXT"
roda --once --ini "$PASTA/VELMORA.INI"
le "$PASTA/pdf/ESTOQUE.pdf"
confere "sai com 0" status_e 0
confere "nenhuma sequência vira texto" sem_codigos '\(s|&l|[0-9]P|[[:cntrl:]]'
confere "cabeçalho" linha '^ESTOQUE POR DEPOSITO$'
confere "face negrita embutida" fonte NimbusMonoPS-Bold
confere "16,67 cpi a 10/16,67 do normal" razao "$(avanco Deposito)" "$(avanco relatorio)" 0.6

caso "VELMORA_CODIGOS=nenhum: os códigos ficam como antes"
escreve_ini "$PASTA/VELMORA.INI" "$PASTA/jobs/*.TXT" "Velmora PDF" 0 0 ""
printf '\033W1TITULO\033W0\r\n' >"$PASTA/jobs/NENHUM.TXT"
STATUS=0
(cd "$PASTA" && VELMORA_CODIGOS=nenhum VELMORA_PDF_DIR="$PASTA/pdf" "$VELMORA" --once \
    --ini "$PASTA/VELMORA.INI") >"$SAIDA" 2>"$ERROS" || STATUS=$?
confere "sai com 0" status_e 0
confere "os parâmetros saem como texto" pdf_tem "$PASTA/pdf/NENHUM.pdf" "W1TITULOW0"

caso "VELMORA_CODIGOS desconhecido é recusado com o motivo"
escreve_ini "$PASTA/VELMORA.INI" "$PASTA/jobs/*.TXT" "Velmora PDF" 0 0 ""
printf 'fica na pasta\r\n' >"$PASTA/jobs/FICA.TXT"
STATUS=0
(cd "$PASTA" && VELMORA_CODIGOS=diablo "$VELMORA" --once --ini "$PASTA/VELMORA.INI") \
    >"$SAIDA" 2>"$ERROS" || STATUS=$?
confere "sai com 1" status_e 1
confere "diz o valor e os aceitos" stderr_tem "VELMORA_CODIGOS: linguagem desconhecida: diablo"
confere "o trabalho fica na pasta" existe "$PASTA/jobs/FICA.TXT"
