# velmora --once against bad input: odd or hostile jobs, names and folder entries, and settings
# files that no editor would write. Each run must end (bounded), say what it did, and leave every
# job either output once with its backup intact or untouched in the folder.
source "$(dirname "${BASH_SOURCE[0]}")/headless_comum.sh"

for ferramenta in pdftotext timeout cmp; do
    command -v "$ferramenta" >/dev/null || { echo "SKIP: $ferramenta não está instalado"; exit 77; }
done

# Like roda, but a run that hangs is killed and counted as status 124.
roda_limitado() {
    STATUS=0
    (cd "$PASTA" && VELMORA_PDF_DIR="$PASTA/pdf" timeout -k 5 120 "$VELMORA" "$@") \
        >"$SAIDA" 2>"$ERROS" || STATUS=$?
}
uma_vez() { roda_limitado --once --ini "$PASTA/VELMORA.INI"; }
# Counted by NUL, since a job's name (and so its PDF's) may hold a line break.
pdfs() { find "$PASTA/pdf" -name '*.pdf' -print0 | tr -cd '\0' | wc -c; }
mesmos_bytes() { cmp -s "$1" "$2"; }
# Every byte from 0 to 255, 64 times over: no editor writes this. The escapes are the format.
# shellcheck disable=SC2059
binario() { for _ in $(seq 64); do printf "$(printf '\\%03o' $(seq 0 255))"; done; }

caso "conteúdos estranhos: vazio, NUL, só CR, só LF, bytes inválidos, linha de 1 MB"
escreve_ini "$PASTA/VELMORA.INI" "$PASTA/jobs/*.TXT" "Velmora PDF" 1 0 ""
mkdir -p "$PASTA/orig"
: >"$PASTA/orig/VAZIO.TXT"
printf 'antes\0depois\r\n\0\0\0\r\nNULOS OK\r\n' >"$PASTA/orig/NULOS.TXT"
printf 'linha CR um\rlinha CR dois\r' >"$PASTA/orig/SOCR.TXT"
printf 'linha LF um\nlinha LF dois\n' >"$PASTA/orig/SOLF.TXT"
printf 'Pre\xe7o \x81\x8d\x8f\x90\x9d fim\r\n' >"$PASTA/orig/INVALIDO.TXT"
{ printf 'inicio da linha longa '; head -c $((1 << 20)) /dev/zero | tr '\0' 'x'; printf '\r\n'; } \
    >"$PASTA/orig/LONGA.TXT"
