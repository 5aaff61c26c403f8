# The CUPS queue fails under velmora: it rejects jobs, it is disabled, it is deleted, and cupsd
# stops and comes back in the middle of a run of jobs. Every job is printed once, or waits in the
# folder until it can be.
source "$(dirname "${BASH_SOURCE[0]}")/falhas_comum.sh"
precisa_root "o cupsd privado"
precisa /usr/sbin/cupsd lpadmin cupsreject cupsaccept cupsdisable cupsenable lpstat pdftotext python3

source "$RAIZ/tests/apoio/cupsd-privado.sh"
CUPS_PRIVADO_SEM_TRAP=1
trap 'rc=$?; cups_privado_para; _encerra_comum "$rc"' EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# Captura: a raw queue in front of a TCP sink, for the printer path (the sink receives each
# rendered PDF as it is). Bruta: the same, for the raw path.
if ! { cups_privado_inicia "$TMP/cups" && cups_privado_fila_bruta Captura &&
    cups_privado_fila_bruta Bruta && cups_privado_fila_pdf Sumida; }; then
    echo "FALHA: o cupsd privado e suas filas não ficaram prontos" >&2
    exit 1
fi
OUT="$CUPS_PRIVADO_DIR/out"
N=$(quantos 5 30)

impresso_na_captura() { texto_pdfs_concatenados "$OUT/Captura.out" >"$PASTA/impresso.txt"; }
impresso_na_bruta() { texto_bruto "$OUT/Bruta.out" >"$PASTA/impresso.txt"; }

# ---------------------------------------------------------------------------------------------
caso "fila que recusa trabalhos (cupsreject)"
escreve_ini "$PASTA/VELMORA.INI" "$PASTA/jobs/*.TXT" "Captura" 0 0 ""
escreve_jobs "$PASTA/jobs" recusa 1 "$N"
cupsreject Captura
roda --once --ini "$PASTA/VELMORA.INI"
confere "sai com 1" status_e 1
confere "um erro por trabalho" iguais "$(vezes_no_log "Erro ao imprimir o arquivo")" "$N"
impresso_na_captura
contabiliza "fila recusando (cupsreject)" recusa 1 "$N" "$PASTA/jobs" "$PASTA/impresso.txt"
confere_contagem 0 "$N"
continua "a fila volta a aceitar"
cupsaccept Captura
roda --once --ini "$PASTA/VELMORA.INI"
confere "sai com 0" status_e 0
confere "os trabalhos saem da fila" cups_privado_espera_jobs 60
impresso_na_captura
contabiliza "fila recusando, depois aceitando (cupsaccept)" recusa 1 "$N" "$PASTA/jobs" "$PASTA/impresso.txt"
confere_contagem "$N" 0

# ---------------------------------------------------------------------------------------------
caso "fila desativada (cupsdisable)"
: >"$OUT/Captura.out"
escreve_ini "$PASTA/VELMORA.INI" "$PASTA/jobs/*.TXT" "Captura" 0 0 ""
escreve_jobs "$PASTA/jobs" desativada 1 "$N"
cupsdisable Captura
roda --once --ini "$PASTA/VELMORA.INI"
# A disabled queue still takes jobs and keeps them: they are CUPS's now, not lost.
confere "sai com 0" status_e 0
confere "o CUPS guarda os trabalhos" iguais "$(lpstat -o Captura | wc -l)" "$N"
cupsenable Captura
confere "os trabalhos saem da fila" cups_privado_espera_jobs 60
impresso_na_captura
contabiliza "fila desativada (cupsdisable), depois ativada" desativada 1 "$N" "$PASTA/jobs" "$PASTA/impresso.txt"
confere_contagem "$N" 0

