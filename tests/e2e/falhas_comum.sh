# Shared by the fault-injection tests (sourced, not run): jobs with unique marker lines, and the
# accounting of every job after a scenario: printed whole once, twice or more, left in its folder
# under its own name, or lost (neither). Builds on headless_comum.sh.
#
# VELMORA_FALHAS_COMPLETO=1 runs the long version of each scenario (more jobs, more kills);
# VELMORA_FALHAS_RESULTADOS=FILE gets one tab-separated row per scenario.
source "$(dirname "${BASH_SOURCE[0]}")/headless_comum.sh"

COMPLETO=${VELMORA_FALHAS_COMPLETO:-0}
# Lines of filler in each job, so that a job is more than one write.
LINHAS_JOB=${LINHAS_JOB:-40}

precisa_root() {
    if [[ $EUID -ne 0 ]]; then
        echo "SKIP: $1 precisa de root"
        exit 77
    fi
}

precisa() {
    local ferramenta
    for ferramenta in "$@"; do
        command -v "$ferramenta" >/dev/null || { echo "SKIP: $ferramenta não está instalado"; exit 77; }
    done
}

# quantos CI COMPLETO: the size of a scenario in this mode.
quantos() { if [[ "$COMPLETO" == 1 ]]; then echo "$2"; else echo "$1"; fi; }

marca_inicio() { printf 'VMJ %s %04d INICIO' "$1" "$2"; }
marca_fim() { printf 'VMJ %s %04d FIM' "$1" "$2"; }

# nome_job N: the file name of job N.
nome_job() { printf 'J%04d.TXT' "$1"; }

# escreve_job PASTA TAG N [LINHAS]: job N of the scenario TAG, finished (an old time stamp), with a
# copy in $PASTA/originais to tell later whether it is still there unchanged.
escreve_job() {
    local pasta="$1" tag="$2" n="$3" linhas="${4:-$LINHAS_JOB}" nome i
    nome=$(nome_job "$n")
    mkdir -p "$PASTA/originais"
    {
        printf '%s\r\n' "$(marca_inicio "$tag" "$n")"
        for ((i = 1; i <= linhas; i++)); do
            printf 'job %s %04d linha %05d ......................................\r\n' "$tag" "$n" "$i"
        done
        printf '%s\r\n' "$(marca_fim "$tag" "$n")"
    } >"$PASTA/originais/$nome"
    cp "$PASTA/originais/$nome" "$pasta/$nome.tmp"
    touch -d '-10 minutes' "$pasta/$nome.tmp"
    # Renamed into place, as a job whose writer has finished.
    mv "$pasta/$nome.tmp" "$pasta/$nome"
}

escreve_jobs() {
    local pasta="$1" tag="$2" de="$3" ate="$4" n
    for ((n = de; n <= ate; n++)); do escreve_job "$pasta" "$tag" "$n"; done
}

