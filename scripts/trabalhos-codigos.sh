# Sample jobs as programs written for a dot-matrix or a PCL printer leave them: their printer
# codes inside the text. Sourced by the demo and by the end-to-end tests.

# An ESC/P sales report: reset, a logo as bit-image graphics, a double-width title, an underlined
# heading, a condensed table of 132 columns, totals in bold, and a word struck bold and another
# underlined by backspace.
trabalho_escp() {
    {
        printf '\033@'
        # Logo: 8-dot graphics, 60 columns of one byte each.
        printf '\033*\000\074\000'
        for _ in $(seq 1 60); do printf '\377'; done
        printf '\r\n'
        printf '\033W1PADARIA SAO JOAO\033W0\r\n'
        printf '\033-1Vendas por produto\033-0   Dezembro 2026\r\n\r\n'
        printf '\017'
        printf '%-8s %-40s %-20s %14s %14s %14s %16s\r\n' CODIGO PRODUTO FORNECEDOR QUANTIDADE \
            UNITARIO DESCONTO VALOR
        for i in $(seq 1 12); do
            printf '%08d %-40s %-20s %14d %14s %14s %16s\r\n' "$i" "Produto de exemplo $i" \
                "Fornecedor $((i % 5))" "$((i * 3))" "$i,50" "0,00" "$((i * i * 3)),00"
        done
        printf '\022\r\n'
        printf '\033ETOTAL GERAL                     1.950,00\033F\r\n'
        printf 'Conferido: S\bSI\bIM\bM   Pago: _\bN_\bA_\bO\r\n'
    } >"$1"
}

# A PCL report: reset, 66 lines a page, bold heading, a 16.67-cpi table, back to 10 cpi.
trabalho_pcl() {
    {
        printf '\033E\033&l66P\033(s3BESTOQUE POR DEPOSITO\033(s0B\r\n\r\n'
        printf '\033(s16.67H'
        for i in $(seq 1 8); do
            printf 'Item %03d   Deposito central   %6d unidades   Reposicao em %2d dias\r\n' \
                "$i" "$((i * 17))" "$((i + 2))"
        done
        printf '\033(s10H\r\nFim do relatorio\r\n\033E'
    } >"$1"
}
