# Shared by the tray application's desktop tests (sourced, not run): a private X display with a
# tray host, the real velmora binary on it, bounded waits, screenshots, and the cleanup of all of
# it. Every test takes two arguments: the velmora binary and the folder for screenshots.

set -euo pipefail
export LC_ALL=C.UTF-8
# only the display started here, never the desktop (nor its tray, over D-Bus) of whoever runs
# the tests
unset DISPLAY WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS

VELMORA=${1:?uso: $0 BINARIO_VELMORA PASTA_ARTEFATOS}
ARTEFATOS=${2:?uso: $0 BINARIO_VELMORA PASTA_ARTEFATOS}
TESTE=$(basename "$0" .sh)
TITULO_JANELA="Velmora - Configuração"
TITULO_PERGUNTA="Velmora -Encerramento"
# X classes of the tray icon's window and of the program's own windows (a shell whose windows are
# not velmora's own sets them before sourcing this)
CLASSE_ICONE=${CLASSE_ICONE:-velmora}
CLASSE_JANELAS=${CLASSE_JANELAS:-velmora}

for ferramenta in Xvfb trayer xdotool xwininfo xdpyinfo xprop xwd import convert pdftotext; do
    if ! command -v "$ferramenta" >/dev/null; then
        echo "SKIP: $ferramenta não está instalado"
        exit 77
    fi
done

mkdir -p "$ARTEFATOS"
rm -f "$ARTEFATOS/$TESTE"-*.png # a stale failure shot would mislead
TMP=$(mktemp -d "${TMPDIR:-/tmp}/velmora-$TESTE.XXXXXX")
PIDS=()
PID_VELMORA=

