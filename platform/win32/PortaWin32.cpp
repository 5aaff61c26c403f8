#include "platform/win32/PortaWin32.h"

#include <windows.h>

#include <winspool.h>

#include <algorithm>
#include <cctype>

#include "platform/win32/SistemaArquivosWin32.h"
#include "platform/win32/TextoWin32.h"
#include "spooler/ErroPlataforma.h"

namespace velmora {

namespace {

class Impressora {
  public:
    explicit Impressora(const std::string& nome) {
        std::wstring largo = larga(nome);
        if (!::OpenPrinterW(largo.data(), &h_, nullptr))
            lancaErroWin32(::GetLastError(), "impressora \"" + nome + "\"");
    }
    ~Impressora() { ::ClosePrinter(h_); }
    Impressora(const Impressora&) = delete;
    Impressora& operator=(const Impressora&) = delete;
    HANDLE get() const { return h_; }

  private:
    HANDLE h_ = nullptr;
};

}  // namespace

bool ehDispositivo(const std::string& porta) {
    std::string nome;
    for (char c : porta)
        nome.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    if (nome.ends_with(':')) nome.pop_back();
    if (nome == "PRN" || nome == "AUX" || nome == "NUL") return true;
    return nome.size() == 4 && (nome.starts_with("LPT") || nome.starts_with("COM")) &&
           nome[3] >= '1' && nome[3] <= '9';
}

void enviaBrutoImpressora(const std::string& arquivo, const std::string& impressora,
                          const std::string& titulo) {
    const std::string dados = SistemaArquivosWin32().leTudo(arquivo);
    const std::string prefixo = "impressora \"" + impressora + "\"";
    Impressora fila(impressora);
    std::wstring nome = larga(titulo);
    std::wstring tipo = L"RAW";
    DOC_INFO_1W documento{nome.data(), nullptr, tipo.data()};
    if (::StartDocPrinterW(fila.get(), 1, reinterpret_cast<BYTE*>(&documento)) == 0)
        lancaErroWin32(::GetLastError(), prefixo);
    std::size_t enviados = 0;
    bool ok = ::StartPagePrinter(fila.get()) != 0;
    while (ok && enviados < dados.size()) {
        const DWORD pedaco =
            static_cast<DWORD>(std::min<std::size_t>(dados.size() - enviados, 1 << 20));
        DWORD escritos = 0;
        ok = ::WritePrinter(fila.get(), const_cast<char*>(dados.data() + enviados), pedaco,
                            &escritos) != 0 &&
             escritos > 0;
        enviados += escritos;
    }
    const DWORD erro = ::GetLastError();
    ok = ok && ::EndPagePrinter(fila.get()) != 0;
    if (!ok) {
        ::EndDocPrinter(fila.get());
        lancaErroWin32(erro, prefixo + ": " + std::to_string(enviados) + " de " +
                                 std::to_string(dados.size()) + " bytes enviados");
    }
    if (!::EndDocPrinter(fila.get())) lancaErroWin32(::GetLastError(), prefixo);
}

void copiaParaPorta(const std::string& arquivo, const std::string& porta) {
    const bool caminho = porta.find_first_of("\\/:") != std::string::npos;
    if (!caminho && !ehDispositivo(porta) && !SistemaArquivosWin32().existe(porta))
        throw ErroPlataforma("porta " + porta +
                             ": não é impressora instalada, dispositivo nem arquivo existente");
    if (!::CopyFileW(larga(arquivo).c_str(), larga(porta).c_str(), FALSE))
        lancaErroWin32(::GetLastError(), "porta " + porta);
}

}  // namespace velmora