# ---------------------------------------------------------------------------------------------
caso "fila excluída"
lpadmin -x Sumida
for modo in impressora bruto; do
    rm -f "$PASTA"/jobs/*
    if [[ $modo == impressora ]]; then
        # No default queue on this server: nowhere else to print.
        escreve_ini "$PASTA/VELMORA.INI" "$PASTA/jobs/*.TXT" "Sumida" 0 0 ""
    else
        escreve_ini "$PASTA/VELMORA.INI" "$PASTA/jobs/*.TXT" "" 0 1 "Sumida"
    fi
    escreve_jobs "$PASTA/jobs" "sumida$modo" 1 "$N"
    roda --once --ini "$PASTA/VELMORA.INI"
    confere "$modo: sai com 1" status_e 1
    confere "$modo: nenhum \"impresso\"" nenhum_impresso
    confere "$modo: nenhum arquivo com o nome da fila" nao_existe "$PASTA/Sumida"
    : >"$PASTA/impresso.txt"
    contabiliza "fila excluída ($modo)" "sumida$modo" 1 "$N" "$PASTA/jobs" "$PASTA/impresso.txt"
    confere_contagem 0 "$N"
done

# ---------------------------------------------------------------------------------------------
para_cupsd() {
    kill -TERM "$(<"$CUPS_PRIVADO_DIR/pid/cupsd")"
    espera 10 _cupsd_fora
}
_cupsd_fora() { ! _cups_privado_vivo "$(<"$CUPS_PRIVADO_DIR/pid/cupsd")"; }
volta_cupsd() {
    /usr/sbin/cupsd -f -c "$CUPS_PRIVADO_DIR/cupsd.conf" -s "$CUPS_PRIVADO_DIR/cups-files.conf" \
        </dev/null >>"$CUPS_PRIVADO_DIR/log/cupsd.out" 2>&1 &
    echo $! >"$CUPS_PRIVADO_DIR/pid/cupsd"
    espera 10 _cups_privado_responde
}
excluidos_ao_menos() { (($(vezes_no_log excluido) >= $1)); }

for modo in impressora bruto; do
    caso "cupsd parado e reiniciado no meio de uma série de trabalhos ($modo)"
    M=$(quantos 12 60)
    if [[ $modo == impressora ]]; then
        escreve_ini "$PASTA/VELMORA.INI" "$PASTA/jobs/*.TXT" "Captura" 0 0 ""
        : >"$OUT/Captura.out"
    else
        escreve_ini "$PASTA/VELMORA.INI" "$PASTA/jobs/*.TXT" "" 0 1 "Bruta"
    fi
    inicia_headless "$PASTA/VELMORA.INI" 1
    escreve_jobs "$PASTA/jobs" "reinicio$modo" 1 $((M / 3))
    confere "o primeiro terço sai" espera 60 excluidos_ao_menos $((M / 3))
    confere "cupsd para" para_cupsd
    escreve_jobs "$PASTA/jobs" "reinicio$modo" $((M / 3 + 1)) $((2 * M / 3))
    # Some ticks with the server gone: the jobs must wait.
    espera 30 grep -qF "Erro ao imprimir o arquivo" "$SAIDA" || true
    sleep 2
    confere "cupsd volta" volta_cupsd
    escreve_jobs "$PASTA/jobs" "reinicio$modo" $((2 * M / 3 + 1)) "$M"
    confere "a pasta esvazia" espera 90 pasta_vazia "$PASTA/jobs"
    para_headless "$VELMORA_PID"
    confere "os trabalhos saem da fila" cups_privado_espera_jobs 60
    confere "houve erros enquanto o cupsd estava fora" stdout_tem "Erro ao imprimir o arquivo"
    if [[ $modo == impressora ]]; then impresso_na_captura; else impresso_na_bruta; fi
    contabiliza "cupsd parado e reiniciado no meio ($modo)" "reinicio$modo" 1 "$M" "$PASTA/jobs" \
        "$PASTA/impresso.txt"
    # A job cupsd was sending when it stopped is sent again by cupsd when it comes back: a copy
    # more that velmora cannot see. What velmora owns: each job handed over exactly once.
    confere "nenhum trabalho perdido" iguais "$PERDIDOS" 0
    confere "todos impressos" iguais $((UMA + DUAS)) "$M"
    confere "nenhum deixado na pasta" iguais "$FICOU" 0
    for ((n = 1; n <= M; n++)); do
        confere "$(nome_job "$n") entregue uma vez" iguais \
            "$(vezes_no_log "Arquivo $PASTA/jobs/$(nome_job "$n") excluido")" 1
    done
    echo "repetidos pelo próprio cupsd ao voltar: $DUAS"
    confere "nenhum arquivo com o nome da fila" nao_existe "$PASTA/Bruta"
done

termina
