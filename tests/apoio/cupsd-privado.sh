# A private CUPS server for tests, in a folder of its own; nothing of the system's CUPS is touched.
# Needs root (cupsd drops to the user lp for filters and backends). Source it from bash:
#
#   source tests/apoio/cupsd-privado.sh
#   cups_privado_inicia DIR             # cupsd on DIR/cups.sock; exports CUPS_SERVER
#   cups_privado_fila_pdf NOME          # jobs land in DIR/out/NOME.out (a PJL header + the PDF)
#   cups_privado_fila_bruta NOME        # raw queue in front of a TCP sink: DIR/out/NOME.out
#   cups_privado_padrao NOME            # the server's default queue
#   cups_privado_espera_jobs [SEGUNDOS] # until no job is pending (default 30 s); 1 on timeout
#   cups_privado_para                   # stops the sinks and cupsd (safe to call twice)
#
# cups_privado_inicia sets an EXIT trap that calls cups_privado_para (with INT and TERM turned
# into an exit, so it runs then too); set CUPS_PRIVADO_SEM_TRAP=1 to keep your own traps and call
# cups_privado_para from them. A watchdog outside the shell's process group also stops everything
# once the shell that called cups_privado_inicia is gone (killed without running its trap), or
# after CUPS_PRIVADO_VIDA_MAX seconds (default 1800). Only loopback addresses are used.
# Functions return non-zero and say why on stderr when something does not come up.

CUPS_PRIVADO_AQUI="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

_cups_privado_erro() {
    echo "cupsd-privado: $*" >&2
}

# True while the process runs (a zombie left to a parent that does not reap counts as gone).
_cups_privado_vivo() {
    local pid="$1" estado
    [[ -n "$pid" ]] && kill -0 "$pid" 2>/dev/null || return 1
    estado=$(awk '{print $3}' "/proc/$pid/stat" 2>/dev/null) || return 1
    [[ "$estado" != Z ]]
}

# Sends SIGTERM, waits up to 5 s, then SIGKILL.
_cups_privado_termina() {
    local pid="$1" i
    _cups_privado_vivo "$pid" || return 0
    kill -TERM "$pid" 2>/dev/null
    for ((i = 0; i < 50; i++)); do
        _cups_privado_vivo "$pid" || return 0
        sleep 0.1
    done
    kill -KILL "$pid" 2>/dev/null
    return 0
}

# Runs "$@" until it succeeds, at most SEGUNDOS ($1) seconds.
_cups_privado_ate() {
    local limite=$((SECONDS + $1))
    shift
    until "$@" >/dev/null 2>&1; do
        ((SECONDS < limite)) || return 1
        sleep 0.1
    done
}

_cups_privado_escreve_config() {
    local dir="$1"
    cat >"$dir/cups-files.conf" <<FIM
ServerRoot $dir/etc
RequestRoot $dir/spool
TempDir $dir/spool/tmp
CacheDir $dir/cache
StateDir $dir/state
AccessLog $dir/log/access_log
ErrorLog $dir/log/error_log
PageLog $dir/log/page_log
Printcap $dir/printcap
SystemGroup root
User lp
Group lp
FileDevice Yes
FIM
    cat >"$dir/cupsd.conf" <<FIM
Listen $dir/cups.sock
Browsing No
WebInterface No
IdleExitTimeout 0
LogLevel info
<Location />
  Order allow,deny
  Allow localhost
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
    Allow all
  </Limit>
</Policy>
FIM
}

_cups_privado_responde() {
    [[ "$(LC_ALL=C lpstat -r 2>/dev/null)" == "scheduler is running" ]]
}

_cups_privado_sem_pendentes() {
    local saida
    saida=$(lpstat -o 2>&1) && [[ -z "$saida" ]]
}

