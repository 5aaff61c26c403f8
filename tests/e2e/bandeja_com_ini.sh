#!/bin/bash
# With a settings file the tray application starts invisible, in the tray, and printing; a click
# on the icon shows the window, in the middle of the screen and off the task list.
source "$(dirname "$0")/bandeja_comum.sh"

mkdir -p "$TMP/fila"
INI=$TMP/VELMORA.INI
printf 'LOCAL = %s\r\nIMPRESSORA = Velmora PDF\r\nBACKUP = 1\r\nPARALELA = 0\r\nPORTA = \r\n' \
    "$TMP/fila/*.TXT" >"$INI"
cp "$INI" "$TMP/ini.antes"
grava_job "$TMP/fila/REL01.TXT" "Relatorio impresso ao iniciar" "segunda linha"

inicia_desktop
inicia_velmora --ini "$INI"

confere_icone_na_bandeja bandeja
velmora_rodando || falha "o velmora terminou"
if janela_visivel "$TITULO_JANELA"; then falha "a janela apareceu, mas havia configuração"; fi
confere_piscar

# the print timer runs from start-up: the job waiting in the folder comes out, and is kept as a
# backup (BACKUP = 1)
espera 30 pdf_contem "Relatorio impresso ao iniciar" || falha "o job não foi impresso"
espera 10 test ! -e "$TMP/fila/REL01.TXT" || falha "o job impresso ficou na fila"
ls "$TMP/fila" | grep -qix 'REL01.bak' || falha "sem backup do job: $(ls "$TMP/fila")"
pdf_contem "segunda linha" || falha "a segunda linha do job não está no PDF"

# start-up reads the settings and writes nothing
cmp -s "$INI" "$TMP/ini.antes" || falha "a configuração foi alterada ao iniciar"
if janela_visivel "$TITULO_JANELA"; then falha "a janela apareceu durante a impressão"; fi

# The everyday road to the window: the left click on the icon.
clica_no_icone 1
espera 10 janela_visivel "$TITULO_JANELA" || falha "o clique no ícone não mostrou a janela"
JANELA=$(janela_visivel "$TITULO_JANELA")
sleep 0.5 # let it paint
captura janela
fora_da_lista_de_tarefas "$JANELA" || falha "a janela aberta pela bandeja está na lista de tarefas"
centralizada "$JANELA" || falha "a janela não está no centro da tela: $(xdotool getwindowgeometry "$JANELA")"
echo "ok: sem janela, ícone piscando na bandeja, job impresso, janela pela bandeja"
