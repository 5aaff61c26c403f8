# velmora --headless: it keeps watching the folder tick after tick, retries a job that failed,
# and stops cleanly on SIGTERM or SIGINT. Waits are bounded; none of them is a timing check.
source "$(dirname "${BASH_SOURCE[0]}")/headless_comum.sh"

PID=
# A velmora left running by a failed check must not outlive the test.
trap 'rc=$?; [[ -n "$PID" ]] && kill -KILL "$PID" 2>/dev/null; _encerra_comum "$rc"' EXIT

inicia() {
    (cd "$PASTA" && exec env TZ=BRT3 VELMORA_PDF_DIR="$PASTA/pdf" "$VELMORA" --headless \
        --interval 1 --ini "$PASTA/VELMORA.INI") >"$SAIDA" 2>"$ERROS" &
    PID=$!
}

# Sends the signal and waits (at most 20 s) for the exit; sets STATUS.
para_com() {
    kill -"$1" "$PID"
    STATUS=0
    if espera 20 eval "! kill -0 $PID"; then
        wait "$PID" || STATUS=$?
    else
        STATUS="ainda rodando"
        kill -KILL "$PID" 2>/dev/null
        wait "$PID" 2>/dev/null || true
    fi
    PID=
}

for sinal in TERM INT; do
    caso "vigia a pasta e para com SIG$sinal"
    escreve_ini "$PASTA/VELMORA.INI" "$PASTA/jobs/*.TXT" "Velmora PDF" 1 0 ""
    printf 'primeiro\r\n' >"$PASTA/jobs/UM.TXT"
    inicia
    confere "o trabalho que já estava é impresso" espera 30 existe "$PASTA/jobs/UM.bak"
    printf 'segundo\r\n' >"$PASTA/jobs/DOIS.TXT"
    confere "um trabalho que chega depois também" espera 30 existe "$PASTA/jobs/DOIS.bak"
    confere "o PDF do segundo" espera 10 pdf_tem "$PASTA/pdf/DOIS.pdf" "segundo"
    para_com "$sinal"
    confere "termina com 0" status_e 0
    confere "anuncia o início" stdout_tem "Velmora iniciado: $PASTA/jobs/*.TXT a cada 1 s"
    confere "a última linha anuncia o fim" \
        eval "tail -n 1 '$SAIDA' | grep -qE -- '-03:00 Velmora encerrado \\(SIG$sinal\\)$'"
    confere "o log dos dois trabalhos" iguais "$(linhas_job)" \
        "$(printf 'Arquivo %s impresso\n' "$PASTA/jobs/UM.TXT" "$PASTA/jobs/UM.TXT" \
            "$PASTA/jobs/DOIS.TXT" "$PASTA/jobs/DOIS.TXT")"
    confere "nada no stderr além do aviso do Qt" \
        iguais "$(grep -v '^QStandardPaths:' "$ERROS" || true)" ""
done

caso "um trabalho que falhou é tentado de novo no tick seguinte"
escreve_ini "$PASTA/VELMORA.INI" "$PASTA/jobs/*.TXT" "Velmora PDF" 0 1 "$PASTA/porta/lpt"
printf 'espera a porta\r\n' >"$PASTA/jobs/P.TXT"
inicia
confere "a falha é registrada" espera 30 stdout_tem "Erro ao imprimir o arquivo $PASTA/jobs/P.TXT"
confere "o trabalho fica" existe "$PASTA/jobs/P.TXT"
mkdir "$PASTA/porta"
confere "com a porta disponível, o trabalho sai" espera 30 nao_existe "$PASTA/jobs/P.TXT"
confere "a porta recebeu o trabalho" \
    iguais "$(cat "$PASTA/porta/lpt" 2>/dev/null)" "$(printf 'espera a porta\r')"
confere "\"excluido\" registrado" espera 10 stdout_tem "Arquivo $PASTA/jobs/P.TXT excluido"
para_com TERM
confere "termina com 0" status_e 0

termina
