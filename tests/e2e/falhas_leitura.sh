# A job file that cannot be read (velmora runs as an unprivileged user: root reads everything):
# the headless runner answers the reader's question No, the job stays where it is and the log
# says why; the readable jobs of the same tick are printed.
source "$(dirname "${BASH_SOURCE[0]}")/falhas_comum.sh"
precisa_root "trocar de usuário"
precisa pdftotext setpriv

caso "trabalho que não pode ser lido"
chmod 777 "$PASTA/jobs" "$PASTA/pdf"
escreve_ini "$PASTA/VELMORA.INI" "$PASTA/jobs/*.TXT" "Velmora PDF" 0 0 ""
escreve_jobs "$PASTA/jobs" leitura 1 6
for n in 2 5; do chmod 000 "$PASTA/jobs/$(nome_job "$n")"; done
STATUS=0
(cd "$PASTA" && VELMORA_PDF_DIR="$PASTA/pdf" HOME="$PASTA" XDG_RUNTIME_DIR="$PASTA" \
    como_nobody "$VELMORA" --once --ini "$PASTA/VELMORA.INI") >"$SAIDA" 2>"$ERROS" || STATUS=$?
confere "sai com 1" status_e 1
for n in 2 5; do
    job="$PASTA/jobs/$(nome_job "$n")"
    confere "a pergunta respondida Não" stdout_tem "Deu erro ao abrir o arquivo $job. Tentar novamente ? Não"
    confere "o motivo no log" stdout_tem "Erro ao imprimir o arquivo $job: Permission denied"
done
texto_pdfs "$PASTA/pdf" >"$PASTA/impresso.txt"
contabiliza "trabalho que não pode ser lido (2 de 6)" leitura 1 6 "$PASTA/jobs" "$PASTA/impresso.txt"
confere_contagem 4 2

termina
