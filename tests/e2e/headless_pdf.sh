# velmora --once on the built-in printer "Velmora PDF": what lands in the PDFs, the backups, the
# log on stdout, and the jobs that must stay in the folder when they were not output.
source "$(dirname "${BASH_SOURCE[0]}")/headless_comum.sh"

for ferramenta in pdftotext pdfinfo; do
    command -v "$ferramenta" >/dev/null || { echo "SKIP: $ferramenta não está instalado"; exit 77; }
done

paginas() { pdfinfo "$1" 2>/dev/null | awk '/^Pages:/ {print $2}'; }

caso "três trabalhos com backup"
escreve_ini "$PASTA/VELMORA.INI" "$PASTA/jobs/REL*" "Velmora PDF" 1 0 ""
printf 'Rua da Concei\xe7\xe3o, 120\r\nTOTAL R$ 52,29\r\n' >"$PASTA/jobs/REL01.TXT"
printf 'segundo trabalho\n' >"$PASTA/jobs/rel02.txt"
printf 'sem ponto no nome\r\n' >"$PASTA/jobs/REL03"
printf 'backup antigo\r\n' >"$PASTA/jobs/REL01.bak"
printf 'nao casa com o padrao\r\n' >"$PASTA/jobs/OUTRO.TXT"
(cd "$PASTA" && TZ=BRT3 VELMORA_PDF_DIR="$PASTA/pdf" "$VELMORA" --once \
    --ini "$PASTA/VELMORA.INI") >"$SAIDA" 2>"$ERROS" && STATUS=0 || STATUS=$?
confere "sai com 0" status_e 0
confere "REL01.TXT virou REL01.bak" nao_existe "$PASTA/jobs/REL01.TXT"
confere "o backup antigo foi substituído" \
    iguais "$(cat "$PASTA/jobs/REL01.bak")" "$(printf 'Rua da Concei\xe7\xe3o, 120\r\nTOTAL R$ 52,29\r')"
confere "rel02.txt virou rel02.bak" existe "$PASTA/jobs/rel02.bak"
confere "REL03 virou REL03_.BAK" existe "$PASTA/jobs/REL03_.BAK"
confere "o que não casa fica" existe "$PASTA/jobs/OUTRO.TXT"
confere "PDF de REL01 com o texto em Windows-1252 decodificado" \
    pdf_tem "$PASTA/pdf/REL01.pdf" "Rua da Conceição, 120"
confere "PDF de rel02" pdf_tem "$PASTA/pdf/rel02.pdf" "segundo trabalho"
confere "PDF de REL03" pdf_tem "$PASTA/pdf/REL03.pdf" "sem ponto no nome"
confere "nenhum outro PDF" iguais "$(ls "$PASTA/pdf" | wc -l)" 3
confere "duas linhas \"impresso\" por trabalho, um trabalho depois do outro" iguais \
    "$(linhas_job)" "$(printf 'Arquivo %s impresso\n' \
        "$PASTA/jobs/REL01.TXT" "$PASTA/jobs/REL01.TXT" "$PASTA/jobs/REL03" "$PASTA/jobs/REL03" \
        "$PASTA/jobs/rel02.txt" "$PASTA/jobs/rel02.txt")"
confere "cada linha tem o carimbo local com o fuso" \
    iguais "$(grep -cvE '^[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}-03:00 ' "$SAIDA")" 0
confere "resumo do ciclo" stdout_tem "Ciclo concluído: 3 impresso(s), 0 falha(s)"

caso "quebras de página: form feed e EJECT"
escreve_ini "$PASTA/VELMORA.INI" "$PASTA/jobs/*.TXT" "velmora pdf" 0 0 ""
printf 'pagina um\r\nfim da um\f\r\npagina dois\r\n  eject  \r\npagina tres\r\n' \
    >"$PASTA/jobs/PAGINAS.TXT"
