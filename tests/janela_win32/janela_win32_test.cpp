// The Windows window from its dialog resource, driven by the messages Windows sends it. Needs a
// display (under Wine: DISPLAY), since windows are real.

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <vector>

#include "app/nucleo/Textos.h"
#include "app/win32/BandejaWin32.h"
#include "app/win32/FrmVelmora.h"
#include "app/win32/GeometriaJanela.h"
#include "app/win32/recursos/IdsFrmVelmora.h"
#include "platform/win32/TextoWin32.h"
#include "tests/nucleo/apoio/FalsosJanela.h"
#include "tests/nucleo/apoio/ShellFalso.h"

namespace velmora {
namespace {

using teste::AvisoFalso;
using teste::MotorFalso;
using teste::PerguntaFalsa;
using teste::ShellFalso;

class JanelaWin32 : public ::testing::Test {
  protected:
    void SetUp() override {
        pasta = std::filesystem::temp_directory_path() /
                ("velmora-janela-" + std::to_string(::GetCurrentProcessId()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(pasta);
        std::filesystem::create_directories(pasta);
        sArquivoIni = utf8((pasta / "VELMORA.INI").wstring());
        janela = std::make_unique<FrmVelmora>(
            ::GetModuleHandleW(nullptr),
            DependenciasJanela{[this](ChaveTimer& timer) {
                                   auto novo = std::make_unique<MotorFalso>(timer);
                                   motor = novo.get();
                                   return novo;
                               },
                               pergunta, aviso, shell, [this] { ++encerramentos; }});
        motor->listaImpressoras = {{"Matricial", "LPT1:"}, {"Velmora PDF", ""}};
    }

    void TearDown() override {
        janela.reset();
        std::filesystem::remove_all(pasta);
    }

    void inicia() {
        janela->Form_Load();
        janela->Form_Initialize(sArquivoIni);
    }

    HWND dlg() const { return janela->hwnd(); }
    HWND item(int id) const { return ::GetDlgItem(dlg(), id); }
    std::wstring texto(int id) const {
        wchar_t buffer[512] = {};
        ::GetDlgItemTextW(dlg(), id, buffer, 512);
        return buffer;
    }
    void escreve(int id, const wchar_t* valor) { ::SetDlgItemTextW(dlg(), id, valor); }
    // The control's rectangle in the window's client coordinates.
    RECT lugar(int id) const {
        RECT r{};
        ::GetWindowRect(item(id), &r);
        ::MapWindowPoints(nullptr, dlg(), reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    std::string arquivo() const {
        std::ifstream entrada(pasta / "VELMORA.INI", std::ios::binary);
        std::ostringstream conteudo;
        conteudo << entrada.rdbuf();
        return conteudo.str();
    }
    int chamadas(OperacaoBandeja operacao) const {
        int n = 0;
        for (const auto& chamada : shell.chamadas) n += chamada.first == operacao;
        return n;
    }

    std::filesystem::path pasta;
    std::string sArquivoIni;
    ShellFalso shell;
    PerguntaFalsa pergunta;
    AvisoFalso aviso;
    MotorFalso* motor = nullptr;
    int encerramentos = 0;
    std::unique_ptr<FrmVelmora> janela;
};

TEST_F(JanelaWin32, GeometriaEmTwipsNaResolucaoDaTela) {
    // At 96 dpi, 15 twips a pixel; a control of a frame is placed from the frame's corner.
    aplicaGeometria(dlg(), 96);
    RECT cliente{};
    ::GetClientRect(dlg(), &cliente);
    EXPECT_EQ(cliente.right, 850);
    EXPECT_EQ(cliente.bottom, 342);
    EXPECT_EQ(lugar(IDC_TXTTEMPO).left, 1 + 408);
    EXPECT_EQ(lugar(IDC_TXTTEMPO).top, 236 + 16);
    // The combo box's field, not its list; never lower than its font allows.
    EXPECT_NEAR(lugar(IDC_CBIMPRESSORAS).bottom - lugar(IDC_CBIMPRESSORAS).top, 21, 3);

    // At 144 dpi everything grows by half, each distance rounded on its own.
    aplicaGeometria(dlg(), 144);
    ::GetClientRect(dlg(), &cliente);
    EXPECT_EQ(cliente.right, 1275);
    EXPECT_EQ(cliente.bottom, 513);
    EXPECT_EQ(lugar(IDC_TXTTEMPO).left, 2 + 612);
    EXPECT_EQ(lugar(IDC_TXTTEMPO).top, 354 + 24);
    EXPECT_NEAR(lugar(IDC_CBIMPRESSORAS).bottom - lugar(IDC_CBIMPRESSORAS).top, 32, 3);
}

TEST_F(JanelaWin32, CadaDicaNoSeuControleComOTextoExato) {
    COMBOBOXINFO combo{};
    combo.cbSize = sizeof(combo);
    ASSERT_TRUE(::GetComboBoxInfo(item(IDC_CBIMPRESSORAS), &combo));
    const std::map<HWND, std::wstring> esperadas = {
        {combo.hwndItem,
         L"Selecione a impressora que vai receber os arquivos enviados pelo Velmora"},
        {item(IDC_TXTARQUIVOS),
         L"Selecione a pasta/diret\u00f3rio e o tipo de arquivos que ser\u00e3 monitorados pelo "
         L"Velmora (Ex: C:\\VIDEO\\*.TXT;C:\\VIDEO\\*.PRN;). Separe cada tipo po um ; (ponto e "
         L"v\u00edrgula)"},
        {item(IDC_CHKGERARBACKUP),
         L"Marque esta op\u00e7\u00e3o se desejar gravar um backup dos arquivos que foram "
         L"impressos."},
        {item(IDC_CMDCONFIRMAR), L"Clique para gravar as configura\u00e7\u00f5es."},
    };

    std::map<HWND, std::wstring> achadas;
    const auto quantas = ::SendMessageW(janela->dicas(), TTM_GETTOOLCOUNT, 0, 0);
    for (WPARAM i = 0; i < static_cast<WPARAM>(quantas); ++i) {
        wchar_t buffer[1024] = {};
        TOOLINFOW ferramenta{};
        ferramenta.cbSize = TTTOOLINFOW_V2_SIZE;
        ferramenta.lpszText = buffer;
        ASSERT_TRUE(::SendMessageW(janela->dicas(), TTM_ENUMTOOLSW, i,
                                   reinterpret_cast<LPARAM>(&ferramenta)));
        ::SendMessageW(janela->dicas(), TTM_GETTEXTW, 1024, reinterpret_cast<LPARAM>(&ferramenta));
        achadas[reinterpret_cast<HWND>(ferramenta.uId)] = buffer;
    }
    EXPECT_EQ(achadas, esperadas);
}

TEST_F(JanelaWin32, TabPassaPelosCamposNaOrdemDoFormulario) {
    // The combo box takes the focus in its field, a child of its own.
    COMBOBOXINFO combo{};
    combo.cbSize = sizeof(combo);
    ASSERT_TRUE(::GetComboBoxInfo(item(IDC_CBIMPRESSORAS), &combo));
    const std::vector<HWND> ordem = {item(IDC_CBIMPRESSORAS),  item(IDC_TXTARQUIVOS),
                                     item(IDC_CHKGERARBACKUP), item(IDC_CHKPARALELA),
                                     item(IDC_TXTPORTA),       item(IDC_TXTTEMPO),
                                     item(IDC_TXTLOG),         item(IDC_CMDCONFIRMAR)};
    std::vector<HWND> visitados;
    HWND atual = ordem.back();
    for (std::size_t i = 0; i < ordem.size(); ++i) {
        atual = ::GetNextDlgTabItem(dlg(), atual, FALSE);
        visitados.push_back(atual == combo.hwndItem ? item(IDC_CBIMPRESSORAS) : atual);
    }
    EXPECT_EQ(visitados, ordem);
}

TEST_F(JanelaWin32, ConfirmarGravaOArquivoComAPortaDaImpressoraEVaiParaABandeja) {
    inicia();
    ASSERT_TRUE(::IsWindowVisible(dlg()));
    ASSERT_FALSE(janela->timerImpressao().ligado());
    EXPECT_EQ(::SendMessageW(item(IDC_CBIMPRESSORAS), CB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(texto(IDC_TXTPORTA), L"generica");
    EXPECT_EQ(texto(IDC_TXTTEMPO), L"5");

    // Raw output with no port: the port comes from the printer of that name, in any case.
    escreve(IDC_CBIMPRESSORAS, L"matricial");
    escreve(IDC_TXTARQUIVOS, L"C:\\Relat\u00f3rios\\*.TXT");
    escreve(IDC_TXTPORTA, L"");
    escreve(IDC_TXTTEMPO, L"2.5");
    ::CheckDlgButton(dlg(), IDC_CHKGERARBACKUP, BST_CHECKED);
    ::CheckDlgButton(dlg(), IDC_CHKPARALELA, BST_CHECKED);
    ::SendMessageW(item(IDC_CMDCONFIRMAR), BM_CLICK, 0, 0);

    EXPECT_EQ(arquivo(),
              "LOCAL = C:\\Relat\xc3\xb3rios\\*.TXT\r\nIMPRESSORA = matricial\r\nBACKUP = 1\r\n"
              "PARALELA = 1\r\nPORTA = LPT1\r\n");
    EXPECT_EQ(texto(IDC_TXTPORTA), L"LPT1");
    EXPECT_FALSE(::IsWindowVisible(dlg()));
    EXPECT_TRUE(janela->retiradaDaListaDeTarefas());
    EXPECT_TRUE(janela->timerImpressao().ligado());
    EXPECT_EQ(janela->timerImpressao().intervalo(), 2500u);
    ASSERT_EQ(shell.chamadas.size(), 1u);
    EXPECT_EQ(shell.chamadas[0].first, OperacaoBandeja::adiciona);
    EXPECT_EQ(shell.chamadas[0].second.dicaVisivel(), "Velmora ativo... ");
    EXPECT_EQ(shell.chamadas[0].second.janela, handle32(item(IDC_PICTICONEBANDEJA)));
    EXPECT_NE(shell.chamadas[0].second.icone, 0u);
    EXPECT_TRUE(aviso.avisos.empty());
}

TEST_F(JanelaWin32, ConfirmarSemPastaGravaMasFicaNaTelaImprimindo) {
    inicia();
    escreve(IDC_CBIMPRESSORAS, L"Matricial");
    escreve(IDC_TXTTEMPO, L"0,5");
    ::SendMessageW(item(IDC_CMDCONFIRMAR), BM_CLICK, 0, 0);

    EXPECT_EQ(arquivo(),
              "LOCAL = \r\nIMPRESSORA = Matricial\r\nBACKUP = 0\r\nPARALELA = 0\r\n"
              "PORTA = generica\r\n");
    EXPECT_EQ(texto(IDC_TXTTEMPO), L"3");
    EXPECT_TRUE(::IsWindowVisible(dlg()));
    EXPECT_FALSE(janela->retiradaDaListaDeTarefas());
    EXPECT_TRUE(janela->timerImpressao().ligado());
    EXPECT_EQ(janela->timerImpressao().intervalo(), 3000u);
    EXPECT_TRUE(shell.chamadas.empty());

    // With no tray entry to come back from, minimising keeps it on the taskbar.
    ::SendMessageW(dlg(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(::IsWindowVisible(dlg()));
    EXPECT_TRUE(::IsIconic(dlg()));
}

TEST_F(JanelaWin32, ArquivoIlegivelAvisaEEsperaConfiguracao) {
    // The file exists but another program holds it without sharing.
    std::ofstream(pasta / "VELMORA.INI") << "LOCAL = C:\\fila\\*.TXT\r\n";
    Handle travado(::CreateFileW((pasta / "VELMORA.INI").c_str(), GENERIC_READ, 0, nullptr,
                                 OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(travado.valido());
    motor->erroImpressoras = "spooler parado";
    inicia();
    ASSERT_EQ(aviso.avisos.size(), 1u);
    EXPECT_NE(aviso.avisos[0].find("VELMORA.INI"), std::string::npos) << aviso.avisos[0];
    EXPECT_TRUE(::IsWindowVisible(dlg()));
    EXPECT_FALSE(janela->timerImpressao().ligado());
    EXPECT_TRUE(shell.chamadas.empty());
    EXPECT_EQ(texto(IDC_TXTLOG), L"spooler parado\r\n") << "the reason the list is empty";
    EXPECT_EQ(encerramentos, 0);
}

TEST_F(JanelaWin32, ComArquivoNaBandejaCliqueMostraMinimizarEscondeFecharPergunta) {
    std::ofstream(pasta / "VELMORA.INI", std::ios::binary)
        << "LOCAL = C:\\fila\\*.TXT\r\nIMPRESSORA = Matricial\r\nBACKUP = \r\n"
           "PARALELA = 0\r\nPORTA = LPT2\r\n";
    inicia();
    EXPECT_FALSE(::IsWindowVisible(dlg()));
    EXPECT_TRUE(janela->retiradaDaListaDeTarefas());
    EXPECT_TRUE(janela->timerImpressao().ligado());
    EXPECT_EQ(janela->timerImpressao().intervalo(), 3000u);
    EXPECT_EQ(texto(IDC_CBIMPRESSORAS), L"Matricial");
    EXPECT_EQ(texto(IDC_TXTPORTA), L"LPT2");
    EXPECT_EQ(::IsDlgButtonChecked(dlg(), IDC_CHKGERARBACKUP), static_cast<UINT>(BST_UNCHECKED));
    ASSERT_EQ(chamadas(OperacaoBandeja::adiciona), 1);
    EXPECT_EQ(shell.chamadas[0].second.dicaVisivel(), "Velmora ativo... ");

    // The shell's callback on the picture box: a button press does nothing, its release shows
    // the window.
    HWND pict = item(IDC_PICTICONEBANDEJA);
    ::SendMessageW(pict, WM_MOUSEMOVE, 1, WM_LBUTTONDOWN);
    EXPECT_FALSE(::IsWindowVisible(dlg()));
    ::SendMessageW(pict, WM_MOUSEMOVE, 1, WM_LBUTTONUP);
    EXPECT_TRUE(::IsWindowVisible(dlg()));
    EXPECT_FALSE(::IsIconic(dlg()));
    ::SendMessageW(dlg(), WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_FALSE(janela->timerImpressao().ligado()) << "looking at it stops printing";

    // Minimised: paused in the tray, still not printing.
    ::SendMessageW(dlg(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_FALSE(::IsWindowVisible(dlg()));
    EXPECT_FALSE(janela->timerImpressao().ligado());

    // Explorer restarts: the entry comes back.
    ::SendMessageW(dlg(), ::RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_EQ(chamadas(OperacaoBandeja::adiciona), 2);

    // Closing asks; No keeps everything as it was.
    pergunta.resposta = false;
    ::SendMessageW(dlg(), WM_CLOSE, 0, 0);
    ASSERT_EQ(pergunta.perguntas.size(), 1u);
    EXPECT_EQ(pergunta.perguntas[0], textos::kPerguntaEncerrar);
    EXPECT_TRUE(::IsWindow(dlg()));
    EXPECT_EQ(chamadas(OperacaoBandeja::remove), 0);
    EXPECT_EQ(encerramentos, 0);

    // Yes removes the tray entry of the picture box, then ends.
    pergunta.resposta = true;
    ::SendMessageW(dlg(), WM_CLOSE, 0, 0);
    ASSERT_EQ(chamadas(OperacaoBandeja::remove), 1);
    EXPECT_EQ(shell.chamadas.back().second.janela, handle32(pict));
    EXPECT_FALSE(::IsWindow(dlg()));
    EXPECT_EQ(encerramentos, 1);
}

TEST_F(JanelaWin32, FimDaSessaoPerguntaENaoCancelaSoComSim) {
    inicia();
    pergunta.resposta = false;
    EXPECT_EQ(::SendMessageW(dlg(), WM_QUERYENDSESSION, 0, 0), FALSE) << "No holds the session";
    EXPECT_TRUE(::IsWindow(dlg()));

    pergunta.resposta = true;
    EXPECT_EQ(::SendMessageW(dlg(), WM_QUERYENDSESSION, 0, 0), TRUE);
    EXPECT_EQ(chamadas(OperacaoBandeja::remove), 1);
    ::SendMessageW(dlg(), WM_ENDSESSION, TRUE, 0);
    EXPECT_FALSE(::IsWindow(dlg()));
    EXPECT_EQ(encerramentos, 1);
    EXPECT_EQ(pergunta.perguntas.size(), 2u);
}

}  // namespace
}  // namespace velmora