cp "$PASTA"/orig/*.TXT "$PASTA/jobs/"
uma_vez
confere "sai com 0" status_e 0
confere "resumo: seis impressos" stdout_tem "Ciclo concluído: 6 impresso(s), 0 falha(s)"
for job in VAZIO NULOS SOCR SOLF INVALIDO LONGA; do
    confere "$job.TXT virou $job.bak com os mesmos bytes" \
        mesmos_bytes "$PASTA/orig/$job.TXT" "$PASTA/jobs/$job.bak"
done
confere "nenhum .TXT ficou" iguais "$(find "$PASTA/jobs" -name '*.TXT' | wc -l)" 0
confere "NUL não corta a linha" pdf_tem "$PASTA/pdf/NULOS.pdf" "NULOS OK"
confere "CR separa linhas" pdf_tem "$PASTA/pdf/SOCR.pdf" "linha CR dois"
confere "LF sozinho termina a linha no papel" iguais \
    "$(pdftotext -layout "$PASTA/pdf/SOLF.pdf" - | tr -d '\f' | grep .)" \
    "$(printf 'linha LF um\nlinha LF dois')"
confere "bytes inválidos não impedem o resto" pdf_tem "$PASTA/pdf/INVALIDO.pdf" "fim"
confere "a linha longa continua nas linhas seguintes, inteira" iguais \
    "$(pdftotext "$PASTA/pdf/LONGA.pdf" - | head -c 21):$(pdftotext "$PASTA/pdf/LONGA.pdf" - | tr -cd x | wc -c)" \
    "inicio da linha longa:$((1 << 20))"

caso "arquivo de 100 MB copiado inteiro na porta"
escreve_ini "$PASTA/VELMORA.INI" "$PASTA/jobs/*.PRN" "Velmora PDF" 1 1 "$PASTA/porta.out"
: >"$PASTA/porta.out"
for _ in $(seq 1000); do printf 'linha de relatorio %080d\r\n' 0; done >"$PASTA/bloco"
for _ in $(seq 1000); do cat "$PASTA/bloco"; done >"$PASTA/orig.PRN"
rm -f "$PASTA/bloco"
cp "$PASTA/orig.PRN" "$PASTA/jobs/GRANDE.PRN"
uma_vez
confere "sai com 0" status_e 0
confere "a porta recebeu os mesmos bytes" mesmos_bytes "$PASTA/porta.out" "$PASTA/orig.PRN"
confere "o backup tem os mesmos bytes" mesmos_bytes "$PASTA/jobs/GRANDE.bak" "$PASTA/orig.PRN"
confere "nenhum temporário ficou" iguais "$(find "$PASTA" -maxdepth 1 -name 'temp*.BAK' | wc -l)" 0
rm -f "$PASTA/orig.PRN" "$PASTA/porta.out" "$PASTA/jobs/GRANDE.bak"

caso "nomes com espaço, acento, colchetes e quebra de linha"
escreve_ini "$PASTA/VELMORA.INI" "$PASTA/jobs/*.txt" "Velmora PDF" 1 0 ""
nomes=("REL 01.TXT" "RELAÇÃO.TXT" "REL[1].TXT" $'REL\n2.TXT' $'REL\xe7.TXT')
for nome in "${nomes[@]}"; do printf 'job %s\r\n' "${#nome}" >"$PASTA/jobs/$nome"; done
uma_vez
confere "sai com 0" status_e 0
confere "resumo: cinco impressos" stdout_tem "Ciclo concluído: 5 impresso(s), 0 falha(s)"
for nome in "${nomes[@]}"; do
    confere "backup de $(printf %q "$nome")" existe "$PASTA/jobs/${nome%.TXT}.bak"
done
confere "cinco PDFs" iguais "$(pdfs)" 5
confere "uma linha de log por mensagem, mesmo com quebra no nome" \
    stdout_tem "Arquivo $PASTA/jobs/REL?2.TXT impresso"

caso "padrão com colchetes vale letra por letra"
escreve_ini "$PASTA/VELMORA.INI" "$PASTA/jobs/REL[1]*.TXT" "Velmora PDF" 1 0 ""
printf 'com colchetes\r\n' >"$PASTA/jobs/REL[1]A.TXT"
printf 'sem colchetes\r\n' >"$PASTA/jobs/REL1A.TXT"
uma_vez
confere "sai com 0" status_e 0
confere "o nome com colchetes saiu" existe "$PASTA/jobs/REL[1]A.bak"
confere "o nome sem colchetes ficou" existe "$PASTA/jobs/REL1A.TXT"

caso "ocultos, pastas, links e FIFOs que casam com o padrão"
escreve_ini "$PASTA/VELMORA.INI" "$PASTA/jobs/*.TXT" "Velmora PDF" 0 0 ""
mkdir -p "$PASTA/fora" "$PASTA/jobs/PASTA.TXT"
printf 'segredo de fora\r\n' >"$PASTA/fora/ALVO.TXT"
printf 'oculto\r\n' >"$PASTA/jobs/.OCULTO.TXT"
printf 'dentro\r\n' >"$PASTA/jobs/PASTA.TXT/DENTRO.TXT"
ln -s "$PASTA/fora/ALVO.TXT" "$PASTA/jobs/LINK.TXT"
ln -s "$PASTA/fora" "$PASTA/jobs/LINKPASTA.TXT"
ln -s "$PASTA/nao-ha" "$PASTA/jobs/MORTO.TXT"
mkfifo "$PASTA/jobs/FILA.TXT"
uma_vez
confere "sai com 0" status_e 0
confere "nada a imprimir" stdout_tem "Ciclo concluído: 0 impresso(s), 0 falha(s)"
confere "nenhum PDF" iguais "$(pdfs)" 0
confere "o link continua link" eval "[[ -L '$PASTA/jobs/LINK.TXT' ]]"
confere "o alvo do link está intacto" iguais "$(cat "$PASTA/fora/ALVO.TXT")" "$(printf 'segredo de fora\r')"
confere "o oculto está intacto" existe "$PASTA/jobs/.OCULTO.TXT"
confere "a pasta está intacta" existe "$PASTA/jobs/PASTA.TXT/DENTRO.TXT"
confere "o FIFO está lá" eval "[[ -p '$PASTA/jobs/FILA.TXT' ]]"

caso "VELMORA.INI binário: mensagem clara, nada impresso"
binario >"$PASTA/VELMORA.INI"
printf 'fica\r\n' >"$PASTA/jobs/FICA.TXT"
uma_vez
confere "sai com 2" status_e 2
confere "diz que falta LOCAL" stderr_tem "LOCAL vazio"
confere "o trabalho fica" existe "$PASTA/jobs/FICA.TXT"

caso "VELMORA.INI binário com uma linha LOCAL no meio"
{ binario; printf '\r\nLOCAL = %s\r\nIMPRESSORA = Velmora PDF\r\n' "$PASTA/jobs/*.TXT"; binario; } \
    >"$PASTA/VELMORA.INI"
printf 'sai\r\n' >"$PASTA/jobs/SAI.TXT"
uma_vez
confere "sai com 0" status_e 0
confere "o trabalho saiu" pdf_tem "$PASTA/pdf/SAI.pdf" "sai"

caso "VELMORA.INI com marca de ordem de bytes e chaves repetidas: vale a última"
mkdir -p "$PASTA/outra"
{
    printf '\xef\xbb\xbfLOCAL = %s\r\n' "$PASTA/outra/*.TXT"
    printf 'local = %s\r\n' "$PASTA/outra/*.TXT"
    printf 'LOCAL = %s\r\nIMPRESSORA = Velmora PDF\r\nBACKUP = 1\r\n' "$PASTA/jobs/*.TXT"
} >"$PASTA/VELMORA.INI"
printf 'primeira\r\n' >"$PASTA/outra/NAO.TXT"
printf 'ultima\r\n' >"$PASTA/jobs/SIM.TXT"
uma_vez
confere "sai com 0" status_e 0
confere "a pasta da última LOCAL foi vigiada" existe "$PASTA/jobs/SIM.bak"
confere "a pasta da primeira não" existe "$PASTA/outra/NAO.TXT"

caso "VELMORA.INI só com chaves minúsculas ou sem \"=\""
printf 'local = %s\r\nimpressora = Velmora PDF\r\n' "$PASTA/jobs/*.TXT" >"$PASTA/VELMORA.INI"
printf 'fica\r\n' >"$PASTA/jobs/FICA.TXT"
uma_vez
confere "minúsculas: sai com 2" status_e 2
confere "minúsculas: diz que falta LOCAL" stderr_tem "LOCAL vazio"
printf 'LOCAL %s\r\nIMPRESSORA Velmora PDF\r\n' "$PASTA/jobs/*.TXT" >"$PASTA/VELMORA.INI"
uma_vez
confere "sem \"=\": sai com 2" status_e 2
confere "sem \"=\": diz que falta LOCAL" stderr_tem "LOCAL vazio"
confere "o trabalho fica" existe "$PASTA/jobs/FICA.TXT"

caso "VELMORA.INI enorme (mais de 16 MiB)"
{ printf 'LOCAL = %s\r\n' "$PASTA/jobs/*.TXT"; head -c $((17 << 20)) /dev/zero | tr '\0' '#'; } \
    >"$PASTA/VELMORA.INI"
printf 'fica\r\n' >"$PASTA/jobs/FICA.TXT"
uma_vez
confere "sai com 2" status_e 2
confere "diz que é grande demais" stderr_tem "grande demais"
confere "o trabalho fica" existe "$PASTA/jobs/FICA.TXT"

caso "VELMORA.INI que é um FIFO ou /dev/zero não trava"
mkfifo "$PASTA/FIFO.INI"
roda_limitado --once --ini "$PASTA/FIFO.INI"
confere "FIFO: sai com 2" status_e 2
confere "FIFO: diz por quê" stderr_tem "não é um arquivo comum"
roda_limitado --once --ini /dev/zero
confere "/dev/zero: sai com 2" status_e 2
confere "/dev/zero: diz por quê" stderr_tem "não é um arquivo comum"

termina
