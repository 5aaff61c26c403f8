#include "platform/win32/GuardaEstadoWin32.h"

#include "platform/win32/PastasWin32.h"
#include "platform/win32/SistemaArquivosWin32.h"
#include "platform/win32/TextoWin32.h"
#include "spooler/ErroPlataforma.h"

namespace velmora {

namespace {

constexpr const char* kNome = "\\VELMORA.ESTADO";

}  // namespace

std::string GuardaEstadoWin32::caminho() const {
    const std::string pasta = pastaDe(sArquivoIni_);
    if (pastaGravavel(pasta)) return pasta + kNome;
    return pastaReserva_ + kNome;
}

std::string GuardaEstadoWin32::le() {
    const std::string arquivo = caminho();
    SistemaArquivosWin32 arquivos;
    if (!arquivos.existe(arquivo)) return {};
    try {
        return arquivos.leTudo(arquivo);
    } catch (const ErroPlataforma& e) {
        throw ErroPlataforma(arquivo + ": " + e.what());
    }
}

void GuardaEstadoWin32::grava(const std::string& texto) {
    const std::string arquivo = caminho();
    criaPastas(pastaDe(arquivo));
    // Each process its own new file, so two spoolers writing at once never mix their lines.
    const std::string novo = arquivo + "." + std::to_string(::GetCurrentProcessId());
    SistemaArquivosWin32 arquivos;
    try {
        if (arquivos.existe(novo)) arquivos.exclui(novo);
        auto saida = arquivos.criaExclusivo(novo);
        saida->escreve(texto);
        saida->fecha();
    } catch (const ErroPlataforma& e) {
        ::DeleteFileW(larga(novo).c_str());
        throw ErroPlataforma(novo + ": " + e.what());
    }
    if (!::MoveFileExW(larga(novo).c_str(), larga(arquivo).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD erro = ::GetLastError();
        ::DeleteFileW(larga(novo).c_str());
        lancaErroWin32(erro, arquivo);
    }
}

}  // namespace velmora
