# A job still being written by a slow writer across several ticks: printed once, whole, after the
# writer closed it.
source "$(dirname "${BASH_SOURCE[0]}")/falhas_comum.sh"
precisa pdftotext

caso "trabalho escrito devagar ao longo de vários tiques"
escreve_ini "$PASTA/VELMORA.INI" "$PASTA/jobs/*.TXT" "Velmora PDF" 0 0 ""
LINHAS_JOB=8 escreve_job "$PASTA" lenta 1
inicia_headless "$PASTA/VELMORA.INI" 1
# The writer holds the file open from its first line to its last, half a second between lines.
(
    exec 3>"$PASTA/jobs/$(nome_job 1)"
    while IFS= read -r linha; do
        printf '%s\n' "$linha" >&3
        sleep 0.5
    done <"$PASTA/originais/$(nome_job 1)"
    exec 3>&-
)
confere "o trabalho sai da pasta" espera 30 pasta_vazia "$PASTA/jobs"
para_headless "$VELMORA_PID"
texto_pdfs "$PASTA/pdf" >"$PASTA/impresso.txt"
contabiliza "trabalho escrito devagar ao longo de vários tiques" lenta 1 1 "$PASTA/jobs" "$PASTA/impresso.txt"
confere_contagem 1 0
confere "todas as linhas, uma vez" iguais "$(grep -c 'job lenta 0001 linha' "$PASTA/impresso.txt")" 8
confere "um só documento" iguais "$(ls "$PASTA/pdf" | wc -l)" 1

termina
