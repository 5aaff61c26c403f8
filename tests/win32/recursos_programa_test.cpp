#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

// The icon and version resources of every Windows program, read back from the built files the
// way Explorer reads them (VELMORA_PROGRAMAS, VELMORA_VERSAO and VELMORA_ICONE come from
// tests/CMakeLists.txt).

namespace {

const std::vector<std::wstring> kProgramas = {VELMORA_PROGRAMAS};
constexpr WORD kPortuguesBrasil = MAKELANGID(LANG_PORTUGUESE, SUBLANG_PORTUGUESE_BRAZILIAN);

std::wstring larga(const char* texto) {
    return std::wstring(texto, texto + std::char_traits<char>::length(texto));
}

// The one image of an .ico file, without the file's header and directory.
std::string imagemDoIco(const char* caminho) {
    std::ifstream arquivo(caminho, std::ios::binary);
    std::string ico((std::istreambuf_iterator<char>(arquivo)), std::istreambuf_iterator<char>());
    DWORD tamanho = 0, inicio = 0;
    if (ico.size() < 22) return "(ícone ilegível: " + std::string(caminho) + ")";
    std::memcpy(&tamanho, ico.data() + 14, 4);
    std::memcpy(&inicio, ico.data() + 18, 4);
    return ico.substr(inicio, tamanho);
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

// A program file opened for its resources only.
class RecursosDoPrograma {
  public:
    explicit RecursosDoPrograma(const std::wstring& arquivo)
        : modulo_(::LoadLibraryExW(arquivo.c_str(), nullptr,
                                   LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {}
    ~RecursosDoPrograma() {
        if (modulo_) ::FreeLibrary(modulo_);
    }
    RecursosDoPrograma(const RecursosDoPrograma&) = delete;
    RecursosDoPrograma& operator=(const RecursosDoPrograma&) = delete;

    HMODULE modulo() const { return modulo_; }
    // The bytes of a resource in Portuguese (Brazil); empty when there is none.
    std::string dados(LPCWSTR tipo, WORD id) const {
        HRSRC recurso = ::FindResourceExW(modulo_, tipo, MAKEINTRESOURCEW(id), kPortuguesBrasil);
        if (!recurso) return {};
        auto* bytes = static_cast<const char*>(::LockResource(::LoadResource(modulo_, recurso)));
        return bytes ? std::string(bytes, ::SizeofResource(modulo_, recurso)) : std::string();
    }

  private:
    HMODULE modulo_;
};

TEST(RecursosPrograma, IconeDoProgramaComId1Em64x64De16Cores) {
    for (const auto& programa : kProgramas) {
        SCOPED_TRACE(nomeDoArquivo(programa).c_str());
        RecursosDoPrograma recursos(programa);
        ASSERT_NE(recursos.modulo(), nullptr) << "erro " << ::GetLastError();

        const std::string dadosDoGrupo = recursos.dados(RT_GROUP_ICON, 1);
        ASSERT_GE(dadosDoGrupo.size(), sizeof(GrupoIcone))
            << "sem o ícone 1 em português do Brasil";
        const auto* grupo = reinterpret_cast<const GrupoIcone*>(dadosDoGrupo.data());
        ASSERT_EQ(grupo->quantos, 1);
        const auto& entrada = grupo->entradas[0];
        EXPECT_EQ(entrada.largura, 64);
        EXPECT_EQ(entrada.altura, 64);
        EXPECT_EQ(entrada.cores, 16);
        EXPECT_EQ(entrada.bitsPorPixel, 4);
        EXPECT_EQ(recursos.dados(RT_ICON, entrada.id), imagemDoIco(VELMORA_ICONE));
    }
}

// Every script linked into a program numbers its icons' images from 1: two of them holding the
// same image id make the linker keep both, and one icon then shows another's picture.
TEST(RecursosPrograma, CadaImagemDeIconeUmaVez) {
    for (const auto& programa : kProgramas) {
        SCOPED_TRACE(nomeDoArquivo(programa).c_str());
        RecursosDoPrograma recursos(programa);
        ASSERT_NE(recursos.modulo(), nullptr) << "erro " << ::GetLastError();
        std::vector<std::pair<ULONG_PTR, WORD>> imagens;
        ::EnumResourceNamesW(
            recursos.modulo(), RT_ICON,
            [](HMODULE m, LPCWSTR tipo, LPWSTR nome, LONG_PTR lista) -> BOOL {
                return ::EnumResourceLanguagesW(
                    m, tipo, nome,
                    [](HMODULE, LPCWSTR, LPCWSTR nome, WORD idioma, LONG_PTR lista) -> BOOL {
                        reinterpret_cast<std::vector<std::pair<ULONG_PTR, WORD>>*>(lista)
                            ->emplace_back(reinterpret_cast<ULONG_PTR>(nome), idioma);
                        return TRUE;
                    },
                    lista);
            },
            reinterpret_cast<LONG_PTR>(&imagens));
        EXPECT_FALSE(imagens.empty());
        std::sort(imagens.begin(), imagens.end());
        EXPECT_EQ(std::adjacent_find(imagens.begin(), imagens.end()), imagens.end())
            << "uma imagem de ícone aparece duas vezes";
    }
}

}  // namespace
