#!/bin/bash
# `cmake --install` of a built tree puts the program, its menu entry, its icon and the autostart
# example where a desktop looks for them.
# Arguments as for every end-to-end test: the built velmora binary (its build tree is the one
# installed) and an artifact folder (unused).
set -euo pipefail
VELMORA=${1:?uso: $0 BINARIO_VELMORA [PASTA_ARTEFATOS]}
CONSTRUCAO=$(dirname "$(realpath "$VELMORA")")
until [[ -f $CONSTRUCAO/CMakeCache.txt ]]; do
    [[ $CONSTRUCAO != / ]] || {
        echo "FALHOU (bandeja_instalacao): $VELMORA não está numa pasta de construção" >&2
        exit 1
    }
    CONSTRUCAO=$(dirname "$CONSTRUCAO")
done
DESTINO=$(mktemp -d "${TMPDIR:-/tmp}/velmora-instalacao.XXXXXX")
trap 'rm -rf "$DESTINO"' EXIT

falha() {
    echo "FALHOU (bandeja_instalacao): $*" >&2
    exit 1
}

cmake --install "$CONSTRUCAO" --prefix "$DESTINO" >"$DESTINO.log" 2>&1 || {
    cat "$DESTINO.log" >&2
    rm -f "$DESTINO.log"
    falha "cmake --install falhou"
}
rm -f "$DESTINO.log"

[[ -x $DESTINO/bin/velmora ]] || falha "bin/velmora não foi instalado"
"$DESTINO/bin/velmora" --version | grep -q '^velmora ' || falha "o velmora instalado não roda"

# the entry's Exec and Icon must name what was installed
entrada=$DESTINO/share/applications/velmora.desktop
[[ -f $entrada ]] || falha "share/applications/velmora.desktop não foi instalado"
grep -qx 'Exec=velmora' "$entrada" || falha "Exec da entrada não é velmora"
grep -qx 'Icon=velmora' "$entrada" || falha "Icon da entrada não é velmora"
grep -qx 'Categories=Office;Utility;' "$entrada" || falha "Categories da entrada"

icone=$DESTINO/share/icons/hicolor/64x64/apps/velmora.png
[[ -f $icone ]] || falha "o ícone hicolor 64x64 não foi instalado"
tamanho=$(od -An -tu1 -j16 -N8 "$icone" | tr -s ' ')
[[ $(head -c 8 "$icone" | od -An -tx1 | tr -d ' \n') == 89504e470d0a1a0a ]] ||
    falha "o ícone hicolor não é PNG"
[[ $tamanho == " 0 0 0 64 0 0 0 64" ]] || falha "o ícone hicolor não tem 64x64:$tamanho"

inicio=$DESTINO/share/velmora/velmora-autostart.desktop
[[ -f $inicio ]] || falha "o exemplo de autostart não foi instalado"
grep -qx 'X-GNOME-Autostart-enabled=true' "$inicio" ||
    falha "autostart sem X-GNOME-Autostart-enabled"
grep -qx 'Exec=velmora' "$inicio" || falha "Exec do autostart não é velmora"

if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate --no-hints "$entrada" "$inicio" || falha "desktop-file-validate recusou"
fi
echo "ok: binário, entrada de menu, ícone e autostart instalados"
