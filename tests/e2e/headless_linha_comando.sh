# The command line of velmora and the checks made before anything is printed: help, version,
# usage errors, and the settings file (where it is looked for, and refused when unusable).
source "$(dirname "${BASH_SOURCE[0]}")/headless_comum.sh"

usa_mal() {
    local esperado="$1"
    shift
    caso "uso errado: $*"
    roda "$@"
    confere "sai com 2" status_e 2
    confere "explica \"$esperado\" no stderr" stderr_tem "velmora: $esperado"
    confere "aponta o --help" stderr_tem "velmora --help"
    confere "nada no stdout" test ! -s "$SAIDA"
}

caso "--help"
roda --help
confere "sai com 0" status_e 0
for texto in "Uso: velmora" "--headless" "--once" "--ini ARQUIVO" "--interval SEGUNDOS" \
    VELMORA_CODEPAGE VELMORA_PDF_DIR; do
    confere "a ajuda cita $texto" stdout_tem "$texto"
done

caso "--version"
roda --version
confere "sai com 0" status_e 0
confere "uma linha: velmora e a versão" \
    grep -qxE 'velmora [0-9]+\.[0-9]+\.[0-9]+' "$SAIDA"

usa_mal "opção desconhecida: --bogus" --bogus
usa_mal "opção desconhecida: -x" --once -x
usa_mal "argumento inesperado: VELMORA.INI" --once VELMORA.INI
usa_mal "falta o valor da opção --ini" --once --ini
usa_mal "falta o valor da opção --ini" --ini --once
usa_mal "falta o valor da opção --interval" --headless --interval
usa_mal "a opção --help não aceita valor" --help=sim
usa_mal "a opção --ini foi dada mais de uma vez" --once --ini a.ini --ini b.ini
usa_mal "a opção --headless não combina com outro modo" --once --headless
usa_mal "a opção --interval só vale com --headless" --once --interval 5
usa_mal "a opção --interval só vale com --headless" --interval 5
for ruim in 0 61 -1 abc 3s 1.5 "" " 5" 99999999999; do
    usa_mal "--interval espera um número inteiro de 1 a 60" --headless --interval "$ruim"
done