roda --once --ini "$PASTA/VELMORA.INI"
confere "sai com 0" status_e 0
confere "três páginas" iguais "$(paginas "$PASTA/pdf/PAGINAS.pdf")" 3
confere "a linha EJECT não é impressa" eval "! pdftotext '$PASTA/pdf/PAGINAS.pdf' - | grep -qi eject"
confere "sem backup, o trabalho é excluído" nao_existe "$PASTA/jobs/PAGINAS.TXT"
confere "\"impresso\" e depois \"excluido\"" iguais "$(linhas_job)" \
    "$(printf 'Arquivo %s %s\n' "$PASTA/jobs/PAGINAS.TXT" impresso "$PASTA/jobs/PAGINAS.TXT" excluido)"

caso "LOCAL relativo à pasta atual"
escreve_ini "$PASTA/VELMORA.INI" "jobs/*.TXT" "Velmora PDF" 1 0 ""
printf 'relativo\r\n' >"$PASTA/jobs/R.TXT"
roda --once --ini VELMORA.INI
confere "sai com 0" status_e 0
confere "backup na pasta relativa" existe "$PASTA/jobs/R.bak"
confere "o log usa o caminho como está em LOCAL" stdout_tem "Arquivo jobs/R.TXT impresso"

caso "pasta vigiada sem trabalhos, ou inexistente"
escreve_ini "$PASTA/VELMORA.INI" "$PASTA/nao-ha/*.TXT" "Velmora PDF" 1 0 ""
roda --once --ini "$PASTA/VELMORA.INI"
confere "sai com 0" status_e 0
confere "nada a registrar" iguais "$(linhas_job)" ""
confere "resumo do ciclo vazio" stdout_tem "Ciclo concluído: 0 impresso(s), 0 falha(s)"

caso "PARALELA = 1 com PORTA vazia: nada sai, o trabalho fica"
escreve_ini "$PASTA/VELMORA.INI" "$PASTA/jobs/*.TXT" "Velmora PDF" 1 1 ""
printf 'para a porta\r\n' >"$PASTA/jobs/P.TXT"
roda --once --ini "$PASTA/VELMORA.INI"
confere "sai com 1" status_e 1
confere "o trabalho fica" existe "$PASTA/jobs/P.TXT"
confere "nenhum backup" nao_existe "$PASTA/jobs/P.bak"
confere "linha de erro com o caminho" stdout_tem "Erro ao imprimir o arquivo $PASTA/jobs/P.TXT"
confere "nenhum \"impresso\"" nenhum_impresso

caso "saída bruta numa pasta que não existe: o trabalho fica"
escreve_ini "$PASTA/VELMORA.INI" "$PASTA/jobs/*.TXT" "Velmora PDF" 0 1 "$PASTA/nao-ha/porta"
printf 'para a porta\r\n' >"$PASTA/jobs/P.TXT"
roda --once --ini "$PASTA/VELMORA.INI"
confere "sai com 1" status_e 1
confere "o trabalho fica" existe "$PASTA/jobs/P.TXT"
confere "linha de erro" stdout_tem "Erro ao imprimir o arquivo $PASTA/jobs/P.TXT"
confere "nenhum arquivo temporário deixado" iguais "$(ls "$PASTA" | grep -c '^temp' || true)" 0

caso "saída bruta num arquivo: os bytes sem mudança"
escreve_ini "$PASTA/VELMORA.INI" "$PASTA/jobs/*.TXT" "Velmora PDF" 0 1 "$PASTA/porta.prn"
printf '\x1b@Nota N\xba 7\r\n\x0fcondensado\x12\r\nA\xe7\xfacar\f\r\n' >"$PASTA/esperado"
cp "$PASTA/esperado" "$PASTA/jobs/B.TXT"
roda --once --ini "$PASTA/VELMORA.INI"
confere "sai com 0" status_e 0
confere "a porta recebeu exatamente os bytes do trabalho" cmp -s "$PASTA/esperado" "$PASTA/porta.prn"
confere "trabalho excluído" nao_existe "$PASTA/jobs/B.TXT"
confere "nenhum PDF" iguais "$(ls "$PASTA/pdf" | wc -l)" 0