# The text of every PDF in a folder, one document after the other.
texto_pdfs() {
    local pdf
    for pdf in "$1"/*.pdf; do
        [[ -s "$pdf" ]] || continue
        pdftotext -layout "$pdf" - 2>/dev/null || true
    done
}

# The text of a stream of PDF documents one after the other (what a raw CUPS queue in front of a
# TCP sink receives for jobs of the printer path).
texto_pdfs_concatenados() {
    [[ -s "$1" ]] || return 0
    local partes
    partes=$(mktemp -d "$TMP/partes.XXXXXX")
    python3 - "$1" "$partes" <<'FIM'
import sys
dados = open(sys.argv[1], "rb").read()
inicios = []
i = dados.find(b"%PDF-")
while i >= 0:
    inicios.append(i)
    i = dados.find(b"%PDF-", i + 1)
for k, inicio in enumerate(inicios):
    fim = inicios[k + 1] if k + 1 < len(inicios) else len(dados)
    open("%s/%05d.pdf" % (sys.argv[2], k), "wb").write(dados[inicio:fim])
FIM
    texto_pdfs "$partes"
    rm -rf "$partes"
}

# Raw bytes as lines, without the CR of each CR LF.
texto_bruto() {
    local arquivo
    for arquivo in "$@"; do
        [[ -f "$arquivo" ]] && tr -d '\r' <"$arquivo"
    done
    return 0
}

# contabiliza CENARIO TAG PRIMEIRO ULTIMO PASTA_JOBS TEXTO_IMPRESSO: counts each job's whole copies
# in the printed text (its last line, after all others, is there once per whole copy), sets
# UMA DUAS FICOU PERDIDOS MEIO, prints the row and appends it to $VELMORA_FALHAS_RESULTADOS.
# A job is "left in place" only when it was not printed and is still under its own name,
# unchanged; "half printed" counts jobs whose first line came out more often than the last
# (a port that failed in the middle: harmless while the job stays to be printed whole).
contabiliza() {
    local cenario="$1" tag="$2" de="$3" ate="$4" pasta="$5" texto="$6" n nome inteiras comecos
    UMA=0 DUAS=0 FICOU=0 PERDIDOS=0 MEIO=0
    PERDIDOS_LISTA=""
    local contagem
    contagem=$(mktemp "$TMP/contagem.XXXXXX")
    # One pass over the text: how many times each marker line appears.
    grep -aoE "^ *VMJ $tag [0-9]{4} (INICIO|FIM)" "$texto" | sed 's/^ *//' | sort | uniq -c >"$contagem" || true
    for ((n = de; n <= ate; n++)); do
        nome=$(nome_job "$n")
        inteiras=$(awk -v m="$(marca_fim "$tag" "$n")" '{c=$1; $1=""; sub(/^ /,"")} $0==m {print c}' "$contagem")
        comecos=$(awk -v m="$(marca_inicio "$tag" "$n")" '{c=$1; $1=""; sub(/^ /,"")} $0==m {print c}' "$contagem")
        inteiras=${inteiras:-0} comecos=${comecos:-0}
        ((comecos > inteiras)) && MEIO=$((MEIO + 1))
        if ((inteiras == 1)); then
            UMA=$((UMA + 1))
        elif ((inteiras > 1)); then
            DUAS=$((DUAS + 1))
        elif cmp -s "$pasta/$nome" "$PASTA/originais/$nome"; then
            FICOU=$((FICOU + 1))
        else
            PERDIDOS=$((PERDIDOS + 1))
            PERDIDOS_LISTA+=" $nome"
        fi
    done
    rm -f "$contagem"
    local linha
    linha=$(printf '%s\t%d\t%d\t%d\t%d\t%d\t%d' "$cenario" $((ate - de + 1)) "$UMA" "$DUAS" \
        "$FICOU" "$PERDIDOS" "$MEIO")
    echo "CONTAGEM	$linha"
    if [[ -n "${VELMORA_FALHAS_RESULTADOS:-}" ]]; then
        echo "$linha" >>"$VELMORA_FALHAS_RESULTADOS"
    fi
    ((PERDIDOS == 0)) || echo "  perdidos:$PERDIDOS_LISTA" >&2
}

# The usual verdict: nothing lost, nothing printed twice, and the expected counts.
# confere_contagem UMA FICOU
confere_contagem() {
    confere "nenhum trabalho perdido" iguais "$PERDIDOS" 0
    confere "nenhum trabalho impresso duas vezes" iguais "$DUAS" 0
    confere "impressos uma vez" iguais "$UMA" "$1"
    confere "deixados na pasta" iguais "$FICOU" "$2"
}

# Runs velmora --headless in the background in $PASTA; VELMORA_PID is its pid.
inicia_headless() {
    local ini="$1" intervalo="${2:-1}" saida="${3:-$SAIDA}"
    (cd "$PASTA" && VELMORA_PDF_DIR="$PASTA/pdf" exec "$VELMORA" --headless --ini "$ini" \
        --interval "$intervalo") >"$saida" 2>>"$ERROS" &
    VELMORA_PID=$!
}

# Stops a headless run (SIGTERM, then SIGKILL after 20 s: a hang is a failure, not a wait).
para_headless() {
    local pid="$1" i
    kill -TERM "$pid" 2>/dev/null || return 0
    for ((i = 0; i < 200; i++)); do
        kill -0 "$pid" 2>/dev/null || { wait "$pid" 2>/dev/null || true; return 0; }
        sleep 0.1
    done
    falha "velmora não parou com SIGTERM em 20 s"
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
}

# True when no job of the folder is left (pattern *.TXT).
pasta_vazia() { ! compgen -G "$1/*.TXT" >/dev/null; }

# How many times a text appears in the log lines of $SAIDA (or of the file given).
vezes_no_log() { grep -cF -- "$1" "${2:-$SAIDA}" || true; }
