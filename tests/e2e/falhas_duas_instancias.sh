# Two velmora --headless on the same folder: every job is printed by one of them, once. Also on
# the raw path onto a CUPS raw queue, where both share one working folder for their temporary
# files (as the desktop autostart runs every instance of a user in $HOME).
source "$(dirname "${BASH_SOURCE[0]}")/falhas_comum.sh"
precisa pdftotext

N=$(quantos 40 400)

caso "duas instâncias na mesma pasta"
escreve_ini "$PASTA/VELMORA.INI" "$PASTA/jobs/*.TXT" "Velmora PDF" 0 0 ""
# Half the jobs wait for both; the rest arrive while both are running.
escreve_jobs "$PASTA/jobs" duas 1 $((N / 2))
inicia_headless "$PASTA/VELMORA.INI" 1 "$PASTA/stdout-a"
PID_A=$VELMORA_PID
inicia_headless "$PASTA/VELMORA.INI" 1 "$PASTA/stdout-b"
PID_B=$VELMORA_PID
escreve_jobs "$PASTA/jobs" duas $((N / 2 + 1)) "$N"
confere "a pasta esvazia" espera 120 pasta_vazia "$PASTA/jobs"
para_headless "$PID_A"
para_headless "$PID_B"
cat "$PASTA/stdout-a" "$PASTA/stdout-b" >"$SAIDA"
texto_pdfs "$PASTA/pdf" >"$PASTA/impresso.txt"
contabiliza "duas instâncias na mesma pasta" duas 1 "$N" "$PASTA/jobs" "$PASTA/impresso.txt"
confere_contagem "$N" 0
confere "nenhum erro no log" stdout_nao_tem "Erro "
echo "instância A imprimiu $(vezes_no_log excluido "$PASTA/stdout-a"), B $(vezes_no_log excluido "$PASTA/stdout-b")"

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
escreve_jobs "$PASTA/jobs" bruta 1 $((NB / 2))
inicia_headless "$PASTA/VELMORA.INI" 1 "$PASTA/stdout-a"
PID_A=$VELMORA_PID
inicia_headless "$PASTA/VELMORA.INI" 1 "$PASTA/stdout-b"
PID_B=$VELMORA_PID
escreve_jobs "$PASTA/jobs" bruta $((NB / 2 + 1)) "$NB"
confere "a pasta esvazia" espera 180 pasta_vazia "$PASTA/jobs"
para_headless "$PID_A"
para_headless "$PID_B"
confere "os trabalhos saem da fila" cups_privado_espera_jobs 120
cat "$PASTA/stdout-a" "$PASTA/stdout-b" >"$SAIDA"
texto_bruto "$CUPS_PRIVADO_DIR/out/Bruta.out" >"$PASTA/impresso.txt"
contabiliza "duas instâncias, caminho bruto, mesma pasta de trabalho" bruta 1 "$NB" \
    "$PASTA/jobs" "$PASTA/impresso.txt"
confere_contagem "$NB" 0
confere "nenhum erro no log" stdout_nao_tem "Erro "
confere "nenhum arquivo temporário sobrando" iguais "$(compgen -G "$PASTA/temp*.BAK" || true)" ""
echo "instância A imprimiu $(vezes_no_log excluido "$PASTA/stdout-a"), B $(vezes_no_log excluido "$PASTA/stdout-b")"

termina
