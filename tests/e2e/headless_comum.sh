# Shared by the headless end-to-end tests (sourced, not run): a temporary folder per case, the
# real velmora binary run with its stdout, stderr and exit status kept, and checks that count
# failures instead of stopping at the first. Every test takes two arguments: the velmora binary
# and a folder for the files of a failed run.

set -euo pipefail
export LC_ALL=C.UTF-8
unset VELMORA_CODEPAGE VELMORA_CODIGOS QT_QPA_PLATFORM

VELMORA=$(realpath "${1:?uso: $0 BINARIO_VELMORA PASTA_ARTEFATOS}")
[[ -x "$VELMORA" ]] || { echo "$0: o binário $VELMORA não existe" >&2; exit 1; }
ARTEFATOS=${2:?uso: $0 BINARIO_VELMORA PASTA_ARTEFATOS}
TESTE=$(basename "$0" .sh)
E2E_AQUI=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
RAIZ=$(cd "$E2E_AQUI/../.." && pwd)

# Readable by every user: some cases run velmora as nobody.
TMP=$(mktemp -d "${TMPDIR:-/tmp}/velmora-$TESTE.XXXXXX")
chmod 755 "$TMP"
# Qt's temporary folders of every velmora the test starts, also of one killed with -9, go away
# with the test's own folder.
export TMPDIR="$TMP/tmp"
mkdir -m 1777 "$TMPDIR"
FALHAS=0
CASO=
N_CASO=0

# Takes the exit status when called from another trap.
_encerra_comum() {
    local rc=${1:-$?}
    if ((rc != 0 || FALHAS > 0)); then
        rm -rf "$ARTEFATOS"
        mkdir -p "$ARTEFATOS"
        cp -a "$TMP/." "$ARTEFATOS/" 2>/dev/null || true
        echo "arquivos do teste em $ARTEFATOS" >&2
    fi
    rm -rf "$TMP"
}
trap _encerra_comum EXIT

# Starts a case in a fresh folder $PASTA (also the current folder of velmora).
caso() {
    CASO="$1"
    N_CASO=$((N_CASO + 1))
    PASTA="$TMP/caso$N_CASO"
    mkdir -p "$PASTA/jobs" "$PASTA/pdf"
    chmod 755 "$PASTA"
    SAIDA="$PASTA/stdout"
    ERROS="$PASTA/stderr"
    echo "--- $CASO"
}

# Goes on in the folder of the case before.
continua() {
    CASO="$1"
    echo "--- $CASO"
}

falha() {
    echo "FALHA [$CASO]: $*" >&2
    FALHAS=$((FALHAS + 1))
}

# Shows what velmora said, after a failed check.
mostra_saida() {
    echo "  status: ${STATUS:-?}" >&2
    sed 's/^/  stdout: /' "$SAIDA" >&2 2>/dev/null || true
    sed 's/^/  stderr: /' "$ERROS" >&2 2>/dev/null || true
}

# confere "what is expected" command...: counts a failure when the command fails.
confere() {
    local descricao="$1"
    shift
    if ! "$@"; then
        falha "$descricao"
        mostra_saida
    fi
}

# Runs velmora in $PASTA with VELMORA_PDF_DIR=$PASTA/pdf; sets STATUS.
roda() {
    STATUS=0
    (cd "$PASTA" && VELMORA_PDF_DIR="$PASTA/pdf" "$VELMORA" "$@") >"$SAIDA" 2>"$ERROS" ||
        STATUS=$?
}

# escreve_ini FILE LOCAL IMPRESSORA BACKUP PARALELA PORTA
escreve_ini() {
    printf '%s\r\n' "LOCAL = $2" "IMPRESSORA = $3" "BACKUP = $4" "PARALELA = $5" \
        "PORTA = $6" >"$1"
}

# The log lines of the last run, without their time stamps.
mensagens() {
    sed -E 's/^[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}[+-][0-9]{2}:[0-9]{2} //' "$SAIDA"
}

# The "Arquivo ..." and "Erro ..." lines of the last run, one per line.
linhas_job() {
    mensagens | grep -E '^(Arquivo|Erro) ' || true
}

nenhum_impresso() { ! linhas_job | grep -q ' impresso$'; }
status_e() { [[ "$STATUS" == "$1" ]]; }
existe() { [[ -e "$1" ]]; }
nao_existe() { [[ ! -e "$1" && ! -L "$1" ]]; }
stdout_tem() { grep -qF -- "$1" "$SAIDA"; }
stdout_nao_tem() { ! grep -qF -- "$1" "$SAIDA"; }
stderr_tem() { grep -qF -- "$1" "$ERROS"; }
iguais() { [[ "$1" == "$2" ]] || { printf '  esperado: %q\n  obtido:   %q\n' "$2" "$1" >&2; false; }; }
# pdftotext of a PDF holds the text.
pdf_tem() { pdftotext "$1" - 2>/dev/null | grep -qF -- "$2"; }

# Waits until the command succeeds, at most SEGUNDOS ($1); a hang becomes a failure, never a
# timing check.
espera() {
    local limite=$((SECONDS + $1))
    shift
    until "$@" 2>/dev/null; do
        ((SECONDS < limite)) || return 1
        sleep 0.1
    done
}

# Runs velmora as the user nobody (for permissions that root would ignore). The binary may lie
# where nobody cannot reach it (a checkout under /root): nobody runs a copy in the test's folder.
como_nobody() {
    local copia="$TMP/bin-nobody/velmora" arg args=()
    if [[ ! -x "$copia" ]]; then
        mkdir -p "$TMP/bin-nobody"
        cp "$VELMORA" "$copia"
        chmod 755 "$TMP/bin-nobody" "$copia"
    fi
    for arg in "$@"; do
        [[ "$arg" == "$VELMORA" ]] && arg="$copia"
        args+=("$arg")
    done
    setpriv --reuid=65534 --regid=65534 --clear-groups -- "${args[@]}"
}

termina() {
    if ((FALHAS > 0)); then
        echo "$TESTE: $FALHAS verificação(ões) falharam em $N_CASO casos" >&2
        exit 1
    fi
    echo "$TESTE: $N_CASO casos ok"
    exit 0
}
