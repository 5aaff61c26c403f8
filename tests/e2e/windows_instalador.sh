# The installer under Wine, silent: installs into Program Files with the Start-menu entry, the
# start with Windows and the uninstall entry; the uninstaller takes all of it away and keeps the
# settings unless asked; a file that cannot be written leaves nothing installed. Gets the
# installer in VELMORA_INSTALADOR (tests/CMakeLists.txt) and needs WINEPREFIX set to a prefix
# whose wineserver is up (scripts/windows-testes.sh).
source "$(dirname "${BASH_SOURCE[0]}")/headless_comum.sh"

[[ -n "${VELMORA_INSTALADOR:-}" ]] || { echo "SKIP: sem makensis, o instalador não foi gerado"; exit 77; }
command -v wine >/dev/null || { echo "SKIP: wine não está instalado"; exit 77; }
[[ -d "${WINEPREFIX:-}/dosdevices" ]] || { echo "FALHA: WINEPREFIX sem dosdevices" >&2; exit 1; }
# Wine would copy the Start-menu entry into this machine's own menus.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-};winemenubuilder.exe=d"

EXECUTAR='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
DESINSTALAR='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Velmora'
unix() { winepath -u "$1" 2>/dev/null; }
INSTALADO="$(unix 'C:\Program Files\Velmora')"
ATALHO="$(unix 'C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Velmora.lnk')"
CONFIG="$(unix "$(wine cmd /c echo %APPDATA% | tr -d '\r')\\Velmora")"
[[ -n "$INSTALADO" && -n "$CONFIG" ]] || { echo "FALHA: caminhos do prefixo" >&2; exit 1; }
[[ ! -e "$INSTALADO" ]] || { echo "FALHA: o Velmora já está instalado neste prefixo" >&2; exit 1; }

instala() {
    STATUS=0
    wine "$VELMORA_INSTALADOR" /S "$@" >"$SAIDA" 2>"$ERROS" || STATUS=$?
}
# The uninstaller runs a copy of itself and returns at once: wait for that copy to end.
desinstalador_rodando() {
    local pid
    for pid in $(pgrep -f '~nsu.*_\?=' || true); do
        grep -qzx "WINEPREFIX=$WINEPREFIX" "/proc/$pid/environ" 2>/dev/null && return 0
    done
    return 1
}
desinstalador_terminou() { ! desinstalador_rodando; }
desinstala() {
    STATUS=0
    wine 'C:\Program Files\Velmora\desinstalar.exe' /S "$@" >"$SAIDA" 2>"$ERROS" || STATUS=$?
    espera 20 desinstalador_terminou || falha "o desinstalador não terminou em 20 s"
}
# A failed run leaves the prefix as it found it.
limpa() {
    if [[ -e "$INSTALADO/desinstalar.exe" ]]; then
        wine 'C:\Program Files\Velmora\desinstalar.exe' /S /REMOVERCONFIG=1 >/dev/null 2>&1 || true
        espera 20 desinstalador_terminou || true
    fi
    rm -rf "$INSTALADO" "$CONFIG"
}
trap 'rc=$?; limpa; _encerra_comum "$rc"' EXIT

# valor_reg KEY NAME: the value's data, or nothing when it is not there.
valor_reg() {
    wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
        sed -nE "s/^ +$2 +REG_[A-Z_]+ +//p"
}
sem_valor_reg() { [[ -z "$(valor_reg "$@")" ]]; }
sem_chave_reg() { ! wine reg query "$1" >/dev/null 2>&1; }
# The program Windows starts: the Run value is its quoted path, then its arguments if any.
programa_iniciado() { valor_reg "$EXECUTAR" Velmora | sed -nE 's/^"([^"]+)"( [^ ].*)?$/\1/p'; }
atalho_aponta() { tr -d '\0' <"$ATALHO" | grep -qiF -- "$1"; }
versao() { wine "$1" --version 2>/dev/null | tr -d '\r'; }
nada_instalado() {
    nao_existe "$INSTALADO/desinstalar.exe" && nao_existe "$ATALHO" &&
        sem_valor_reg "$EXECUTAR" Velmora && sem_chave_reg "$DESINSTALAR"
}

