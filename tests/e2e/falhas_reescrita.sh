# A job is written anew under the same name while velmora prints it: the first content is printed
# once, the new one stays in the folder and is printed once at the next tick; nothing is lost.
# The port is a FIFO whose reader holds the copy until the rewrite is done.
source "$(dirname "${BASH_SOURCE[0]}")/falhas_comum.sh"
precisa python3 mkfifo

# Big enough that the copy blocks on the full pipe until the reader drains it.
LINHAS_JOB=3000
VEZES=$(quantos 1 5)

# leitor FIFO SAIDA LIBERA: reads every writer of the FIFO into SAIDA, starting once LIBERA exists.
leitor() {
    python3 - "$@" <<'FIM' &
import os, sys, time
fifo, saida, libera = sys.argv[1:4]
while True:
    fd = os.open(fifo, os.O_RDONLY)
    while not os.path.exists(libera):
        time.sleep(0.05)
    with open(saida, "ab") as out:
        while True:
            bloco = os.read(fd, 65536)
            if not bloco:
                break
            out.write(bloco)
    os.close(fd)
FIM
    LEITOR_PID=$!
}

temporario_aberto() { compgen -G "$PASTA/temp*.BAK" >/dev/null; }

for backup in 0 1; do
    caso "trabalho reescrito durante a impressão (BACKUP = $backup)"
    mkfifo "$PASTA/porta"
    escreve_ini "$PASTA/VELMORA.INI" "$PASTA/jobs/*.TXT" "" "$backup" 1 "$PASTA/porta"
    mkdir -p "$PASTA/jobs" "$PASTA/lado"
    leitor "$PASTA/porta" "$PASTA/saida-porta" "$PASTA/libera"
    inicia_headless "$PASTA/VELMORA.INI" 1
    for ((v = 1; v <= VEZES; v++)); do
        primeiro=$((2 * v - 1))
        segundo=$((2 * v))
        rm -f "$PASTA/libera"
        # The second content is prepared beside, then poured into the first job's file.
        escreve_job "$PASTA/lado" reescrito "$segundo"
        escreve_job "$PASTA/jobs" reescrito "$primeiro"
        if ! espera 30 temporario_aberto; then
            falha "a cópia do trabalho $primeiro não começou"
            break
        fi
        cat "$PASTA/lado/$(nome_job "$segundo")" >"$PASTA/jobs/$(nome_job "$primeiro")"
        rm -f "$PASTA/lado/$(nome_job "$segundo")"
        touch "$PASTA/libera"
        confere "a pasta esvazia ($v)" espera 60 pasta_vazia "$PASTA/jobs"
    done
    para_headless "$VELMORA_PID"
    kill "$LEITOR_PID" 2>/dev/null || true
    wait "$LEITOR_PID" 2>/dev/null || true
    texto_bruto "$PASTA/saida-porta" >"$PASTA/impresso.txt"
    contabiliza "trabalho reescrito durante a impressão, BACKUP = $backup" reescrito 1 \
        $((2 * VEZES)) "$PASTA/jobs" "$PASTA/impresso.txt"
    confere_contagem $((2 * VEZES)) 0
    confere "o log diz o que aconteceu" iguais \
        "$(vezes_no_log "foi alterado durante a impressão")" "$VEZES"
done

termina
