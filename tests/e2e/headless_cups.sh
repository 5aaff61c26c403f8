# velmora --once against a real, private CUPS server: the printer path on a PDF queue, raw
# output through a raw queue, deletion without backup, and a queue that refuses jobs.
source "$(dirname "${BASH_SOURCE[0]}")/headless_comum.sh"

if [[ $EUID -ne 0 ]]; then
    echo "SKIP: o cupsd privado precisa de root"
    exit 77
fi
for ferramenta in /usr/sbin/cupsd lpadmin cupsreject lpstat pdftotext python3; do
    command -v "$ferramenta" >/dev/null || { echo "SKIP: $ferramenta não está instalado"; exit 77; }
done

source "$RAIZ/tests/apoio/cupsd-privado.sh"
source "$RAIZ/scripts/trabalhos-codigos.sh"
# The harness's EXIT trap would replace ours: both run from one.
CUPS_PRIVADO_SEM_TRAP=1
trap 'rc=$?; cups_privado_para; _encerra_comum "$rc"' EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# The harness reports its own failures; run as a condition, a harmless non-zero status inside it
# does not end this script.
if ! { cups_privado_inicia "$TMP/cups" && cups_privado_fila_pdf FilaPdf &&
    cups_privado_fila_bruta FilaBruta && cups_privado_fila_pdf Recusa && cupsreject Recusa &&
    cups_privado_fila_pdf Carta && lpadmin -p Carta -o media=Letter; }; then
    echo "FALHA: o cupsd privado e suas filas não ficaram prontos" >&2
    exit 1
fi
SAIDA_CUPS="$CUPS_PRIVADO_DIR/out"

# Width in points of a word of a PDF, and whether two numbers are within half a point.
largura_palavra() { pdftotext -bbox "$1" - | awk -F'"' -v p="$2" '$0 ~ ">" p "<" { print $6 - $2; exit }'; }
perto() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a != "" && a - b < 0.5 && b - a < 0.5) }'; }

caso "impressora: fila PDF do CUPS"
escreve_ini "$PASTA/VELMORA.INI" "$PASTA/jobs/*.TXT" "filapdf" 1 0 ""
printf 'Fatura 123\r\nValor R$ 10,00\r\n' >"$PASTA/jobs/FAT.TXT"
roda --once --ini "$PASTA/VELMORA.INI"
confere "sai com 0" status_e 0
confere "o job saiu da fila" cups_privado_espera_jobs 30
confere "a fila recebeu o texto" pdf_tem "$SAIDA_CUPS/FilaPdf.out" "Fatura 123"
confere "backup" existe "$PASTA/jobs/FAT.bak"
confere "nenhum PDF local" iguais "$(ls "$PASTA/pdf" | wc -l)" 0
confere "\"impresso\" duas vezes" iguais "$(linhas_job)" \
    "$(printf 'Arquivo %s impresso\n' "$PASTA/jobs/FAT.TXT" "$PASTA/jobs/FAT.TXT")"

caso "impressora: códigos ESC/P chegam à fila do CUPS como o programa quis"
escreve_ini "$PASTA/VELMORA.INI" "$PASTA/jobs/*.TXT" "FilaPdf" 0 0 ""
trabalho_escp "$PASTA/jobs/VENDAS.TXT"
roda --once --ini "$PASTA/VELMORA.INI"
confere "sai com 0" status_e 0
confere "o job saiu da fila" cups_privado_espera_jobs 30
confere "a fila recebeu o título largo" pdf_tem "$SAIDA_CUPS/FilaPdf.out" "PADARIA SAO JOAO"
confere "nenhum código vira texto" \
    eval "! pdftotext '$SAIDA_CUPS/FilaPdf.out' - | grep -E '@|W[01]|-[01]'"
confere "com a face negrita" eval "pdffonts '$SAIDA_CUPS/FilaPdf.out' | grep -q Bold"
# 132 condensed columns are 77 of pica: the size stays at 11 points.
confere "tabela condensada a 10/17,14 de 11 pontos" \
    perto "$(largura_palavra "$SAIDA_CUPS/FilaPdf.out" FORNECEDOR)" 38.5

