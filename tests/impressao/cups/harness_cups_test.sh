#!/usr/bin/env bash
# The private CUPS harness leaves nothing running: not when the shell that started it fails, not
# when that shell is killed outright. Exit 77 = skipped.
set -u
HARNESS="$(cd "$(dirname "$0")/../../apoio" && pwd)/cupsd-privado.sh"

if [[ $EUID -ne 0 ]]; then
    echo "SKIP: o cupsd privado precisa de root"
    exit 77
fi

RAIZ=$(mktemp -d /tmp/velmora-harness-XXXXXX)
chmod 755 "$RAIZ"
trap 'rm -rf "$RAIZ"' EXIT
falhas=0

falha() {
    echo "FALHA: $*"
    falhas=$((falhas + 1))
}

roda() {
    kill -0 "$1" 2>/dev/null && [[ "$(awk '{print $3}' "/proc/$1/stat" 2>/dev/null)" != Z ]]
}

# True once none of the pids runs any more (at most 10 s).
todos_terminam() {
    local limite=$((SECONDS + 10)) pid vivo
    while ((SECONDS < limite)); do
        vivo=0
        for pid in "$@"; do roda "$pid" && vivo=1; done
        ((vivo == 0)) && return 0
        sleep 0.1
    done
    return 1
}

# Starts a server with both kinds of queue in a child shell that then runs "$2"; records the pids.
sobe() {
    local dir="$1" depois="$2"
    bash -c '
        source "$1"
        cups_privado_inicia "$2" || exit 1
        cups_privado_fila_pdf q_pdf 2>/dev/null || exit 1
        cups_privado_fila_bruta q_bruta || exit 1
        cups_privado_padrao q_pdf || exit 1
        cat "$2"/pid/* >"$2/pids"
        [[ "$(LC_ALL=C lpstat -d)" == "system default destination: q_pdf" ]] || exit 1
        touch "$2/pronto"
        eval "$3"
    ' harness "$HARNESS" "$dir" "$depois" &
    FILHO=$!
}

espera_pronto() {
    local limite=$((SECONDS + 20))
    until [[ -f "$1/pronto" ]]; do
        ((SECONDS < limite)) || return 1
        kill -0 "$FILHO" 2>/dev/null || return 1
        sleep 0.1
    done
}

# 1. The shell fails after starting everything: its exit trap stops it all.
sobe "$RAIZ/falha" "exit 3"
wait "$FILHO"
estado=$?
[[ $estado -eq 3 ]] || falha "o shell saiu com $estado, não 3 (o trap mudou o estado de saída?)"
if [[ ! -s "$RAIZ/falha/pids" ]]; then
    falha "o servidor não subiu"
else
    mapfile -t pids <"$RAIZ/falha/pids"
    ((${#pids[@]} == 3)) || falha "esperava cupsd, sumidouro e vigia; pids: ${pids[*]}"
    # The trap stops them before the shell is gone, so nothing may be left at this point.
    for pid in "${pids[@]}"; do
        roda "$pid" && falha "o processo $pid ficou rodando após o exit"
    done
fi

# 2. The shell is killed (no trap runs): the watchdog stops the rest.
sobe "$RAIZ/morto" "exec sleep 60"
if ! espera_pronto "$RAIZ/morto"; then
    falha "o servidor não subiu para o teste do vigia"
else
    mapfile -t pids <"$RAIZ/morto/pids"
    kill -KILL "$FILHO"
    wait "$FILHO" 2>/dev/null
    todos_terminam "${pids[@]}" || falha "o vigia não parou: ${pids[*]}"
fi

((falhas == 0)) && echo "OK"
exit $((falhas > 0))
