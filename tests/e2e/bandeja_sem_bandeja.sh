#!/bin/bash
# On a desktop without a system tray the window is never hidden into nothing: with a settings
# file it starts printing with its window kept on the task list, and a left-out tray icon is no
# reason to stop.
source "$(dirname "$0")/bandeja_comum.sh"

mkdir -p "$TMP/fila"
INI=$TMP/VELMORA.INI
printf 'LOCAL = %s\r\nIMPRESSORA = Velmora PDF\r\nBACKUP = 0\r\nPARALELA = 0\r\nPORTA = \r\n' \
    "$TMP/fila/*.TXT" >"$INI"
grava_job "$TMP/fila/REL01.TXT" "Relatorio sem bandeja"

inicia_desktop sem-bandeja
inicia_velmora --ini "$INI"

# With no window manager a minimised window stays mapped, so it can be found by name.
espera 15 janela_visivel "$TITULO_JANELA" || falha "a janela sumiu sem ter bandeja para onde ir"
JANELA=$(janela_visivel "$TITULO_JANELA")
xprop -id "$JANELA" WM_HINTS _NET_WM_STATE | grep -qE 'Iconic State|_NET_WM_STATE_HIDDEN' ||
    falha "a janela não foi minimizada"
if fora_da_lista_de_tarefas "$JANELA"; then
    falha "a janela saiu da lista de tarefas sem haver bandeja"
fi
espera 30 pdf_contem "Relatorio sem bandeja" || falha "o job não foi impresso"
espera 10 test ! -e "$TMP/fila/REL01.TXT" || falha "o job impresso ficou na pasta"
captura janela
velmora_rodando || falha "o velmora terminou"
echo "ok: sem bandeja a janela fica na lista de tarefas e a impressão corre"