caso "saída bruta num FIFO cujo leitor vai embora: falha, sem matar o velmora"
escreve_ini "$PASTA/VELMORA.INI" "$PASTA/jobs/*.TXT" "Velmora PDF" 1 1 "$PASTA/fifo"
mkfifo "$PASTA/fifo"
# Far more than a pipe holds: the writes after the reader left meet a broken pipe.
head -c 2000000 /dev/zero | tr '\0' 'x' | fold -w 100 | sed 's/$/\r/' >"$PASTA/jobs/GRANDE.TXT"
head -c 1 "$PASTA/fifo" >/dev/null &
leitor=$!
roda --once --ini "$PASTA/VELMORA.INI"
wait "$leitor" || true
confere "sai com 1, não morto por SIGPIPE" status_e 1
confere "o trabalho fica" existe "$PASTA/jobs/GRANDE.TXT"
confere "linha de erro" stdout_tem "Erro ao imprimir o arquivo $PASTA/jobs/GRANDE.TXT"

caso "relatórios como o programa os diagramou, em A4"
escreve_ini "$PASTA/VELMORA.INI" "$PASTA/jobs/*.TXT" "Velmora PDF" 0 0 ""
printf 'primeira\nsegunda\n\tterceira\n' >"$PASTA/jobs/LF.TXT"
printf '\fRELATORIO PAG 1\r\nlinha 1\r\n\fRELATORIO PAG 2\r\nlinha 2\r\n' >"$PASTA/jobs/CABEC.TXT"
printf '\xda\xc4\xc4\xc4\xc4\xc4\xc4\xc4\xc4\xc4\xc4\xc4\xc4\xc4\xc4\xc4\xc4\xc4\xc4\xbf\r\n\xb3 Relat\xa2rio de a\x87\xc6o \xb3\r\n\xc0\xc4\xc4\xc4\xc4\xc4\xc4\xc4\xc4\xc4\xc4\xc4\xc4\xc4\xc4\xc4\xc4\xc4\xc4\xd9\r\n' \
    >"$PASTA/jobs/DOS.TXT"
largo=$(printf '%0160d' 7)
printf '%s\r\n' "$largo" >"$PASTA/jobs/LARGO.TXT"
for folha in 1 2; do
    for i in $(seq 1 66); do printf 'FOLHA %s LINHA %s' "$folha" "$i"; [[ $i == 66 ]] && printf '\f'; printf '\r\n'; done
done >"$PASTA/jobs/FORM.TXT"
(unset LC_ALL; export LC_PAPER=C; roda --once --ini "$PASTA/VELMORA.INI"; echo "$STATUS" >"$PASTA/status")
STATUS=$(<"$PASTA/status")
confere "sai com 0" status_e 0
confere "LF termina a linha" iguais "$(pdftotext -layout "$PASTA/pdf/LF.pdf" - | tr -d "\f" | sed 's/^ *//' | grep .)" \
    "$(printf 'primeira\nsegunda\nterceira')"
confere "o form feed abre cada página com o seu cabeçalho" iguais \
    "$(paginas "$PASTA/pdf/CABEC.pdf"):$(pdftotext -f 2 -l 2 "$PASTA/pdf/CABEC.pdf" - | head -1)" \
    "2:RELATORIO PAG 2"
confere "CP850 reconhecido pelo conteúdo" pdf_tem "$PASTA/pdf/DOS.pdf" "│ Relatório de ação │"
confere "caixa CP850" pdf_tem "$PASTA/pdf/DOS.pdf" "┌──────────────────┐"
confere "o título diz a página de código" \
    eval "pdfinfo '$PASTA/pdf/DOS.pdf' | grep -q '^Title: *DOS.TXT \[CP850\]$'"
