#!/bin/bash
# Under a window manager with a taskbar (IceWM): the window opened from the tray has no button on
# the taskbar, neither after a minimise (which hides it) and another click on the icon, nor while
# the shutdown question covers it.
source "$(dirname "$0")/bandeja_comum.sh"

mkdir -p "$TMP/fila"
INI=$TMP/VELMORA.INI
printf 'LOCAL = %s\r\nIMPRESSORA = Velmora PDF\r\nBACKUP = 0\r\nPARALELA = 0\r\nPORTA = \r\n' \
    "$TMP/fila/*.TXT" >"$INI"

# Buttons on IceWM's taskbar: the task pane's children wider than its 1-pixel placeholder.
botoes_na_barra() {
    xwininfo -root -tree | awk '
        function recuo(l) { match(l, /^ */); return RLENGTH }
        /"TaskPane": / { pane = recuo($0); next }
        pane && recuo($0) <= pane { pane = 0 }
        pane && match($0, / [0-9]+x[0-9]+[-+]/) {
            w = substr($0, RSTART + 1, RLENGTH); sub(/x.*/, "", w); n += (w + 0 > 1)
        }
        END { print n + 0 }'
}

sem_botao() {
    [[ $(botoes_na_barra) == 0 ]]
}

abre_pela_bandeja() {
    clica_no_icone 1
    espera 10 janela_visivel "$TITULO_JANELA" || falha "o clique no ícone não mostrou a janela ($1)"
    JANELA=$(janela_visivel "$TITULO_JANELA")
    sleep 1 # the taskbar follows the window manager's state, later still on a busy machine
    fora_da_lista_de_tarefas "$JANELA" || falha "a janela está sem _NET_WM_STATE_SKIP_TASKBAR ($1)"
    espera 5 sem_botao || falha "a janela tem um botão na barra de tarefas ($1)"
}

inicia_desktop icewm
inicia_velmora --ini "$INI"
espera 10 icone_bandeja || falha "nenhum ícone do velmora na bandeja"
sleep 1 # the icon takes its clicks once embedded
sem_botao || falha "botão na barra de tarefas sem janela nenhuma"

abre_pela_bandeja "primeira vez"
captura janela

xdotool windowminimize "$JANELA"
espera 10 janela_oculta "$TITULO_JANELA" || falha "minimizar não escondeu a janela"
abre_pela_bandeja "depois de minimizar"

# the question box has its own button while it is open; the window still has none
xdotool windowactivate --sync "$JANELA" key alt+F4
espera 10 janela_visivel "$TITULO_PERGUNTA" || falha "a pergunta \"$TITULO_PERGUNTA\" não apareceu"
sleep 1
captura pergunta
[[ $(botoes_na_barra) == 1 ]] || falha "com a pergunta aberta: $(botoes_na_barra) botões na barra"
fora_da_lista_de_tarefas "$JANELA" || falha "a pergunta devolveu a janela à lista de tarefas"
xdotool windowactivate --sync "$(janela_visivel "$TITULO_PERGUNTA")" key Escape
espera 10 janela_oculta "$TITULO_PERGUNTA" || falha "a pergunta não fechou com Não"
sleep 1
espera 5 sem_botao || falha "depois da pergunta a janela tem um botão na barra de tarefas"
velmora_rodando || falha "o velmora terminou apesar do Não"
echo "ok: sob o IceWM a janela aberta pela bandeja fica fora da barra de tarefas"
