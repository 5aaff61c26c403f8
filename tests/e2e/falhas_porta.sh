# Raw output onto a PORTA that fails: cannot be opened, a FIFO whose reader goes away in the
# middle, a full file system under PORTA and under the temporary file. Every job must stay in the
# folder until a later run prints it whole, once.
source "$(dirname "${BASH_SOURCE[0]}")/falhas_comum.sh"
precisa_root "montar tmpfs"
precisa python3 mount umount

MONTADOS=()
LEITORES=()
limpa() {
    local rc=$? p m
    for p in "${LEITORES[@]}"; do kill "$p" 2>/dev/null || true; done
    for m in "${MONTADOS[@]}"; do umount -l "$m" 2>/dev/null || true; done
    _encerra_comum "$rc"
}
trap limpa EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

N=$(quantos 5 30)

# A reader that keeps the FIFO open for good and appends what arrives to a file.
leitor_fifo() {
    python3 -c '
import os, sys
fd = os.open(sys.argv[1], os.O_RDWR)
with open(sys.argv[2], "ab", buffering=0) as saida:
    while True:
        dados = os.read(fd, 65536)
        saida.write(dados)
' "$1" "$2" </dev/null >/dev/null 2>&1 &
    LEITORES+=($!)
    espera 10 test -e "$2"
}

# A reader that takes LIMITE bytes, then goes away.
leitor_que_some() {
    python3 -c '
import os, sys
fd = os.open(sys.argv[1], os.O_RDONLY)
lidos = 0
with open(sys.argv[2], "ab", buffering=0) as saida:
    while lidos < int(sys.argv[3]):
        dados = os.read(fd, 4096)
        if not dados:
            break
        saida.write(dados)
        lidos += len(dados)
' "$1" "$2" "$3" </dev/null >/dev/null 2>&1 &
    LEITORES+=($!)
}

monta_tmpfs() {
    mkdir -p "$1"
    mount -t tmpfs -o "size=$2,mode=0755" tmpfs "$1"
    MONTADOS+=("$1")
}

# Second run: PORTA is a FIFO with a reader that stays; every job left behind comes out once.
recupera() {
    local tag="$1" captura="$PASTA/recuperado.bin"
    mkfifo "$PASTA/porta-boa"
    leitor_fifo "$PASTA/porta-boa" "$captura"
    escreve_ini "$PASTA/VELMORA.INI" "$PASTA/jobs/*.TXT" "" 0 1 "$PASTA/porta-boa"
    roda --once --ini "$PASTA/VELMORA.INI"
    confere "a nova rodada sai com 0" status_e 0
    # The reader may still be writing the last bytes it took.
    espera 10 grep -qaF "$(marca_fim "$tag" "$N")" "$captura" || true
}

