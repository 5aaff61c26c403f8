#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

// The icon and version resources of every Windows program, read back from the built files the
// way Explorer reads them (VELMORA_PROGRAMAS and VELMORA_VERSAO come from tests/CMakeLists.txt).

namespace {

const std::vector<std::wstring> kProgramas = {VELMORA_PROGRAMAS};
constexpr WORD kPortuguesBrasil = MAKELANGID(LANG_PORTUGUESE, SUBLANG_PORTUGUESE_BRAZILIAN);

std::wstring larga(const char* texto) {
    return std::wstring(texto, texto + std::char_traits<char>::length(texto));
}

std::wstring nomeDoArquivo(const std::wstring& caminho) {
    return caminho.substr(caminho.find_last_of(L"\\/") + 1);
}

class Versao {
  public:
    explicit Versao(const std::wstring& arquivo) {
        DWORD nada = 0;
        dados_.resize(::GetFileVersionInfoSizeW(arquivo.c_str(), &nada));
        ok_ = !dados_.empty() &&
              ::GetFileVersionInfoW(arquivo.c_str(), 0, static_cast<DWORD>(dados_.size()),
                                    dados_.data());
    }
    bool ok() const { return ok_; }
    const void* bloco(const std::wstring& nome) {
        void* valor = nullptr;
        UINT tamanho = 0;
        if (!::VerQueryValueW(dados_.data(), nome.c_str(), &valor, &tamanho)) return nullptr;
        return valor;
    }
    std::wstring texto(const std::wstring& nome) {
        auto* valor = static_cast<const wchar_t*>(bloco(L"\\StringFileInfo\\041604B0\\" + nome));
        return valor ? valor : L"(ausente)";
    }

  private:
    std::vector<char> dados_;
    bool ok_ = false;
};

TEST(RecursosPrograma, VersaoDoProjetoEmPortuguesDoBrasil) {
    unsigned maior = 0, menor = 0, revisao = 0;
    ASSERT_EQ(std::sscanf(VELMORA_VERSAO, "%u.%u.%u", &maior, &menor, &revisao), 3);
    for (const auto& programa : kProgramas) {
        SCOPED_TRACE(nomeDoArquivo(programa).c_str());
        Versao versao(programa);
        ASSERT_TRUE(versao.ok()) << "sem VERSIONINFO, erro " << ::GetLastError();

        auto* fixa = static_cast<const VS_FIXEDFILEINFO*>(versao.bloco(L"\\"));
        ASSERT_NE(fixa, nullptr);
        EXPECT_EQ(fixa->dwSignature, 0xFEEF04BDu);
        EXPECT_EQ(fixa->dwFileVersionMS, (maior << 16) | menor);
        EXPECT_EQ(fixa->dwFileVersionLS, revisao << 16);
        EXPECT_EQ(fixa->dwProductVersionMS, fixa->dwFileVersionMS);
        EXPECT_EQ(fixa->dwFileType, static_cast<DWORD>(VFT_APP));

        auto* traducao = static_cast<const WORD*>(versao.bloco(L"\\VarFileInfo\\Translation"));
        ASSERT_NE(traducao, nullptr);
        EXPECT_EQ(traducao[0], kPortuguesBrasil);
        EXPECT_EQ(traducao[1], 1200);  // UTF-16

        EXPECT_EQ(versao.texto(L"CompanyName"), L"Velmora");
        EXPECT_EQ(versao.texto(L"ProductName"), L"Velmora");
        EXPECT_EQ(versao.texto(L"FileVersion"), larga(VELMORA_VERSAO));
        EXPECT_EQ(versao.texto(L"ProductVersion"), larga(VELMORA_VERSAO));
        EXPECT_EQ(versao.texto(L"OriginalFilename"), nomeDoArquivo(programa));
        const std::wstring descricao = versao.texto(L"FileDescription");
        EXPECT_EQ(descricao.rfind(L"Velmora", 0), 0u) << "FileDescription";
        // UTF-8 taken for Windows-1252 would show "Ã" for every accented letter.
        EXPECT_EQ(descricao.find(L'\u00C3'), std::wstring::npos);
    }
}

#pragma pack(push, 2)
struct EntradaGrupoIcone {
    BYTE largura, altura, cores, reservado;
    WORD planos, bitsPorPixel;
    DWORD bytes;
    WORD id;
};
struct GrupoIcone {
    WORD reservado, tipo, quantos;
    EntradaGrupoIcone entradas[1];
};
#pragma pack(pop)

TEST(RecursosPrograma, IconeDoProgramaComId1Em64x64De16Cores) {
    for (const auto& programa : kProgramas) {
        SCOPED_TRACE(nomeDoArquivo(programa).c_str());
        HMODULE modulo = ::LoadLibraryExW(
            programa.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(modulo, nullptr) << "erro " << ::GetLastError();

        HRSRC recurso =
            ::FindResourceExW(modulo, RT_GROUP_ICON, MAKEINTRESOURCEW(1), kPortuguesBrasil);
        ASSERT_NE(recurso, nullptr) << "sem o ícone 1 em português do Brasil";
        auto* grupo =
            static_cast<const GrupoIcone*>(::LockResource(::LoadResource(modulo, recurso)));
        ASSERT_NE(grupo, nullptr);
        ASSERT_EQ(grupo->quantos, 1);
        EXPECT_EQ(grupo->entradas[0].largura, 64);
        EXPECT_EQ(grupo->entradas[0].altura, 64);
        EXPECT_EQ(grupo->entradas[0].cores, 16);
        EXPECT_EQ(grupo->entradas[0].bitsPorPixel, 4);

        // The image itself: a 64 × 64, 4-bit bitmap (its height counts the mask too).
        HRSRC imagem = ::FindResourceExW(modulo, RT_ICON, MAKEINTRESOURCEW(grupo->entradas[0].id),
                                         kPortuguesBrasil);
        ASSERT_NE(imagem, nullptr);
        auto* cabecalho =
            static_cast<const BITMAPINFOHEADER*>(::LockResource(::LoadResource(modulo, imagem)));
        ASSERT_NE(cabecalho, nullptr);
        EXPECT_EQ(cabecalho->biWidth, 64);
        EXPECT_EQ(cabecalho->biHeight, 128);
        EXPECT_EQ(cabecalho->biBitCount, 4);
        ::FreeLibrary(modulo);
    }
}

}  // namespace
