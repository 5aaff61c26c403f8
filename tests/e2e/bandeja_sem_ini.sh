#!/bin/bash
# Without a settings file the window waits for a configuration; confirming one writes the file,
# sends the program to the tray and starts printing.
source "$(dirname "$0")/bandeja_comum.sh"

mkdir -p "$TMP/fila"
INI=$TMP/VELMORA.INI

inicia_desktop
inicia_velmora --ini "$INI"

espera 15 janela_visivel "$TITULO_JANELA" || falha "a janela não apareceu"
JANELA=$(janela_visivel "$TITULO_JANELA")
sleep 0.5 # let it paint
captura janela
[[ ! -e $INI ]] || falha "a configuração foi criada ao iniciar"
if icone_bandeja >/dev/null; then falha "ícone na bandeja antes da configuração"; fi
if fora_da_lista_de_tarefas "$JANELA"; then
    falha "a janela que espera a configuração não está na lista de tarefas"
fi

# Controls at their layout positions, in pixels of the client area.
preenche() {
    clica_em "$JANELA" "$1" "$2"
    xdotool key ctrl+a
    xdotool type --delay 20 "$3"
}
xdotool windowfocus --sync "$JANELA"
preenche 221 215 "$TMP/fila/*.txt" # TxtArquivos
preenche 200 166 "Velmora PDF"     # CbImpressoras (its editable text)
preenche 425 261 "1"               # txtTempo
captura preenchida
confirma_configuracao "$TMP/fila/*.txt" "Velmora PDF" 0 0 generica

grava_job "$TMP/fila/rel02.txt" "Relatorio da configuracao confirmada" "fim"
espera 30 pdf_contem "Relatorio da configuracao confirmada" || falha "o job não foi impresso"
espera 10 test ! -e "$TMP/fila/rel02.txt" || falha "o job impresso não foi excluído (BACKUP = 0)"

# Back from the tray: the window comes up and printing stops until the next confirmation. Four
# print periods pass with a job waiting; a spooler still running would have taken it.
clica_no_icone 1
espera 10 janela_visivel "$TITULO_JANELA" || falha "o clique no ícone não mostrou a janela"
sleep 0.5 # let it paint
captura janela-registro
grava_job "$TMP/fila/rel03.txt" "Relatorio que espera a confirmacao"
sleep 4
[[ -e $TMP/fila/rel03.txt ]] || falha "imprimiu com a janela de configuração aberta"
clica_em "$JANELA" 427 313 # CmdConfirmar
espera 30 pdf_contem "Relatorio que espera a confirmacao" ||
    falha "o job não foi impresso após a nova confirmação"
espera 10 janela_oculta "$TITULO_JANELA" || falha "a janela continuou visível após confirmar"
velmora_rodando || falha "o velmora terminou"
echo "ok: janela sem configuração, configuração gravada, bandeja, job impresso, pausa ao abrir"