confere "160 colunas: folha deitada e a linha inteira" iguais \
    "$(pdfinfo "$PASTA/pdf/LARGO.pdf" | grep -o '842 x 595 pts (A4)'):$(pdftotext "$PASTA/pdf/LARGO.pdf" - | head -1)" \
    "842 x 595 pts (A4):$largo"
confere "formulário de 66 linhas: uma folha por página" iguais \
    "$(paginas "$PASTA/pdf/FORM.pdf"):$(pdftotext -f 1 -l 1 "$PASTA/pdf/FORM.pdf" - | grep -c LINHA)" "2:66"

# Root reads every file: the unreadable job needs another user.
if [[ $EUID -eq 0 ]] || command -v setpriv >/dev/null; then
    caso "trabalho ilegível: a pergunta é respondida Não e o trabalho fica"
    escreve_ini "$PASTA/VELMORA.INI" "$PASTA/jobs/*.TXT" "Velmora PDF" 1 0 ""
    printf 'segredo\r\n' >"$PASTA/jobs/S.TXT"
    chmod 000 "$PASTA/jobs/S.TXT"
    if [[ $EUID -eq 0 ]]; then
        chown -R 65534:65534 "$PASTA/jobs" "$PASTA/pdf"
        chown 0:0 "$PASTA/jobs/S.TXT"
        rodar_como=(como_nobody)
    else
        rodar_como=()
    fi
    STATUS=0
    (cd "$PASTA" && "${rodar_como[@]}" env HOME="$PASTA" VELMORA_PDF_DIR="$PASTA/pdf" \
        "$VELMORA" --once --ini "$PASTA/VELMORA.INI") >"$SAIDA" 2>"$ERROS" || STATUS=$?
    confere "sai com 1" status_e 1
    confere "a pergunta aparece, respondida Não" \
        stdout_tem "Deu erro ao abrir o arquivo $PASTA/jobs/S.TXT. Tentar novamente ? Não"
    confere "o trabalho fica" existe "$PASTA/jobs/S.TXT"
    confere "nenhum \"impresso\"" nenhum_impresso
    confere "nenhum PDF" iguais "$(ls "$PASTA/pdf" | wc -l)" 0
fi

caso "largura fixa pelo escritor próprio; uma linha que precisa do Qt leva o documento ao Qt"
escreve_ini "$PASTA/VELMORA.INI" "$PASTA/jobs/*.TXT" "Velmora PDF" 0 0 ""
printf 'Fatura 123\r\nValor R$ 10,00\r\n' >"$PASTA/jobs/FIXO.TXT"
{
    printf 'antes da linha\r\n\fsegunda pagina\r\n'
    printf 'Shalom \xd7\xa9\xd7\x9c\xd7\x95\xd7\x9d\r\n'
} >"$PASTA/jobs/MISTO.TXT"
roda --once --ini "$PASTA/VELMORA.INI"
confere "sai com 0" status_e 0
confere "o escritor próprio gravou o de largura fixa" \
    eval "pdfinfo '$PASTA/pdf/FIXO.pdf' | grep -qE '^Producer: +Velmora$'"
confere "com o texto" pdf_tem "$PASTA/pdf/FIXO.pdf" "Valor R\$ 10,00"
confere "o Qt gravou o que tem hebraico" \
    eval "pdfinfo '$PASTA/pdf/MISTO.pdf' | grep -qE '^Producer: +Qt'"
confere "nada do que veio antes se perdeu" pdf_tem "$PASTA/pdf/MISTO.pdf" "antes da linha"
confere "nem a quebra de página" iguais "$(paginas "$PASTA/pdf/MISTO.pdf")" 2
confere "e o hebraico está lá" pdf_tem "$PASTA/pdf/MISTO.pdf" "שלום"

termina
