# Shared by the Win32 tray application's desktop tests under Wine (sourced, not run): the desktop
# helpers of bandeja_comum.sh on a private Xvfb with IceWM, a private cupsd, and a Wine prefix of
# the test's own. Every test takes two arguments: velmora.exe and the folder for screenshots.
#
# Wine's explorer.exe, which owns the desktop and the tray, stays on the display of the first
# program of its wineserver; the console tests' shared server (scripts/windows-testes.sh) cannot
# follow a display that comes and goes. So each test runs a copy of that prefix (under a second)
# with a wineserver of its own, which ends with the test. IceWM's tray takes Wine's icons in as
# windows of explorer.exe.
CLASSE_ICONE=explorer.exe
CLASSE_JANELAS=velmora.exe
source "$(dirname "${BASH_SOURCE[0]}")/bandeja_comum.sh"
RAIZ=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

if [[ $EUID -ne 0 ]]; then
    echo "SKIP: o cupsd privado precisa de root"
    exit 77
fi
for ferramenta in wine wineserver icewm /usr/sbin/cupsd lpadmin lpstat; do
    command -v "$ferramenta" >/dev/null || {
        echo "SKIP: $ferramenta não está instalado"
        exit 77
    }
done
[[ -d ${WINEPREFIX:-}/dosdevices ]] || falha "WINEPREFIX sem dosdevices (scripts/windows-testes.sh)"
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml=;winedbg.exe=d"}
export WINEDEBUG=-all WINEARCH=win64

source "$RAIZ/tests/apoio/cupsd-privado.sh"
CUPS_PRIVADO_SEM_TRAP=1 # bandeja_comum.sh's EXIT trap stops it
chmod 755 "$TMP"        # cupsd's filters run as lp and read the queue's PPD below it
cups_privado_inicia "$TMP/cups" || falha "o cupsd privado não iniciou"
cups_privado_fila_pdf FilaPdf || falha "sem a fila PDF"
SAIDA_CUPS=$CUPS_PRIVADO_DIR/out

# The drive V: is $TMP/v; velmora.exe lies in V:\velmora with its VELMORA.INI.
UNIDADE=$TMP/v
PASTA_VELMORA=$UNIDADE/velmora
INI=$PASTA_VELMORA/VELMORA.INI
mkdir -p "$PASTA_VELMORA" "$UNIDADE/fila"
cp "$VELMORA" "$PASTA_VELMORA/velmora.exe"

inicia_desktop icewm

cp -a "$WINEPREFIX" "$TMP/wine"
export WINEPREFIX=$TMP/wine
ln -sfn "$UNIDADE" "$WINEPREFIX/dosdevices/v:"
wineserver -p </dev/null >"$TMP/wineserver.log" 2>&1
# Wine's own MS Sans Serif, the dialog's font, is wider than Windows' and cuts the captions the
# layout was drawn for; Nimbus Sans keeps Helvetica's widths, close to the real one's.
wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'MS Sans Serif' /d 'Nimbus Sans' /f \
    </dev/null >/dev/null 2>&1 || falha "a substituição da fonte do diálogo não entrou no registro"
# The server's end does not end its programs: -k does, at the test's end, or once the test is
# gone without its EXIT trap.
para_o_resto() { wineserver -k 2>/dev/null; }
setsid bash -c 'while kill -0 "$1"; do sleep 1; done; WINEPREFIX=$2 wineserver -k; rm -rf "$2"' \
    vigia "$$" "$WINEPREFIX" </dev/null >/dev/null 2>&1 &
disown $!

# The program in its folder, on our display; its output goes to velmora.log.
inicia_velmora_exe() {
    (cd "$PASTA_VELMORA" && exec wine velmora.exe) >"$TMP/velmora.log" 2>&1 &
    PID_VELMORA=$!
    PIDS+=("$PID_VELMORA")
}

# escreve_ini LOCAL IMPRESSORA BACKUP PARALELA PORTA: the settings file beside velmora.exe.
escreve_ini() {
    printf '%s\r\n' "LOCAL = $1" "IMPRESSORA = $2" "BACKUP = $3" "PARALELA = $4" \
        "PORTA = $5" >"$INI"
}

# recorta NAME X Y W H: a part of the screenshot NAME, saved as NAME-recorte (for the README).
recorta() {
    convert "$ARTEFATOS/$TESTE-$1.png" -crop "${4}x${5}+$2+$3" +repage \
        "$ARTEFATOS/$TESTE-$1-recorte.png"
}