caso "fila com papel Carta: páginas Carta, no tamanho que a regra escolhe"
escreve_ini "$PASTA/VELMORA.INI" "$PASTA/jobs/*.TXT" "Carta" 1 0 ""
printf 'ONZEPONTOS
' >"$PASTA/jobs/CARTA.TXT"
roda --once --ini "$PASTA/VELMORA.INI"
confere "sai com 0" status_e 0
confere "o job saiu da fila" cups_privado_espera_jobs 30
confere "páginas Carta" eval "pdfinfo '$SAIDA_CUPS/Carta.out' | grep -q '612 x 792 pts (letter)'"
# Ten characters of Courier at 11 points, not scaled down to fit another paper.
confere "11 pontos no papel" perto "$(largura_palavra "$SAIDA_CUPS/Carta.out" ONZEPONTOS)" 66

caso "IMPRESSORA vazia ou desconhecida: a impressora padrão do CUPS"
cups_privado_padrao FilaPdf
for impressora in "" "Nao Instalada"; do
    marca="para a padrao ${impressora:-vazia}"
    escreve_ini "$PASTA/VELMORA.INI" "$PASTA/jobs/*.TXT" "$impressora" 1 0 ""
    printf '%s\r\n' "$marca" >"$PASTA/jobs/PADRAO.TXT"
    roda --once --ini "$PASTA/VELMORA.INI"
    confere "\"$impressora\": sai com 0" status_e 0
    confere "\"$impressora\": o job saiu da fila" cups_privado_espera_jobs 30
    confere "\"$impressora\": a fila padrão recebeu o texto" pdf_tem "$SAIDA_CUPS/FilaPdf.out" "$marca"
    rm -f "$PASTA/jobs/PADRAO.bak"
done

caso "saída bruta numa fila do CUPS, sem backup"
escreve_ini "$PASTA/VELMORA.INI" "$PASTA/jobs/*.TXT" "FilaPdf" 0 1 "FilaBruta"
printf '\x1b@ESC/P \xe7\xe3o\r\n\x0fcondensado\x12\r\nfim\f\r\n' >"$PASTA/esperado"
cp "$PASTA/esperado" "$PASTA/jobs/BRUTO.TXT"
roda --once --ini "$PASTA/VELMORA.INI"
confere "sai com 0" status_e 0
confere "o job saiu da fila" cups_privado_espera_jobs 30
confere "o sumidouro recebeu os bytes exatos" \
    espera 10 cmp -s "$PASTA/esperado" "$SAIDA_CUPS/FilaBruta.out"
confere "o trabalho foi excluído" nao_existe "$PASTA/jobs/BRUTO.TXT"
confere "\"impresso\" e depois \"excluido\"" iguais "$(linhas_job)" \
    "$(printf 'Arquivo %s %s\n' "$PASTA/jobs/BRUTO.TXT" impresso "$PASTA/jobs/BRUTO.TXT" excluido)"
confere "nenhum arquivo temporário deixado" iguais "$(ls "$PASTA" | grep -c '^temp' || true)" 0

caso "fila que recusa trabalhos"
escreve_ini "$PASTA/VELMORA.INI" "$PASTA/jobs/*.TXT" "Recusa" 1 0 ""
printf 'nao pode se perder\r\n' >"$PASTA/jobs/PERDA.TXT"
roda --once --ini "$PASTA/VELMORA.INI"
confere "sai com 1" status_e 1
confere "o trabalho fica" existe "$PASTA/jobs/PERDA.TXT"
confere "nenhum backup" nao_existe "$PASTA/jobs/PERDA.bak"
confere "linha de erro com o caminho" stdout_tem "Erro ao imprimir o arquivo $PASTA/jobs/PERDA.TXT"
confere "nenhum \"impresso\"" nenhum_impresso
confere "a fila não recebeu nada" test ! -s "$SAIDA_CUPS/Recusa.out"

continua "a fila volta a aceitar: o trabalho que ficou sai na próxima vez"
cupsaccept Recusa
roda --once --ini "$PASTA/VELMORA.INI"
confere "sai com 0" status_e 0
confere "o job saiu da fila" cups_privado_espera_jobs 30
confere "a fila recebeu o texto" pdf_tem "$SAIDA_CUPS/Recusa.out" "nao pode se perder"
confere "backup" existe "$PASTA/jobs/PERDA.bak"

termina
