#!/bin/bash
# velmora.exe with a settings file: straight into the tray, no window, the eye blinking; a job
# dropped into the folder comes out of a CUPS queue through Windows printing and is kept as a
# backup. The tray: its menu's "Configurar Velmora" and a left click show the window, minimising
# hides it, "Sair" asks and Yes ends the program and takes the eye away.
source "$(dirname "$0")/windows_bandeja_comum.sh"

escreve_ini 'V:\fila\*.TXT' FilaPdf 1 0 ""
inicia_velmora_exe
espera 30 icone_bandeja || falha "nenhum ícone do velmora na bandeja"
if janela_visivel "$TITULO_JANELA"; then falha "a janela apareceu com a configuração presente"; fi
confere_icone_na_bandeja bandeja
confere_piscar

grava_job "$UNIDADE/fila/REL01.TXT" "Fatura 123 pela bandeja do Windows" "Total a pagar"
espera 30 test -e "$UNIDADE/fila/REL01.bak" || falha "o job não virou backup"
[[ ! -e $UNIDADE/fila/REL01.TXT ]] || falha "o job impresso ficou na pasta"
cups_privado_espera_jobs 30 || falha "o job ficou na fila do CUPS"
pdftotext "$SAIDA_CUPS/FilaPdf.out" - | grep -qF "Fatura 123 pela bandeja do Windows" ||
    falha "a fila do CUPS não recebeu o texto do job"

escolhe_no_menu 0 menu # "Configurar Velmora"
read -r LARGURA ALTURA < <(xdotool getdisplaygeometry)
recorta menu $((LARGURA - 300)) $((ALTURA - 138)) 300 138 # the tray's corner, with the menu
espera 10 janela_visivel "$TITULO_JANELA" || falha "\"Configurar Velmora\" não mostrou a janela"
JANELA=$(janela_visivel "$TITULO_JANELA")
fora_da_lista_de_tarefas "$JANELA" || falha "a janela de quem está na bandeja está na barra de tarefas"
xdotool windowminimize "$JANELA"
espera 10 janela_retirada "$JANELA" || falha "minimizar não escondeu a janela"

clica_no_icone 1
espera 10 janela_visivel "$TITULO_JANELA" || falha "o clique no ícone não mostrou a janela"
sleep 1 # let it paint
captura janela

escolhe_no_menu 1 menu-sair # "Sair"
responde_pergunta Return pergunta
espera 10 eval '! velmora_rodando' || falha "o velmora não terminou após o Sim"
wait "$PID_VELMORA" && rc=0 || rc=$?
((rc == 0)) || falha "o velmora terminou com o código $rc"
if icone_bandeja >/dev/null; then falha "o ícone ficou na bandeja"; fi
echo "ok: bandeja sem janela, olho piscando, job impresso pelo CUPS, menu, clique, Sair e Sim"