# ---------------------------------------------------------------------------------------------
caso "PORTA que não abre"
for porta in "/dev/velmora-sem-impressora" "$PASTA/nao-existe/lpt2"; do
    rm -f "$PASTA"/jobs/*
    escreve_ini "$PASTA/VELMORA.INI" "$PASTA/jobs/*.TXT" "" 0 1 "$porta"
    escreve_jobs "$PASTA/jobs" porta "1" "$N"
    roda --once --ini "$PASTA/VELMORA.INI"
    confere "$porta: sai com 1" status_e 1
    confere "$porta: um erro por trabalho" iguais "$(vezes_no_log "Erro ao imprimir o arquivo")" "$N"
    confere "$porta: nenhum \"impresso\"" nenhum_impresso
    confere "$porta: nada criado em /dev" nao_existe /dev/velmora-sem-impressora
done
: >"$PASTA/nada"
contabiliza "PORTA que não abre" porta 1 "$N" "$PASTA/jobs" "$PASTA/nada"
confere_contagem 0 "$N"
continua "PORTA que não abre: depois, numa porta que funciona"
recupera porta
texto_bruto "$PASTA/recuperado.bin" >"$PASTA/impresso.txt"
contabiliza "PORTA que não abre, depois uma que funciona" porta 1 "$N" "$PASTA/jobs" "$PASTA/impresso.txt"
confere_contagem "$N" 0

# ---------------------------------------------------------------------------------------------
caso "FIFO cujo leitor some no meio da escrita"
mkfifo "$PASTA/porta"
escreve_ini "$PASTA/VELMORA.INI" "$PASTA/jobs/*.TXT" "" 0 1 "$PASTA/porta"
# Large enough to outgrow the pipe's buffer: the reader leaves while the writer is still at it.
LINHAS_JOB=20000 escreve_job "$PASTA/jobs" fifo 1
leitor_que_some "$PASTA/porta" "$PASTA/parcial.bin" 100000
espera 10 test -e "$PASTA/parcial.bin" || true
roda --once --ini "$PASTA/VELMORA.INI"
confere "sai com 1" status_e 1
confere "o erro diz que o leitor se foi" stdout_tem "Broken pipe"
confere "o leitor recebeu o começo" grep -qaF "$(marca_inicio fifo 1)" "$PASTA/parcial.bin"
texto_bruto "$PASTA/parcial.bin" >"$PASTA/impresso.txt"
contabiliza "FIFO cujo leitor some no meio" fifo 1 1 "$PASTA/jobs" "$PASTA/impresso.txt"
confere_contagem 0 1
confere "o começo saiu, o fim não" iguais "$MEIO" 1
continua "FIFO: depois, com um leitor que fica"
N_ANTES=$N
N=1
recupera fifo
N=$N_ANTES
texto_bruto "$PASTA/parcial.bin" "$PASTA/recuperado.bin" >"$PASTA/impresso.txt"
contabiliza "FIFO cujo leitor some, depois um que fica" fifo 1 1 "$PASTA/jobs" "$PASTA/impresso.txt"
confere_contagem 1 0

# ---------------------------------------------------------------------------------------------
caso "sistema de arquivos cheio sob PORTA"
monta_tmpfs "$PASTA/cheio" 64k
escreve_ini "$PASTA/VELMORA.INI" "$PASTA/jobs/*.TXT" "" 0 1 "$PASTA/cheio/LPT2.PRN"
LINHAS_JOB=2000 escreve_jobs "$PASTA/jobs" disco 1 "$N"
roda --once --ini "$PASTA/VELMORA.INI"
confere "sai com 1" status_e 1
confere "o erro diz que o disco encheu" stdout_tem "No space left on device"
: >"$PASTA/nada"
contabiliza "disco cheio sob PORTA" disco 1 "$N" "$PASTA/jobs" "$PASTA/nada"
confere_contagem 0 "$N"
continua "disco cheio sob PORTA: depois, numa porta que funciona"
recupera disco
texto_bruto "$PASTA/recuperado.bin" >"$PASTA/impresso.txt"
contabiliza "disco cheio sob PORTA, depois uma porta que funciona" disco 1 "$N" "$PASTA/jobs" "$PASTA/impresso.txt"
confere_contagem "$N" 0

# ---------------------------------------------------------------------------------------------
caso "sistema de arquivos cheio sob o arquivo temporário"
# The temporary file goes in the current folder: velmora runs inside a tiny tmpfs.
monta_tmpfs "$PASTA/atual" 64k
mkfifo "$PASTA/porta"
leitor_fifo "$PASTA/porta" "$PASTA/recebido.bin"
escreve_ini "$PASTA/VELMORA.INI" "$PASTA/jobs/*.TXT" "" 0 1 "$PASTA/porta"
LINHAS_JOB=2000 escreve_jobs "$PASTA/jobs" temp 1 "$N"
STATUS=0
(cd "$PASTA/atual" && "$VELMORA" --once --ini "$PASTA/VELMORA.INI") >"$SAIDA" 2>"$ERROS" || STATUS=$?
confere "sai com 1" status_e 1
confere "o erro fala do arquivo temporário" stdout_tem "arquivo temporário temp"
confere "o erro diz que o disco encheu" stdout_tem "No space left on device"
confere "nenhum temporário deixado" iguais "$(ls "$PASTA/atual" | wc -l)" 0
confere "nada chegou à porta" test ! -s "$PASTA/recebido.bin"
: >"$PASTA/nada"
contabiliza "disco cheio sob o temporário" temp 1 "$N" "$PASTA/jobs" "$PASTA/nada"
confere_contagem 0 "$N"
continua "disco cheio sob o temporário: depois, com espaço"
recupera temp
texto_bruto "$PASTA/recuperado.bin" >"$PASTA/impresso.txt"
contabiliza "disco cheio sob o temporário, depois com espaço" temp 1 "$N" "$PASTA/jobs" "$PASTA/impresso.txt"
confere_contagem "$N" 0

termina