cups_privado_inicia() {
    local dir="$1"
    if [[ -z "$dir" ]]; then
        _cups_privado_erro "uso: cups_privado_inicia PASTA"
        return 2
    fi
    if [[ $EUID -ne 0 ]]; then
        _cups_privado_erro "cupsd precisa de root"
        return 1
    fi
    mkdir -p "$dir" || return 1
    dir="$(cd "$dir" && pwd)"
    mkdir -p "$dir"/{etc/ppd,etc/ssl,spool/tmp,cache,state,log,out,pid} || return 1
    # cupsd's filters and backends run as lp: they must reach the spool and the output folder.
    chmod 755 "$dir" "$dir/out"
    chown lp:lp "$dir/out" || return 1
    _cups_privado_escreve_config "$dir"

    export CUPS_PRIVADO_DIR="$dir"
    export CUPS_SERVER="$dir/cups.sock"

    if [[ "${CUPS_PRIVADO_SEM_TRAP:-}" != 1 ]]; then
        trap cups_privado_para EXIT
        trap 'exit 130' INT
        trap 'exit 143' TERM
    fi

    /usr/sbin/cupsd -f -c "$dir/cupsd.conf" -s "$dir/cups-files.conf" \
        </dev/null >"$dir/log/cupsd.out" 2>&1 &
    echo $! >"$dir/pid/cupsd"

    local vigiado="${BASHPID:-$$}"
    setsid bash -c '
        source "$4/cupsd-privado.sh"
        fim=$((SECONDS + $3))
        while _cups_privado_vivo "$1" && ((SECONDS < fim)); do sleep 0.5; done
        CUPS_PRIVADO_DIR=$2 cups_privado_para
    ' vigia "$vigiado" "$dir" "${CUPS_PRIVADO_VIDA_MAX:-1800}" "$CUPS_PRIVADO_AQUI" \
        </dev/null >/dev/null 2>&1 &
    echo $! >"$dir/pid/vigia"

    if ! _cups_privado_ate 10 _cups_privado_responde; then
        _cups_privado_erro "cupsd não respondeu em 10 s; veja $dir/log/"
        tail -n 20 "$dir/log/cupsd.out" "$dir/log/error_log" >&2 2>/dev/null
        return 1
    fi
}

cups_privado_fila_pdf() {
    local nome="$1" dir="${CUPS_PRIVADO_DIR:?cups_privado_inicia primeiro}"
    local erros estado
    erros=$(lpadmin -p "$nome" -E -v "file://$dir/out/$nome.out" \
        -m lsb/usr/cupsfilters/Generic-PDF_Printer-PDF.ppd 2>&1)
    estado=$?
    # lpadmin always warns that PPD drivers are deprecated; only other lines matter.
    grep -v 'drivers are deprecated' <<<"$erros" >&2
    if ((estado != 0)); then
        _cups_privado_erro "lpadmin não criou a fila $nome (cups-filters instalado?)"
        return 1
    fi
}

cups_privado_fila_bruta() {
    local nome="$1" dir="${CUPS_PRIVADO_DIR:?cups_privado_inicia primeiro}" porta
    local pronto="$dir/portas/$nome"
    mkdir -p "$dir/portas" && rm -f "$pronto"
    python3 "$CUPS_PRIVADO_AQUI/sumidouro_tcp.py" 0 "$dir/out/$nome.out" "$pronto" \
        </dev/null >"$dir/log/sumidouro-$nome.out" 2>&1 &
    echo $! >"$dir/pid/sumidouro-$nome"
    if ! _cups_privado_ate 10 test -s "$pronto"; then
        _cups_privado_erro "o sumidouro de $nome não abriu a porta; veja $dir/log/"
        return 1
    fi
    porta=$(<"$pronto")
    lpadmin -p "$nome" -E -v "socket://127.0.0.1:$porta" || {
        _cups_privado_erro "lpadmin não criou a fila $nome"
        return 1
    }
}

cups_privado_padrao() {
    lpadmin -d "$1"
}

cups_privado_espera_jobs() {
    local segundos="${1:-30}"
    if ! _cups_privado_ate "$segundos" _cups_privado_sem_pendentes; then
        _cups_privado_erro "jobs ainda pendentes após $segundos s:"
        lpstat -o >&2
        return 1
    fi
}

cups_privado_para() {
    local dir="${CUPS_PRIVADO_DIR:-}" arquivo
    [[ -n "$dir" && -d "$dir/pid" ]] || return 0
    for arquivo in "$dir"/pid/sumidouro-* "$dir/pid/cupsd"; do
        [[ -f "$arquivo" ]] || continue
        _cups_privado_termina "$(<"$arquivo")"
        rm -f "$arquivo"
    done
    # Last, and never from inside the watchdog itself.
    if [[ -f "$dir/pid/vigia" ]]; then
        local vigia
        vigia=$(<"$dir/pid/vigia")
        rm -f "$dir/pid/vigia"
        [[ "$vigia" == "${BASHPID:-$$}" ]] || _cups_privado_termina "$vigia"
    fi
    return 0
}
