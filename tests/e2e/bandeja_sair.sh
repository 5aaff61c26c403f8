#!/bin/bash
# The tray icon's clicks and menu: left click shows the window, "Sair" asks first; No keeps
# everything, Yes removes the icon and ends the program.
source "$(dirname "$0")/bandeja_comum.sh"

mkdir -p "$TMP/fila"
INI=$TMP/VELMORA.INI
printf 'LOCAL = %s\r\nIMPRESSORA = Velmora PDF\r\nBACKUP = 0\r\nPARALELA = 0\r\nPORTA = \r\n' \
    "$TMP/fila/*.TXT" >"$INI"

inicia_desktop
inicia_velmora --ini "$INI"
espera 10 icone_bandeja || falha "nenhum ícone do velmora na bandeja"
sleep 1 # the icon takes its clicks once embedded

# "Sair", then No: nothing changes
escolhe_no_menu 1 menu
responde_pergunta Escape pergunta
espera 10 janela_oculta "$TITULO_PERGUNTA" || falha "a pergunta não fechou com Não"
velmora_rodando || falha "o velmora terminou apesar do Não"
icone_bandeja >/dev/null || falha "o ícone sumiu apesar do Não"
if janela_visivel "$TITULO_JANELA"; then falha "a janela apareceu após o Não"; fi

# left click on the icon shows the window
clica_no_icone 1
espera 10 janela_visivel "$TITULO_JANELA" || falha "o clique no ícone não mostrou a janela"
fora_da_lista_de_tarefas "$(janela_visivel "$TITULO_JANELA")" ||
    falha "a janela de quem já estava na bandeja aparece na lista de tarefas"

# "Sair", then Yes (the default button): the icon goes and the program ends
escolhe_no_menu 1 menu-com-janela
responde_pergunta Return pergunta-com-janela
espera 10 eval '! velmora_rodando' || falha "o velmora não terminou após o Sim"
wait "$PID_VELMORA" && rc=0 || rc=$?
((rc == 0)) || falha "o velmora terminou com o código $rc"
if icone_bandeja >/dev/null; then falha "o ícone ficou na bandeja"; fi
echo "ok: Não mantém tudo, clique mostra a janela, Sim encerra e tira o ícone"
