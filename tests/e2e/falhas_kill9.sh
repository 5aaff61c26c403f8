# kill -9 of velmora in the middle of a large job, many times over: afterwards every job has been
# printed (at least once) or is still in the folder; none is ever lost. Jobs that came out twice
# (killed after the output, before the removal) are counted, not refused.
source "$(dirname "${BASH_SOURCE[0]}")/falhas_comum.sh"
precisa pdftotext

VEZES=$(quantos 20 200)

caso "kill -9 durante um trabalho grande, $VEZES vezes"
escreve_ini "$PASTA/VELMORA.INI" "$PASTA/jobs/*.TXT" "Velmora PDF" 0 0 ""
for ((i = 1; i <= VEZES; i++)); do
    LINHAS_JOB=3000 escreve_job "$PASTA/jobs" kill "$i"
    (cd "$PASTA" && VELMORA_PDF_DIR="$PASTA/pdf" exec "$VELMORA" --once --ini "$PASTA/VELMORA.INI") \
        >>"$SAIDA" 2>>"$ERROS" &
    pid=$!
    # Anywhere from start-up to the end of the job: spread over the run, not timed.
    sleep "0.$(printf '%02d' $((RANDOM % 100)))"
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
done
# What the kills left behind is printed by a run that is let finish.
roda --once --ini "$PASTA/VELMORA.INI"
confere "a rodada final sai com 0" status_e 0
confere "nenhuma pasta temporária de um velmora morto sobra" \
    iguais "$(compgen -G "$TMPDIR/velmora-*" || true)" ""
texto_pdfs "$PASTA/pdf" >"$PASTA/impresso.txt"
contabiliza "kill -9 durante um trabalho grande ($VEZES vezes)" kill 1 "$VEZES" "$PASTA/jobs" \
    "$PASTA/impresso.txt"
confere "nenhum trabalho perdido" iguais "$PERDIDOS" 0
confere "todos impressos ao fim" iguais $((UMA + DUAS)) "$VEZES"
confere "nenhum deixado na pasta" iguais "$FICOU" 0
echo "impressos duas vezes: $DUAS de $VEZES"

termina
