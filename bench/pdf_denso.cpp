// Writes a text report through the PDF writer as the printer path would lay it out: A4, Courier
// 11 pt, a quarter-inch margin, a page per form feed or per full page. The peer in
// pdf_denso.py runs texttopdf on the same file.
//
//     velmora_bench_pdf RELATORIO.TXT SAIDA.PDF
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/pdf/EscritorPdf.h"
#include "spooler/ErroPlataforma.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "uso: %s RELATORIO.TXT SAIDA.PDF\n", argv[0]);
        return 2;
    }
    std::ifstream entrada(argv[1], std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(entrada), {}};
    if (!entrada && !entrada.eof()) {
        std::fprintf(stderr, "não foi possível ler %s\n", argv[1]);
        return 1;
    }
    const std::string pasta = "/usr/share/fonts/opentype/urw-base35/NimbusMonoPS-";
    constexpr double kLargura = 595.28, kAltura = 841.89, kMargem = 18, kTamanho = 11;
    constexpr double kPasso = 1.133 * kTamanho;
    try {
        velmora::EscritorPdf pdf(argv[2], argv[1],
                                 {pasta + "Regular.otf", pasta + "Bold.otf", pasta + "Italic.otf",
                                  pasta + "BoldItalic.otf"});
        const double subida = pdf.medidas(velmora::Face::normal).ascendente * kTamanho;
        double y = kAltura;  // past the end: the first line opens a page
        bool quebra = false;
        std::u32string linha;
        for (std::size_t i = 0; i <= bytes.size(); ++i) {
            const char c = i < bytes.size() ? bytes[i] : '\n';
            if (c != '\n' && c != '\f') {
                if (c != '\r') linha += static_cast<unsigned char>(c);
                continue;
            }
            if (!linha.empty()) {
                if (quebra || y + kPasso > kAltura - kMargem) {
                    pdf.novaPagina(kLargura, kAltura);
                    y = kMargem;
                    quebra = false;
                }
                pdf.escreve({linha, kMargem, y + subida, velmora::Face::normal, kTamanho});
                linha.clear();
            }
            y += kPasso;
            if (c == '\f') quebra = true;
        }
        pdf.termina();
    } catch (const velmora::ErroPlataforma& erro) {
        std::fprintf(stderr, "%s\n", erro.what());
        return 1;
    }
    return 0;
}
