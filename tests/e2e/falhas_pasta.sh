# The watched folder misbehaves: delete and rename fail (read-only bind mount), also for runs of
# velmora --once one after the other (cron), the folder is removed and recreated while velmora
# runs, and LOCAL names a folder that does not exist.
source "$(dirname "${BASH_SOURCE[0]}")/falhas_comum.sh"
precisa_root "montar a pasta só para leitura"
precisa pdftotext mount umount

MONTADOS=()
limpa() {
    local rc=$? m
    for m in "${MONTADOS[@]}"; do umount -l "$m" 2>/dev/null || true; done
    _encerra_comum "$rc"
}
trap limpa EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

N=$(quantos 5 30)

erros_de_exclusao_ao_menos() { (($(vezes_no_log "Erro ao excluir o arquivo") >= $1)); }

for backup in 0 1; do
    caso "pasta onde excluir e renomear falham (BACKUP = $backup)"
    escreve_jobs "$PASTA/jobs" "ro$backup" 1 "$N"
    mkdir "$PASTA/vista"
    mount --bind "$PASTA/jobs" "$PASTA/vista"
    MONTADOS+=("$PASTA/vista")
    mount -o remount,bind,ro "$PASTA/vista"
    escreve_ini "$PASTA/VELMORA.INI" "$PASTA/vista/*.TXT" "Velmora PDF" "$backup" 0 ""
    inicia_headless "$PASTA/VELMORA.INI" 1
    confere "um erro de exclusão por trabalho" espera 60 erros_de_exclusao_ao_menos "$N"
    # Some more ticks over the same unchanged jobs.
    sleep 3
    para_headless "$VELMORA_PID"
    for ((n = 1; n <= N; n++)); do
        job="$PASTA/vista/$(nome_job "$n")"
        confere "$(nome_job "$n"): \"impresso\" uma vez" iguais "$(vezes_no_log "Arquivo $job impresso")" 1
        confere "$(nome_job "$n"): o motivo uma vez" iguais \
            "$(vezes_no_log "Erro ao excluir o arquivo $job: Read-only file system")" 1
    done
    texto_pdfs "$PASTA/pdf" >"$PASTA/impresso.txt"
    contabiliza "pasta só para leitura, BACKUP = $backup" "ro$backup" 1 "$N" "$PASTA/jobs" \
        "$PASTA/impresso.txt"
    confere_contagem "$N" 0
    confere "os trabalhos continuam na pasta" iguais "$(ls "$PASTA/jobs" | wc -l)" "$N"
done

caso "velmora --once repetido sobre trabalhos que não podem ser excluídos"
escreve_jobs "$PASTA/jobs" once 1 "$N"
mkdir "$PASTA/vista"
mount --bind "$PASTA/jobs" "$PASTA/vista"
MONTADOS+=("$PASTA/vista")
mount -o remount,bind,ro "$PASTA/vista"
escreve_ini "$PASTA/VELMORA.INI" "$PASTA/vista/*.TXT" "Velmora PDF" 0 0 ""
: >"$PASTA/todas-as-saidas"
for execucao in 1 2 3; do
    roda --once --ini "$PASTA/VELMORA.INI"
    cat "$SAIDA" >>"$PASTA/todas-as-saidas"
done
confere "cada erro de exclusão uma vez em três execuções" iguais \
    "$(vezes_no_log "Erro ao excluir o arquivo" "$PASTA/todas-as-saidas")" "$N"
confere "a lista fica ao lado da configuração" existe "$PASTA/VELMORA.ESTADO"
texto_pdfs "$PASTA/pdf" >"$PASTA/impresso.txt"
contabiliza "velmora --once repetido, trabalhos que não podem ser excluídos" once 1 "$N" \
    "$PASTA/jobs" "$PASTA/impresso.txt"
confere_contagem "$N" 0

caso "pasta vigiada removida e recriada durante a execução"
escreve_ini "$PASTA/VELMORA.INI" "$PASTA/jobs/*.TXT" "Velmora PDF" 0 0 ""
escreve_jobs "$PASTA/jobs" recriada 1 3
inicia_headless "$PASTA/VELMORA.INI" 1
confere "os primeiros saem" espera 30 pasta_vazia "$PASTA/jobs"
rm -rf "$PASTA/jobs"
# A few ticks with no folder at all.
sleep 2
confere "segue rodando sem a pasta" kill -0 "$VELMORA_PID"
mkdir "$PASTA/jobs"
escreve_jobs "$PASTA/jobs" recriada 4 6
confere "os da pasta nova saem" espera 30 pasta_vazia "$PASTA/jobs"
para_headless "$VELMORA_PID"
confere "nenhum erro no log" stdout_nao_tem "Erro "
texto_pdfs "$PASTA/pdf" >"$PASTA/impresso.txt"
contabiliza "pasta removida e recriada durante a execução" recriada 1 6 "$PASTA/jobs" "$PASTA/impresso.txt"
confere_contagem 6 0

caso "LOCAL numa pasta que não existe"
escreve_ini "$PASTA/VELMORA.INI" "$PASTA/nao-existe/*.TXT" "Velmora PDF" 0 0 ""
roda --once --ini "$PASTA/VELMORA.INI"
confere "sai com 0" status_e 0
confere "nenhuma linha de trabalho" iguais "$(linhas_job)" ""
confere "o log diz por quê" stdout_tem "a pasta $PASTA/nao-existe/ não existe"
confere "a pasta não é criada" nao_existe "$PASTA/nao-existe"
confere "nenhum PDF" iguais "$(ls "$PASTA/pdf" | wc -l)" 0

termina