caso "instalação silenciosa com /INICIAR=1"
instala /INICIAR=1
confere "status 0" status_e 0
confere "velmora-console.exe em Program Files" existe "$INSTALADO/velmora-console.exe"
confere "o desinstalador em Program Files" existe "$INSTALADO/desinstalar.exe"
PROGRAMA="$(programa_iniciado)"
confere "o Windows inicia um programa instalado" existe "$(unix "${PROGRAMA:-?}")"
confere "o atalho do menu Iniciar aponta para ele" atalho_aponta "${PROGRAMA:-?}"
confere "a entrada de desinstalação" iguais "$(valor_reg "$DESINSTALAR" DisplayName)" Velmora
confere "com a versão" iguais "$(valor_reg "$DESINSTALAR" DisplayVersion)" \
    "$(versao "$VELMORA" | sed 's/^velmora //')"
confere "que desinstala" iguais "$(valor_reg "$DESINSTALAR" UninstallString)" \
    '"C:\Program Files\Velmora\desinstalar.exe"'
confere "o programa instalado roda" iguais "$(versao 'C:\Program Files\Velmora\velmora-console.exe')" \
    "$(versao "$VELMORA")"

continua "atualização silenciosa: sem /INICIAR mantém o início com o Windows, /INICIAR=0 o tira"
instala
confere "status 0" status_e 0
confere "ainda inicia com o Windows" iguais "$(programa_iniciado)" "$PROGRAMA"
instala /INICIAR=0
confere "status 0" status_e 0
confere "não inicia mais com o Windows" sem_valor_reg "$EXECUTAR" Velmora

continua "desinstalação silenciosa: tudo sai, as configurações ficam"
mkdir -p "$CONFIG"
escreve_ini "$CONFIG/VELMORA.INI" 'C:\VIDEO\*.TXT' Matricial 1 0 LPT2
desinstala
confere "status 0" status_e 0
confere "a pasta do programa saiu" nao_existe "$INSTALADO"
confere "o atalho, o início com o Windows e a entrada saíram" nada_instalado
confere "VELMORA.INI ficou" existe "$CONFIG/VELMORA.INI"

caso "um arquivo que não pode ser gravado: nada fica instalado"
mkdir -p "$INSTALADO/velmora-console.exe"
instala /INICIAR=1
confere "status de falha" eval '! status_e 0'
confere "nenhum arquivo copiado" iguais "$(ls "$INSTALADO")" velmora-console.exe
confere "nem atalho, nem início com o Windows, nem entrada" nada_instalado
rm -rf "$INSTALADO"

caso "sem /INICIAR, não inicia com o Windows"
instala
confere "status 0" status_e 0
confere "instalado" existe "$INSTALADO/velmora-console.exe"
confere "sem início com o Windows" sem_valor_reg "$EXECUTAR" Velmora

continua "uma atualização que não pode gravar um arquivo deixa a anterior como estava"
# The installed program marked, and the last file the update writes made unwritable.
printf 'anterior' >>"$INSTALADO/velmora-console.exe"
ANTES="$(cksum <"$INSTALADO/velmora-console.exe")"
mv "$INSTALADO/desinstalar.exe" "$PASTA/desinstalar.exe"
mkdir "$INSTALADO/desinstalar.exe"
instala /INICIAR=1
confere "status de falha" eval '! status_e 0'
confere "o programa anterior ficou" iguais "$(cksum <"$INSTALADO/velmora-console.exe")" "$ANTES"
confere "sem início com o Windows" sem_valor_reg "$EXECUTAR" Velmora
rmdir "$INSTALADO/desinstalar.exe"
mv "$PASTA/desinstalar.exe" "$INSTALADO/desinstalar.exe"

continua "/REMOVERCONFIG=1 remove também as configurações"
desinstala /REMOVERCONFIG=1
confere "desinstalado" nada_instalado
confere "as configurações saíram" nao_existe "$CONFIG"

termina
