# Hostile files: a job that is a symbolic link is not followed; the raw path's temporary file is
# created exclusively, never through a link planted under its name; a run writes nowhere but the
# watched folder, PORTA, the PDF folder and its temporary file.
source "$(dirname "${BASH_SOURCE[0]}")/falhas_comum.sh"
precisa pdftotext python3 strace

LEITORES=()
limpa() {
    local rc=$? p
    for p in "${LEITORES[@]}"; do kill "$p" 2>/dev/null || true; done
    _encerra_comum "$rc"
}
trap limpa EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

leitor_fifo() {
    python3 -c '
import os, sys
fd = os.open(sys.argv[1], os.O_RDWR)
with open(sys.argv[2], "ab", buffering=0) as saida:
    while True:
        saida.write(os.read(fd, 65536))
' "$1" "$2" </dev/null >/dev/null 2>&1 &
    LEITORES+=($!)
    espera 10 test -e "$2"
}

caso "trabalho que é um link simbólico"
printf 'SEGREDO de outro usuário\r\n' >"$PASTA/segredo"
ln -s "$PASTA/segredo" "$PASTA/jobs/LINK.TXT"
escreve_jobs "$PASTA/jobs" link 1 2
escreve_ini "$PASTA/VELMORA.INI" "$PASTA/jobs/*.TXT" "Velmora PDF" 0 0 ""
roda --once --ini "$PASTA/VELMORA.INI"
confere "sai com 0" status_e 0
texto_pdfs "$PASTA/pdf" >"$PASTA/impresso.txt"
confere "o alvo do link não é impresso" test "$(grep -c SEGREDO "$PASTA/impresso.txt")" = 0
confere "o alvo fica intacto" iguais "$(cat "$PASTA/segredo")" $'SEGREDO de outro usuário\r'
confere "o link não é tocado" test -L "$PASTA/jobs/LINK.TXT"
contabiliza "trabalho que é um link simbólico (e 2 comuns)" link 1 2 "$PASTA/jobs" "$PASTA/impresso.txt"
confere_contagem 2 0

caso "links plantados sob os nomes do arquivo temporário"
mkfifo "$PASTA/porta"
leitor_fifo "$PASTA/porta" "$PASTA/recebido.bin"
printf 'intacta\n' >"$PASTA/vitima"
escreve_jobs "$PASTA/jobs" temp 1 3
escreve_ini "$PASTA/VELMORA.INI" "$PASTA/jobs/*.TXT" "" 0 1 "$PASTA/porta"
mkdir "$PASTA/atual"
# Every name the next seconds can give, some to a victim, some dangling (a file to be created).
for ((s = 0; s < 20; s++)); do
    nome="temp$(date -d "+$s seconds" '+%d%m%Y%H%M%S').BAK"
    if ((s % 2)); then
        ln -s "$PASTA/vitima" "$PASTA/atual/$nome"
    else
        ln -s "$PASTA/criado-pelo-link" "$PASTA/atual/$nome"
    fi
done
STATUS=0
(cd "$PASTA/atual" && "$VELMORA" --once --ini "$PASTA/VELMORA.INI") >"$SAIDA" 2>"$ERROS" || STATUS=$?
confere "sai com 0" status_e 0
confere "a vítima fica intacta" iguais "$(cat "$PASTA/vitima")" intacta
confere "nada criado através do link" nao_existe "$PASTA/criado-pelo-link"
confere "nenhum arquivo comum deixado na pasta atual" \
    iguais "$(find "$PASTA/atual" -type f | wc -l)" 0
espera 10 grep -qaF "$(marca_fim temp 3)" "$PASTA/recebido.bin" || true
texto_bruto "$PASTA/recebido.bin" >"$PASTA/impresso.txt"
contabiliza "links plantados sob o nome do temporário" temp 1 3 "$PASTA/jobs" "$PASTA/impresso.txt"
confere_contagem 3 0

# Every path a run opens for writing, creates, renames or removes, from strace.
escritas() {
    python3 - "$1" <<'FIM'
import re, sys
muda = re.compile(r'^\d+\s+(openat|open|creat|rename|renameat2?|unlink|unlinkat|mkdir|mkdirat|'
                  r'link|linkat|symlink|symlinkat|truncate|chmod|fchmodat|chown|fchownat)\((.*)\)\s+=\s+(-?\d+)')
for linha in open(sys.argv[1], errors="replace"):
    m = muda.match(linha)
    if not m or int(m.group(3)) < 0:
        continue
    chamada, args = m.group(1), m.group(2)
    if chamada in ("openat", "open") and not re.search(r'O_WRONLY|O_RDWR|O_CREAT|O_TRUNC', args):
        continue
    for caminho in re.findall(r'"((?:[^"\\]|\\.)*)"', args):
        print(caminho)
FIM
}

for modo in bruto pdf; do
    caso "nada é escrito fora dos lugares do Velmora ($modo)"
    escreve_jobs "$PASTA/jobs" "strace$modo" 1 3
    if [[ $modo == bruto ]]; then
        mkfifo "$PASTA/porta"
        leitor_fifo "$PASTA/porta" "$PASTA/recebido.bin"
        escreve_ini "$PASTA/VELMORA.INI" "$PASTA/jobs/*.TXT" "" 1 1 "$PASTA/porta"
    else
        escreve_ini "$PASTA/VELMORA.INI" "$PASTA/jobs/*.TXT" "Velmora PDF" 1 0 ""
    fi
    STATUS=0
    # Qt's own runtime folder and the private folder in which a document is rendered to PDF are
    # put where they can be told apart.
    mkdir -p "$PASTA/tmp"
    (cd "$PASTA" && VELMORA_PDF_DIR="$PASTA/pdf" XDG_RUNTIME_DIR="$PASTA/runtime" TMPDIR="$PASTA/tmp" \
        strace -f -qq -o "$PASTA/strace" -e trace=file "$VELMORA" --once \
        --ini "$PASTA/VELMORA.INI") >"$SAIDA" 2>"$ERROS" || STATUS=$?
    confere "sai com 0" status_e 0
    escritas "$PASTA/strace" | sort -u >"$PASTA/escritas"
    # Relative names are in the current folder, $PASTA: only the temporary file may be one.
    fora=$(grep -vE "^($PASTA/(jobs|pdf|runtime|tmp/velmora-[^/]+)(/|$)|$PASTA/porta$|temp[0-9]+\.BAK$|/proc/self/fd/[0-9]+$|/dev/null$)" \
        "$PASTA/escritas" || true)
    confere "só a pasta, PORTA, a pasta de PDF e o temporário" iguais "$fora" ""
    if [[ $modo == bruto ]]; then
        confere "o temporário foi usado" grep -qE '^temp[0-9]+\.BAK$' "$PASTA/escritas"
        espera 10 grep -qaF "$(marca_fim "strace$modo" 3)" "$PASTA/recebido.bin" || true
        texto_bruto "$PASTA/recebido.bin" >"$PASTA/impresso.txt"
    else
        texto_pdfs "$PASTA/pdf" >"$PASTA/impresso.txt"
    fi
    contabiliza "nada escrito fora do lugar ($modo)" "strace$modo" 1 3 "$PASTA/jobs" "$PASTA/impresso.txt"
    confere_contagem 3 0
done

termina
