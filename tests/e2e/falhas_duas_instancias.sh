# Two velmora --headless on the same folder: every job is printed by one of them, once.
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

termina