caso "modo bandeja sem tela gráfica"
escreve_ini "$PASTA/VELMORA.INI" "$PASTA/jobs/*.TXT" "Velmora PDF" 1 0 ""
STATUS=0
(cd "$PASTA" && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$VELMORA" \
    --ini "$PASTA/VELMORA.INI") >"$SAIDA" 2>"$ERROS" || STATUS=$?
confere "sai com 2" status_e 2
confere "diz o que fazer" stderr_tem "use --headless ou --once"

# The limits are accepted: what fails then is the missing settings file, not the option.
for bom in 1 60 "=7"; do
    caso "--interval $bom aceito"
    if [[ "$bom" == =* ]]; then roda --headless "--interval$bom" --ini=nao-ha.ini; else
        roda --headless --interval "$bom" --ini nao-ha.ini; fi
    confere "sai com 2" status_e 2
    confere "a queixa é o arquivo de configuração" stderr_tem "arquivo de configuração"
done

for modo in --once --headless; do
    caso "$modo sem o arquivo de configuração"
    roda "$modo" --ini "$PASTA/sub/VELMORA.INI"
    confere "sai com 2" status_e 2
    confere "nomeia o arquivo" \
        stderr_tem "velmora: arquivo de configuração $PASTA/sub/VELMORA.INI: arquivo não encontrado"
    confere "não cria o arquivo" nao_existe "$PASTA/sub/VELMORA.INI"
    confere "não cria a pasta" nao_existe "$PASTA/sub"

    caso "$modo com uma pasta no lugar do arquivo"
    mkdir "$PASTA/VELMORA.INI"
    roda "$modo" --ini "$PASTA/VELMORA.INI"
    confere "sai com 2" status_e 2
    confere "diz que é uma pasta" stderr_tem "$PASTA/VELMORA.INI: é uma pasta"

    caso "$modo com LOCAL vazio"
    escreve_ini "$PASTA/VELMORA.INI" "" "Velmora PDF" 1 0 ""
    roda "$modo" --ini "$PASTA/VELMORA.INI"
    confere "sai com 2" status_e 2
    confere "diz que LOCAL está vazio" stderr_tem "$PASTA/VELMORA.INI: LOCAL vazio"
    confere "o arquivo fica como estava" \
        iguais "$(cat -A "$PASTA/VELMORA.INI" | head -n 1)" 'LOCAL = ^M$'
done

if [[ $EUID -eq 0 ]]; then
    caso "--once sem poder ler o arquivo de configuração"
    escreve_ini "$PASTA/VELMORA.INI" "$PASTA/jobs/*.TXT" "Velmora PDF" 1 0 ""
    chmod 600 "$PASTA/VELMORA.INI"
    STATUS=0
    (cd "$PASTA" && como_nobody "$VELMORA" --once --ini "$PASTA/VELMORA.INI") \
        >"$SAIDA" 2>"$ERROS" || STATUS=$?
    confere "sai com 2" status_e 2
    confere "nomeia o arquivo" stderr_tem "velmora: arquivo de configuração $PASTA/VELMORA.INI: "
fi

# Without --ini the file is VELMORA.INI beside the executable, when that folder is writable.
caso "VELMORA.INI ao lado do executável"
mkdir "$PASTA/bin"
cp "$VELMORA" "$PASTA/bin/velmora"
STATUS=0
(cd "$PASTA" && "$PASTA/bin/velmora" --once) >"$SAIDA" 2>"$ERROS" || STATUS=$?
confere "sai com 2 sem o arquivo" status_e 2
confere "procura na pasta do executável" \
    stderr_tem "arquivo de configuração $PASTA/bin/VELMORA.INI: arquivo não encontrado"
escreve_ini "$PASTA/bin/VELMORA.INI" "$PASTA/jobs/*.TXT" "Velmora PDF" 1 0 ""
printf 'ao lado\r\n' >"$PASTA/jobs/A.TXT"
STATUS=0
(cd / && VELMORA_PDF_DIR="$PASTA/pdf" "$PASTA/bin/velmora" --once) >"$SAIDA" 2>"$ERROS" ||
    STATUS=$?
confere "sai com 0 com o arquivo" status_e 0
confere "usa o arquivo achado" existe "$PASTA/jobs/A.bak"

# An installed program's folder is not writable for its user: the file moves to the XDG place.
caso "VELMORA.INI em \$XDG_CONFIG_HOME quando a pasta do executável não é gravável"
mkdir -p "$PASTA/bin" "$PASTA/casa"
cp "$VELMORA" "$PASTA/bin/velmora"
if [[ $EUID -eq 0 ]]; then
    chown 65534:65534 "$PASTA/casa"
    rodar_como=(como_nobody)
else
    chmod 555 "$PASTA/bin"
    rodar_como=()
fi
STATUS=0
(cd "$PASTA" && "${rodar_como[@]}" env HOME="$PASTA/casa" XDG_CONFIG_HOME="$PASTA/config" \
    "$PASTA/bin/velmora" --once) >"$SAIDA" 2>"$ERROS" || STATUS=$?
confere "sai com 2" status_e 2
confere "procura em \$XDG_CONFIG_HOME/velmora" \
    stderr_tem "arquivo de configuração $PASTA/config/velmora/VELMORA.INI: arquivo não encontrado"
STATUS=0
(cd "$PASTA" && "${rodar_como[@]}" env -u XDG_CONFIG_HOME HOME="$PASTA/casa" \
    "$PASTA/bin/velmora" --headless) >"$SAIDA" 2>"$ERROS" || STATUS=$?
confere "sem XDG_CONFIG_HOME procura em ~/.config/velmora" \
    stderr_tem "arquivo de configuração $PASTA/casa/.config/velmora/VELMORA.INI: arquivo não encontrado"
chmod 755 "$PASTA/bin"

termina
