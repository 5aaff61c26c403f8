# Two velmora --headless on the same folder: every job is printed by one of them, once. Also on
# the raw path onto a CUPS raw queue, where both share one working folder for their temporary
# files (as the desktop autostart runs every instance of a user in $HOME).
source "$(dirname "${BASH_SOURCE[0]}")/falhas_comum.sh"
precisa pdftotext

N=$(quantos 40 400)

# duas_instancias TAG N: starts two headless runs (half the jobs wait for both, the rest arrive
# while both are running) and stops them once the folder is empty; their logs end in $SAIDA.
duas_instancias() {
    local tag="$1" n="$2" pid_a pid_b
    escreve_jobs "$PASTA/jobs" "$tag" 1 $((n / 2))
    inicia_headless "$PASTA/VELMORA.INI" 1 "$PASTA/stdout-a"
    pid_a=$VELMORA_PID
    inicia_headless "$PASTA/VELMORA.INI" 1 "$PASTA/stdout-b"
    pid_b=$VELMORA_PID
    escreve_jobs "$PASTA/jobs" "$tag" $((n / 2 + 1)) "$n"
    confere "a pasta esvazia" espera 180 pasta_vazia "$PASTA/jobs"
    para_headless "$pid_a"
    para_headless "$pid_b"
    cat "$PASTA/stdout-a" "$PASTA/stdout-b" >"$SAIDA"
}

conta_instancias() {
    echo "instância A imprimiu $(vezes_no_log excluido "$PASTA/stdout-a"), B $(vezes_no_log excluido "$PASTA/stdout-b")"
}

caso "duas instâncias na mesma pasta"
escreve_ini "$PASTA/VELMORA.INI" "$PASTA/jobs/*.TXT" "Velmora PDF" 0 0 ""
duas_instancias duas "$N"
texto_pdfs "$PASTA/pdf" >"$PASTA/impresso.txt"
contabiliza "duas instâncias na mesma pasta" duas 1 "$N" "$PASTA/jobs" "$PASTA/impresso.txt"
confere_contagem "$N" 0
confere "nenhum erro no log" stdout_nao_tem "Erro "
conta_instancias

if [[ $EUID -ne 0 || ! -x /usr/sbin/cupsd ]] || ! command -v lpadmin >/dev/null; then
    echo "SKIP: o caminho bruto precisa de root e do cupsd (cupsd privado)"
    termina
fi
source "$RAIZ/tests/apoio/cupsd-privado.sh"
CUPS_PRIVADO_SEM_TRAP=1
trap 'rc=$?; cups_privado_para; _encerra_comum "$rc"' EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
if ! { cups_privado_inicia "$TMP/cups" && cups_privado_fila_bruta Bruta; }; then
    echo "FALHA: o cupsd privado e sua fila não ficaram prontos" >&2
    exit 1
fi
NB=$(quantos 40 200)

caso "duas instâncias, caminho bruto, mesma pasta de trabalho"
escreve_ini "$PASTA/VELMORA.INI" "$PASTA/jobs/*.TXT" "" 0 1 "Bruta"
duas_instancias bruta "$NB"
confere "os trabalhos saem da fila" cups_privado_espera_jobs 120
texto_bruto "$CUPS_PRIVADO_DIR/out/Bruta.out" >"$PASTA/impresso.txt"
contabiliza "duas instâncias, caminho bruto, mesma pasta de trabalho" bruta 1 "$NB" \
    "$PASTA/jobs" "$PASTA/impresso.txt"
confere_contagem "$NB" 0
confere "nenhum erro no log" stdout_nao_tem "Erro "
confere "nenhum arquivo temporário sobrando" iguais "$(compgen -G "$PASTA/temp*.BAK" || true)" ""
conta_instancias

termina
