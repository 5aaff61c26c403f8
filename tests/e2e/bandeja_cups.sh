#!/bin/bash
# The configuration window against a real, private CUPS server: a PDF queue chosen by name, then
# raw output whose port is taken from the chosen queue.
source "$(dirname "$0")/bandeja_comum.sh"

if [[ $EUID -ne 0 ]]; then
    echo "SKIP: o cupsd privado precisa de root"
    exit 77
fi
for ferramenta in /usr/sbin/cupsd lpadmin lpstat python3; do
    command -v "$ferramenta" >/dev/null || {
        echo "SKIP: $ferramenta não está instalado"
        exit 77
    }
done
source "$(dirname "$0")/../apoio/cupsd-privado.sh"
CUPS_PRIVADO_SEM_TRAP=1 # our EXIT trap stops it

chmod 755 "$TMP" # cupsd's filters run as lp and read the queue's PPD below it
cups_privado_inicia "$TMP/cups" || falha "o cupsd privado não iniciou"
cups_privado_fila_pdf FilaPdf || falha "sem a fila PDF"
cups_privado_fila_bruta FilaBruta || falha "sem a fila bruta"
SAIDA_CUPS=$CUPS_PRIVADO_DIR/out
mkdir -p "$TMP/fila"
INI=$TMP/VELMORA.INI

inicia_desktop
inicia_velmora --ini "$INI"
espera 15 janela_visivel "$TITULO_JANELA" || falha "a janela não apareceu"
JANELA=$(janela_visivel "$TITULO_JANELA")
xdotool windowfocus --sync "$JANELA"

preenche() {
    clica_em "$JANELA" "$1" "$2"
    xdotool key ctrl+a BackSpace
    [[ -z $3 ]] || xdotool type --delay 20 "$3"
}

# the PDF queue, by name
preenche 221 215 "$TMP/fila/*.txt" # TxtArquivos
preenche 200 166 "FilaPdf"         # CbImpressoras
preenche 425 261 "1"               # txtTempo
clica_em "$JANELA" 427 313         # CmdConfirmar
espera 10 janela_oculta "$TITULO_JANELA" || falha "a janela continuou visível após confirmar"
grep -q $'^IMPRESSORA = FilaPdf\r$' "$INI" || falha "IMPRESSORA não foi gravada"

grava_job "$TMP/fila/fatura.txt" "Fatura 123 pela fila do CUPS" "Valor R\$ 10,00"
espera 30 test ! -e "$TMP/fila/fatura.txt" || falha "o job não saiu da pasta"
cups_privado_espera_jobs 30 || falha "o job ficou na fila do CUPS"
pdftotext "$SAIDA_CUPS/FilaPdf.out" - | grep -qF "Fatura 123 pela fila do CUPS" ||
    falha "a fila PDF não recebeu o job"

# raw output: the port comes from the chosen queue when txtPorta is left empty
clica_no_icone 1
espera 10 janela_visivel "$TITULO_JANELA" || falha "o clique no ícone não mostrou a janela"
preenche 200 166 "FilaBruta" # CbImpressoras
clica_em "$JANELA" 15 286    # chkParalela
preenche 301 317 ""          # txtPorta, emptied
captura bruta
clica_em "$JANELA" 427 313 # CmdConfirmar
espera 10 janela_oculta "$TITULO_JANELA" || falha "a janela continuou visível após confirmar"
grep -q $'^PARALELA = 1\r$' "$INI" || falha "PARALELA não foi gravada: $(cat -A "$INI")"
grep -q $'^PORTA = FilaBruta\r$' "$INI" || falha "a porta não veio da fila: $(cat -A "$INI")"

grava_job "$TMP/fila/bruto.txt" "ESC-P bytes, sem conversao" "linha 2"
espera 30 test ! -e "$TMP/fila/bruto.txt" || falha "o job bruto não saiu da pasta"
cups_privado_espera_jobs 30 || falha "o job bruto ficou na fila do CUPS"
espera 10 grep -qF "ESC-P bytes, sem conversao" "$SAIDA_CUPS/FilaBruta.out" ||
    falha "a fila bruta não recebeu o job"
velmora_rodando || falha "o velmora terminou"
echo "ok: fila PDF escolhida na janela, porta bruta tirada da fila"