# Stops what we started, newest first: TERM, then KILL after a bounded wait.
encerra() {
    local rc=$? i pid n
    if [[ $rc -ne 0 && -f $TMP/velmora.log ]]; then
        echo "--- saída do velmora:" >&2
        cat "$TMP/velmora.log" >&2
    fi
    # what a test started beyond its own children (a sourcing file may define it)
    if declare -F para_o_resto >/dev/null; then para_o_resto || true; fi
    for ((i = ${#PIDS[@]} - 1; i >= 0; i--)); do
        pid=${PIDS[i]}
        kill "$pid" 2>/dev/null || continue
        for ((n = 0; n < 30; n++)); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        kill -KILL "$pid" 2>/dev/null || true
    done
    if declare -F cups_privado_para >/dev/null; then cups_privado_para || true; fi
    wait 2>/dev/null || true
    if [[ $rc -ne 0 && -n ${VELMORA_E2E_GUARDA:-} ]]; then
        echo "pasta do teste guardada: $TMP" >&2
    else
        rm -rf "$TMP"
    fi
    exit "$rc"
}
trap encerra EXIT
trap 'exit 1' INT TERM

# Saves a screenshot as an artifact: $ARTEFATOS/<test>-<name>.png
captura() {
    import -window root "$ARTEFATOS/$TESTE-$1.png"
}

falha() {
    echo "FALHOU ($TESTE): $*" >&2
    if [[ -n ${DISPLAY:-} ]]; then captura falha 2>/dev/null || true; fi
    exit 1
}

# espera SEGUNDOS COMANDO...: polls COMANDO until it succeeds; false when time runs out.
espera() {
    local limite=$(($(date +%s%N) + $1 * 1000000000))
    shift
    until "$@" >/dev/null 2>&1; do
        (($(date +%s%N) < limite)) || return 1
        sleep 0.1
    done
}

# A fresh display with trayer as the tray host ("inicia_desktop sem-bandeja": none; "inicia_desktop
# icewm": the IceWM window manager, with its own taskbar and tray). The display
# number is drawn at random from a high range, away from the usual :0 and :99 of other test runs
# on this machine.
inicia_desktop() {
    local tentativa n pid
    for tentativa in 1 2 3 4 5; do
        n=$((200 + RANDOM % 700))
        [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
        # bounded life: should this script be killed outright, the display still goes away,
        # and trayer and velmora with it; -noreset: without it the server resets whenever its
        # last client leaves (the readiness probe), racing with the next one to connect
        timeout -k 5 300 Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp -noreset \
            >"$TMP/xvfb.log" 2>&1 &
        pid=$!
        if display_pronto ":$n" "$pid"; then
            PIDS+=("$pid")
            export DISPLAY=":$n"
            break
        fi
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    [[ -n ${DISPLAY:-} ]] || falha "Xvfb não iniciou: $(cat "$TMP/xvfb.log")"
    # a desktop-like backdrop, so that the screenshots read well (purely cosmetic)
    convert -size 1024x768 gradient:'#6f93b8'-'#34506e' "$TMP/fundo.png" &&
        timeout 10 display -window root "$TMP/fundo.png" >/dev/null 2>&1 || true
    [[ ${1:-} != sem-bandeja ]] || return 0
    if [[ ${1:-} == icewm ]]; then
        command -v icewm >/dev/null || {
            echo "SKIP: icewm não está instalado"
            exit 77
        }
        mkdir -p "$TMP/home"
        HOME="$TMP/home" icewm >"$TMP/icewm.log" 2>&1 &
        PIDS+=($!)
        espera 10 bandeja_pronta || falha "icewm não iniciou: $(cat "$TMP/icewm.log")"
        return 0
    fi
    trayer --edge top --align right --widthtype request --height 32 --SetDockType true \
        --transparent false >"$TMP/trayer.log" 2>&1 &
    PIDS+=($!)
    espera 10 bandeja_pronta || falha "trayer não iniciou: $(cat "$TMP/trayer.log")"
}

# display_pronto DISPLAY PID: waits up to 15 s for the server to answer; gives up at once when it
# has ended (say, another run took the display number meanwhile).
display_pronto() {
    local limite=$(($(date +%s%N) + 15000000000))
    until xdpyinfo -display "$1" >/dev/null 2>&1; do
        kill -0 "$2" 2>/dev/null || return 1
        (($(date +%s%N) < limite)) || return 1
        sleep 0.1
    done
}

# The tray host's window: trayer's panel, or IceWM's tray in its taskbar.
readonly HOSPEDEIRO_BANDEJA='"panel": [(]"panel" "trayer"[)]|"SystemTray": [(][)]'

bandeja_pronta() {
    xwininfo -root -tree | grep -qE "$HOSPEDEIRO_BANDEJA"
}

# inicia_velmora ARGUMENTOS...: the binary on our display, with its own home, a PDF folder and
# no CUPS server unless the test set CUPS_SERVER.
inicia_velmora() {
    mkdir -p "$TMP/home" "$TMP/config" "$TMP/pdf"
    mkdir -p -m 700 "$TMP/run"
    env -u QT_QPA_PLATFORM HOME="$TMP/home" XDG_CONFIG_HOME="$TMP/config" \
        XDG_RUNTIME_DIR="$TMP/run" VELMORA_PDF_DIR="$TMP/pdf" \
        CUPS_SERVER="${CUPS_SERVER:-$TMP/sem-cups.sock}" \
        "$VELMORA" "$@" >"$TMP/velmora.log" 2>&1 &
    PID_VELMORA=$!
    PIDS+=("$PID_VELMORA")
}

velmora_rodando() {
    kill -0 "$PID_VELMORA" 2>/dev/null && ! grep -q '^Z' <(ps -o stat= -p "$PID_VELMORA")
}

# The tray icon: the velmora window that the tray host has taken in. Prints "X Y W H ID" on the screen.
icone_bandeja() {
    xwininfo -root -tree | awk -v hospedeiro="$HOSPEDEIRO_BANDEJA" \
        -v classe="(\"$CLASSE_ICONE\" \"$CLASSE_ICONE\")" '
        function recuo(l) { match(l, /^ */); return RLENGTH }
        $0 ~ hospedeiro { painel = recuo($0); next }
        painel && recuo($0) <= painel { painel = 0 }
        painel && index($0, classe) &&
            match($0, /[0-9]+x[0-9]+[-+][-0-9]+[-+][-0-9]+ +[-+][-0-9]+[-+][-0-9]+/) {
            split(substr($0, RSTART, RLENGTH), p, /[ x+]+/)
            split($0, c, " ")
            print p[5], p[6], p[1], p[2], c[1]; achou = 1; exit
        }
        END { exit !achou }'
}

# Whether the window is kept off the task list: its state says to skip the taskbar.
fora_da_lista_de_tarefas() {
    xprop -id "$1" _NET_WM_STATE | grep -q '_NET_WM_STATE_SKIP_TASKBAR'
}

# Whether the window stands in the middle of the screen (to the pixel, either way).
centralizada() {
    local largura altura
    read -r largura altura < <(xdotool getdisplaygeometry)
    eval "$(xdotool getwindowgeometry --shell "$1")"
    ((X - (largura - WIDTH) / 2 <= 1 && (largura - WIDTH) / 2 - X <= 1 &&
        Y - (altura - HEIGHT) / 2 <= 1 && (altura - HEIGHT) / 2 - Y <= 1))
}

janela_oculta() {
    ! janela_visivel "$1"
}

# Hidden by the program itself, not just minimised onto a taskbar (iconic) by the window manager.
janela_retirada() {
    ! xwininfo -id "$1" | grep -q IsViewable && ! xprop -id "$1" WM_STATE | grep -q Iconic
}

janela_visivel() {
    xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1 | grep .
}

# Share of the pixels in a region of a screenshot that differ from the region's top-left pixel
# (the tray's background, since the icons have transparent corners), in percent.
percentual_desenhado() {
    local arquivo=$1 x=$2 y=$3 w=$4 h=$5 fundo
    fundo=$(convert "$arquivo" -crop "1x1+$x+$y" +repage -format '%[pixel:p{0,0}]' info:)
    convert "$arquivo" -crop "${w}x${h}+$x+$y" +repage -fill magenta -opaque "$fundo" \
        -fill black +opaque magenta -format '%[fx:round(100*(1-mean.b))]' info:
}

# Fails unless the tray holds an icon with something drawn in it; saves the screenshot.
confere_icone_na_bandeja() {
    local nome=$1 x y w h pct
    espera 10 icone_bandeja || falha "nenhum ícone do velmora na bandeja"
    read -r x y w h _ < <(icone_bandeja)
    # the icon is drawn on the next paint after it is embedded
    sleep 1
    captura "$nome"
    pct=$(percentual_desenhado "$ARTEFATOS/$TESTE-$nome.png" "$x" "$y" "$w" "$h")
    echo "ícone na bandeja em $x,$y ${w}x$h: $pct% desenhado"
    ((pct >= 15)) || falha "o ícone da bandeja está vazio ($pct% desenhado)"
}

# A fingerprint of what the tray icon shows right now.
imagem_do_icone() {
    local id
    id=$(icone_bandeja | awk '{print $5}') || return 1
    xwd -id "$id" -silent | md5sum
}

# Fails unless the tray icon changes picture (the blink) within a bounded time. The short frames
# last 200 ms of every 3.2 s, so this waits several cycles.
confere_piscar() {
    local primeira
    primeira=$(imagem_do_icone) || falha "nenhum ícone do velmora na bandeja"
    icone_mudou() { [[ $(imagem_do_icone) != "$primeira" ]]; }
    espera 20 icone_mudou || falha "o ícone da bandeja não pisca"
}

# Clicks at a point given in pixels of the window's client area (there is no window manager, so
# no frame: the window's origin is its client area's).
clica_em() {
    local janela=$1 x=$2 y=$3 botao=${4:-1} ox oy
    eval "$(xdotool getwindowgeometry --shell "$janela")"
    ox=$X oy=$Y
    xdotool mousemove $((ox + x)) $((oy + y)) click "$botao"
}

# confirma_configuracao LOCAL IMPRESSORA BACKUP PARALELA PORTA: clicks the confirm button of the
# window $JANELA; then $INI must hold exactly these five lines, the window go and the eye reach
# the tray.
confirma_configuracao() {
    clica_em "$JANELA" 427 313 # CmdConfirmar
    printf '%s\r\n' "LOCAL = $1" "IMPRESSORA = $2" "BACKUP = $3" "PARALELA = $4" "PORTA = $5" \
        >"$TMP/ini.esperado"
    espera 10 cmp -s "$INI" "$TMP/ini.esperado" || {
        [[ -e $INI ]] && cat -A "$INI" >&2
        falha "VELMORA.INI não tem as cinco linhas da janela"
    }
    espera 10 janela_oculta "$TITULO_JANELA" || falha "a janela continuou visível após confirmar"
    confere_icone_na_bandeja bandeja
}

# Job text as it comes out of the PDFs in $TMP/pdf.
texto_dos_pdfs() {
    local pdf
    for pdf in "$TMP"/pdf/*.pdf; do
        [[ -e $pdf ]] && pdftotext "$pdf" - 2>/dev/null
    done
}

pdf_contem() {
    texto_dos_pdfs | grep -qF "$1"
}

# Writes a job atomically, as a program that finishes its file before the spooler sees it.
grava_job() {
    local destino=$1
    shift
    printf '%s\r\n' "$@" >"$TMP/job.tmp"
    mv "$TMP/job.tmp" "$destino"
}

# The tray's pop-up menu once open: the visible velmora window that is neither the icon, nor the
# main window, nor a question box. Prints "X Y W H".
menu_aberto() {
    local icone janela nome
    icone=$(($(icone_bandeja | awk '{print $5}')))
    for janela in $(xdotool search --onlyvisible --class "^$CLASSE_JANELAS\$" 2>/dev/null); do
        ((janela == icone)) && continue
        nome=$(xdotool getwindowname "$janela" 2>/dev/null || true)
        [[ $nome == "$TITULO_JANELA" || $nome == "$TITULO_PERGUNTA" ]] && continue
        eval "$(xdotool getwindowgeometry --shell "$janela")"
        echo "$X $Y $WIDTH $HEIGHT"
        return 0
    done
    return 1
}

clica_no_icone() {
    local x y w h
    read -r x y w h _ < <(icone_bandeja) || falha "nenhum ícone do velmora na bandeja"
    xdotool mousemove $((x + w / 2)) $((y + h / 2)) click "$1"
}

# escolhe_no_menu N [SHOT]: opens the tray menu, saves the screenshot SHOT (default "menu"), and
# clicks its item N (0 "Configurar Velmora", 1 "Sair"). The menu has two items of equal height;
# the click goes to the middle of the item's half.
escolhe_no_menu() {
    local x y w h
    clica_no_icone 3
    espera 10 menu_aberto || falha "o menu da bandeja não abriu"
    read -r x y w h < <(menu_aberto)
    captura "${2:-menu}"
    xdotool mousemove $((x + w / 2)) $((y + h * (2 * $1 + 1) / 4)) click 1
}

# responde_pergunta TECLA [SHOT]: waits for the question box, saves the screenshot SHOT (default
# "pergunta"), then presses TECLA in it.
responde_pergunta() {
    local caixa
    espera 10 janela_visivel "$TITULO_PERGUNTA" ||
        falha "a pergunta \"$TITULO_PERGUNTA\" não apareceu"
    caixa=$(janela_visivel "$TITULO_PERGUNTA")
    captura "${2:-pergunta}"
    xdotool windowfocus --sync "$caixa" key "$1"
}
