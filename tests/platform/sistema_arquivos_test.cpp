#include "platform/posix/SistemaArquivosPosix.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "apoio/MotivoDaFalha.h"
#include "apoio/PastaTemporaria.h"
#include "spooler/ErroPlataforma.h"

namespace velmora {
namespace {

using Nomes = std::vector<std::string>;

// Runs `passo` as an unprivileged user (in a child process when this one is root, since root
// reads everything) and returns the reason it failed with.
std::string motivoComoUsuarioComum(const std::string& pastaVisivel,
                                   const std::function<void()>& passo) {
    if (::geteuid() != 0) return motivoDe(passo);
    ::chmod(pastaVisivel.c_str(), 0755);
    int canal[2];
    if (::pipe(canal) != 0) return "(pipe falhou)";
    pid_t filho = ::fork();
    if (filho == 0) {
        ::close(canal[0]);
        std::string motivo = "(setuid falhou)";
        if (::setgid(65534) == 0 && ::setuid(65534) == 0) motivo = motivoDe(passo);
        ssize_t n = ::write(canal[1], motivo.data(), motivo.size());
        ::_exit(n < 0 ? 1 : 0);
    }
    ::close(canal[1]);
    std::string motivo;
    char buffer[256];
    ssize_t n;
    while ((n = ::read(canal[0], buffer, sizeof buffer)) > 0) motivo.append(buffer, n);
    ::close(canal[0]);
    ::waitpid(filho, nullptr, 0);
    return motivo;
}

class SistemaArquivosTest : public ::testing::Test {
  protected:
    PastaTemporaria pasta;
    SistemaArquivosPosix fs;
};

// ---- listing ------------------------------------------------------------------------------------

TEST_F(SistemaArquivosTest, ListaSoArquivosComunsVisiveisQueCasamSemDistinguirCaixa) {
    gravaArquivo(pasta / "b.txt", "b");
    gravaArquivo(pasta / "A.TXT", "a");
    gravaArquivo(pasta / "c.Txt", "c");
    gravaArquivo(pasta / "d.prn", "d");
    gravaArquivo(pasta / ".oculto.txt", "o");
    std::filesystem::create_directory(pasta / "pasta.txt");
    std::filesystem::create_symlink(pasta / "A.TXT", pasta / "link.txt");
    std::filesystem::create_symlink(pasta / "pasta.txt", pasta / "linkpasta.txt");
    std::filesystem::create_symlink(pasta / "sumiu", pasta / "quebrado.txt");
    ASSERT_EQ(::mkfifo((pasta / "fila.txt").c_str(), 0600), 0);

    EXPECT_EQ(fs.lista(pasta / "*.txt"), (Nomes{"A.TXT", "b.txt", "c.Txt"}));
    EXPECT_EQ(fs.lista(pasta / "?.PRN"), (Nomes{"d.prn"}));
    EXPECT_EQ(fs.lista(pasta / "A.TXT"), (Nomes{"A.TXT"}));
}

TEST_F(SistemaArquivosTest, ListaEmOrdemDeNomeQualquerQueSejaAOrdemDeCriacao) {
    Nomes esperados;
    for (int i = 60; i >= 1; --i) {
        std::string nome = "JOB" + std::to_string(i) + ".TXT";
        gravaArquivo(pasta / nome, "x");
        esperados.push_back(nome);
    }
    std::sort(esperados.begin(), esperados.end());
    EXPECT_EQ(fs.lista(pasta / "*.TXT"), esperados);
}

TEST_F(SistemaArquivosTest, ColchetesValemPorSiMesmos) {
    gravaArquivo(pasta / "[a].txt", "1");
    gravaArquivo(pasta / "a.txt", "2");
    EXPECT_EQ(fs.lista(pasta / "[a].txt"), (Nomes{"[a].txt"}));
}

TEST_F(SistemaArquivosTest, PastaQueNaoExisteDaListaVazia) {
    EXPECT_TRUE(fs.lista(pasta / "nao-existe/*.txt").empty());
    gravaArquivo(pasta / "arquivo", "x");
    EXPECT_TRUE(fs.lista(pasta / "arquivo/*.txt").empty());
    EXPECT_TRUE(fs.lista(pasta.caminho()).empty());
}

TEST_F(SistemaArquivosTest, PadraoSemPastaListaAPastaAtual) {
    gravaArquivo(pasta / "REL01.TXT", "x");
    std::filesystem::path antes = std::filesystem::current_path();
    std::filesystem::current_path(pasta.caminho());
    Nomes nomes = fs.lista("*.txt");
    bool existe = fs.existe("REL01.TXT");
    std::filesystem::current_path(antes);
    EXPECT_EQ(nomes, (Nomes{"REL01.TXT"}));
    EXPECT_TRUE(existe);
}

TEST_F(SistemaArquivosTest, PastaSemPermissaoDeLeituraFalhaComOMotivo) {
    std::filesystem::create_directory(pasta / "fechada");
    gravaArquivo(pasta / "fechada/a.txt", "x");
    ::chmod((pasta / "fechada").c_str(), 0);
    EXPECT_EQ(motivoComoUsuarioComum(pasta.caminho(), [&] { fs.lista(pasta / "fechada/*.txt"); }),
              "Permission denied");
}

// ---- reading ------------------------------------------------------------------------------------

TEST_F(SistemaArquivosTest, LeTodosOsBytesSemMudarNenhum) {
    gravaArquivo(pasta / "job.txt", todosOsBytes());
    EXPECT_EQ(fs.leTudo(pasta / "job.txt"), todosOsBytes());
    gravaArquivo(pasta / "vazio.txt", "");
    EXPECT_EQ(fs.leTudo(pasta / "vazio.txt"), "");
}

TEST_F(SistemaArquivosTest, LeArquivoGrandeInteiro) {
    std::string grande;
    grande.reserve(20 * 1024 * 1024 + 7);
    for (std::size_t i = 0; grande.size() < 20 * 1024 * 1024 + 7; ++i) {
        grande += "linha " + std::to_string(i) + "\r\n";
    }
    gravaArquivo(pasta / "grande.txt", grande);
    EXPECT_TRUE(fs.leTudo(pasta / "grande.txt") == grande);
}

TEST_F(SistemaArquivosTest, RecusaLerLinkPastaEFifoDizendoPorque) {
    gravaArquivo(pasta / "alvo.txt", "segredo");
    std::filesystem::create_symlink(pasta / "alvo.txt", pasta / "link.txt");
    std::filesystem::create_directory(pasta / "pasta.txt");
    ASSERT_EQ(::mkfifo((pasta / "fila.txt").c_str(), 0600), 0);

    EXPECT_EQ(motivoDe([&] { fs.leTudo(pasta / "link.txt"); }), "é um link simbólico");
    EXPECT_EQ(motivoDe([&] { fs.leTudo(pasta / "pasta.txt"); }), "não é um arquivo comum");
    EXPECT_EQ(motivoDe([&] { fs.leTudo(pasta / "fila.txt"); }), "não é um arquivo comum");
    EXPECT_EQ(motivoDe([&] { fs.leTudo(pasta / "sumiu.txt"); }), "No such file or directory");
}

TEST_F(SistemaArquivosTest, ArquivoSemPermissaoDeLeituraFalhaComOMotivo) {
    gravaArquivo(pasta / "fechado.txt", "x");
    ::chmod((pasta / "fechado.txt").c_str(), 0);
    EXPECT_EQ(motivoComoUsuarioComum(pasta.caminho(), [&] { fs.leTudo(pasta / "fechado.txt"); }),
              "Permission denied");
}

// ---- info, existence, delete, rename ------------------------------------------------------------

TEST_F(SistemaArquivosTest, InfoDaTamanhoEHoraSoDeArquivoComum) {
    gravaArquivo(pasta / "a.txt", "12345");
    timespec horas[2] = {{1'700'000'000, 123'456'789}, {1'700'000'000, 123'456'789}};
    ASSERT_EQ(::utimensat(AT_FDCWD, (pasta / "a.txt").c_str(), horas, 0), 0);
    std::filesystem::create_symlink(pasta / "a.txt", pasta / "link.txt");

    auto info = fs.info(pasta / "a.txt");
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->tamanho, 5u);
    EXPECT_EQ(info->modificadoNs, 1'700'000'000'123'456'789);
    EXPECT_FALSE(fs.info(pasta / "link.txt").has_value());
    EXPECT_FALSE(fs.info(pasta.caminho()).has_value());
    EXPECT_FALSE(fs.info(pasta / "sumiu.txt").has_value());
}

TEST_F(SistemaArquivosTest, ExisteValeParaArquivosELinksNaoParaPastas) {
    gravaArquivo(pasta / "a.txt", "x");
    std::filesystem::create_symlink(pasta / "sumiu", pasta / "quebrado.bak");
    std::filesystem::create_directory(pasta / "p.bak");
    EXPECT_TRUE(fs.existe(pasta / "a.txt"));
    EXPECT_TRUE(fs.existe(pasta / "quebrado.bak"));
    EXPECT_FALSE(fs.existe(pasta / "p.bak"));
    EXPECT_FALSE(fs.existe(pasta / "sumiu"));
}

TEST_F(SistemaArquivosTest, ExcluiOLinkENuncaOAlvo) {
    gravaArquivo(pasta / "alvo.txt", "fica");
    std::filesystem::create_symlink(pasta / "alvo.txt", pasta / "link.bak");
    fs.exclui(pasta / "link.bak");
    EXPECT_FALSE(fs.existe(pasta / "link.bak"));
    EXPECT_EQ(leArquivo(pasta / "alvo.txt"), "fica");
    EXPECT_EQ(motivoDe([&] { fs.exclui(pasta / "link.bak"); }), "No such file or directory");
}

TEST_F(SistemaArquivosTest, RenomeiaNaMesmaPastaOuDizPorqueNao) {
    gravaArquivo(pasta / "REL01.TXT", "conteudo");
    fs.renomeia(pasta / "REL01.TXT", pasta / "REL01.bak");
    EXPECT_FALSE(fs.existe(pasta / "REL01.TXT"));
    EXPECT_EQ(leArquivo(pasta / "REL01.bak"), "conteudo");
    EXPECT_EQ(motivoDe([&] { fs.renomeia(pasta / "REL01.TXT", pasta / "X.bak"); }),
              "No such file or directory");
}

// ---- a file still being written -----------------------------------------------------------------

// A child process that holds `caminho` open for writing until told to let go.
class Escritor {
  public:
    explicit Escritor(const std::string& caminho) {
        int pronto[2];
        int solta[2];
        if (::pipe(pronto) != 0 || ::pipe(solta) != 0) throw std::runtime_error("pipe");
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(pronto[0]);
            ::close(solta[1]);
            int fd = ::open(caminho.c_str(), O_WRONLY | O_APPEND);
            char c = fd >= 0 ? 'k' : 'e';
            if (::write(pronto[1], &c, 1) != 1) ::_exit(2);
            ::read(solta[0], &c, 1);  // until the parent writes or goes away
            ::close(fd);
            ::_exit(0);
        }
        ::close(pronto[1]);
        ::close(solta[0]);
        solta_ = solta[1];
        char c = 0;
        ok_ = ::read(pronto[0], &c, 1) == 1 && c == 'k';
        ::close(pronto[0]);
    }
    ~Escritor() { termina(); }

    bool ok() const { return ok_; }
    void termina() {
        if (pid_ <= 0) return;
        ::close(solta_);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

  private:
    pid_t pid_ = -1;
    int solta_ = -1;
    bool ok_ = false;
};

TEST_F(SistemaArquivosTest, ArquivoAbertoParaEscritaPorOutroProcessoEstaEmEscrita) {
    gravaArquivo(pasta / "job.txt", "metade");
    // Fresh contents, so a verdict by modification time would say "being written" throughout.
    EXPECT_FALSE(fs.emEscrita(pasta / "job.txt"));

    Escritor escritor(pasta / "job.txt");
    ASSERT_TRUE(escritor.ok());
    EXPECT_TRUE(fs.emEscrita(pasta / "job.txt"));
    escritor.termina();
    EXPECT_FALSE(fs.emEscrita(pasta / "job.txt"));
}

TEST_F(SistemaArquivosTest, ArquivoQueNaoAbreNaoEstaEmEscrita) {
    EXPECT_FALSE(fs.emEscrita(pasta / "sumiu.txt"));
    gravaArquivo(pasta / "alvo.txt", "x");
    std::filesystem::create_symlink(pasta / "alvo.txt", pasta / "link.txt");
    EXPECT_FALSE(fs.emEscrita(pasta / "link.txt"));
}

TEST_F(SistemaArquivosTest, SemLeaseDecidePelaHoraDeModificacao) {
    if (::geteuid() != 0) GTEST_SKIP() << "precisa de root para testar como outro usuário";
    // Another user may not take a lease on root's files: the time decides.
    ::chmod(pasta.caminho().c_str(), 0755);
    gravaArquivo(pasta / "recente.txt", "x");
    ::chmod((pasta / "recente.txt").c_str(), 0666);
    gravaArquivo(pasta / "antigo.txt", "x");
    gravaArquivo(pasta / "futuro.txt", "x");
    timespec antigo[2] = {{0, UTIME_OMIT}, {::time(nullptr) - 3600, 0}};
    timespec futuro[2] = {{0, UTIME_OMIT}, {::time(nullptr) + 3600, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, (pasta / "antigo.txt").c_str(), antigo, 0), 0);
    ASSERT_EQ(::utimensat(AT_FDCWD, (pasta / "futuro.txt").c_str(), futuro, 0), 0);

    pid_t filho = ::fork();
    if (filho == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(10);
        int r = 0;
        // Touched right before asking, so the verdict does not depend on how fast we got here.
        if (::utimensat(AT_FDCWD, (pasta / "recente.txt").c_str(), nullptr, 0) != 0) ::_exit(11);
        if (!fs.emEscrita(pasta / "recente.txt")) r |= 1;
        if (fs.emEscrita(pasta / "antigo.txt")) r |= 2;
        if (fs.emEscrita(pasta / "futuro.txt")) r |= 4;
        ::_exit(r);
    }
    int estado = 0;
    ASSERT_EQ(::waitpid(filho, &estado, 0), filho);
    ASSERT_TRUE(WIFEXITED(estado));
    EXPECT_EQ(WEXITSTATUS(estado), 0) << "1: recente não em escrita; 2: antigo em escrita; "
                                         "4: futuro em escrita; 10, 11: preparo falhou";
}

// ---- the lock two spoolers share
// -----------------------------------------------------------------

TEST_F(SistemaArquivosTest, TravaDeUmTrabalhoExcluiOutraAteSerSolta) {
    gravaArquivo(pasta / "A.TXT", "a");
    std::unique_ptr<TravaArquivo> primeira = fs.trava(pasta / "A.TXT");
    ASSERT_NE(primeira, nullptr);
    // Another spooler (another SistemaArquivos, another descriptor) is kept out.
    SistemaArquivosPosix outro;
    EXPECT_EQ(outro.trava(pasta / "A.TXT"), nullptr);
    primeira.reset();
    EXPECT_NE(outro.trava(pasta / "A.TXT"), nullptr);
}

TEST_F(SistemaArquivosTest, TravaEDoArquivoNaoDoNome) {
    // Gone since the listing: handled by whoever held it.
    EXPECT_EQ(fs.trava(pasta / "sumiu.txt"), nullptr);

    // A job renamed away while locked does not hold back a new job under its old name.
    gravaArquivo(pasta / "A.TXT", "velho");
    std::unique_ptr<TravaArquivo> velho = fs.trava(pasta / "A.TXT");
    ASSERT_NE(velho, nullptr);
    std::filesystem::rename(pasta / "A.TXT", pasta / "A.bak");
    gravaArquivo(pasta / "A.TXT", "novo");
    SistemaArquivosPosix outro;
    EXPECT_NE(outro.trava(pasta / "A.TXT"), nullptr);
    EXPECT_EQ(outro.trava(pasta / "A.bak"), nullptr);
}

TEST_F(SistemaArquivosTest, TravaLeEmBlocosOArquivoQueTravouEDizSeEstaEmEscrita) {
    std::string grande;
    for (std::size_t i = 0; grande.size() < 3 * 1024 * 1024 + 5; ++i) {
        grande += "linha " + std::to_string(i) + "\r\n";
    }
    gravaArquivo(pasta / "A.TXT", grande);
    std::unique_ptr<TravaArquivo> trava = fs.trava(pasta / "A.TXT");
    ASSERT_NE(trava, nullptr);
    ASSERT_TRUE(trava->info());
    EXPECT_EQ(trava->info()->tamanho, grande.size());
    EXPECT_FALSE(fs.emEscritaPelaTrava(pasta / "A.TXT", *trava));

    // What is read is the locked file, in order, even when its name now leads to another one.
    std::filesystem::rename(pasta / "A.TXT", pasta / "A.bak");
    gravaArquivo(pasta / "A.TXT", "outro");
    std::string lido;
    std::size_t blocos = 0;
    fs.leEmBlocos(pasta / "A.TXT", trava.get(), [&](std::string_view bloco) {
        lido += bloco;
        ++blocos;
    });
    EXPECT_TRUE(lido == grande);
    EXPECT_GT(blocos, 1u);

    Escritor escritor(pasta / "A.bak");
    ASSERT_TRUE(escritor.ok());
    EXPECT_TRUE(fs.emEscritaPelaTrava(pasta / "A.bak", *trava));
}

TEST_F(SistemaArquivosTest, TravaNaoSegueLinkNemEngoleOMotivo) {
    gravaArquivo(pasta / "alvo.txt", "x");
    std::filesystem::create_symlink(pasta / "alvo.txt", pasta / "link.txt");
    EXPECT_EQ(motivoDe([&] { fs.trava(pasta / "link.txt"); }), "é um link simbólico");
    gravaArquivo(pasta / "fechado.txt", "x");
    ::chmod((pasta / "fechado.txt").c_str(), 0);
    EXPECT_EQ(motivoComoUsuarioComum(pasta.caminho(), [&] { fs.trava(pasta / "fechado.txt"); }),
              "Permission denied");
}

// ---- exclusive creation and buffered writes -----------------------------------------------------

TEST_F(SistemaArquivosTest, CriaExclusivoGravaTudoQueRecebeu) {
    std::string esperado;
    auto arquivo = fs.criaExclusivo(pasta / "temp.BAK");
    // Many small writes across the buffer's size, then one larger than it.
    for (int i = 0; i < 20000; ++i) {
        std::string linha = "linha " + std::to_string(i) + "\x0c\r\n";
        arquivo->escreve(linha);
        esperado += linha;
    }
    std::string bloco(300 * 1024, 'Z');
    arquivo->escreve(bloco);
    esperado += bloco;
    arquivo->escreve("fim");
    esperado += "fim";
    arquivo->fecha();
    EXPECT_TRUE(leArquivo(pasta / "temp.BAK") == esperado);
    struct stat st {};
    ASSERT_EQ(::stat((pasta / "temp.BAK").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777 & ~0022u, 0644u & ~0022u);
}

TEST_F(SistemaArquivosTest, CriaExclusivoNaoPassaPorCimaDeArquivoNemDeLink) {
    gravaArquivo(pasta / "existe.BAK", "antigo");
    gravaArquivo(pasta / "alvo.txt", "intocado");
    std::filesystem::create_symlink(pasta / "alvo.txt", pasta / "link.BAK");
    std::filesystem::create_symlink(pasta / "novo.txt", pasta / "quebrado.BAK");

    EXPECT_EQ(motivoDe([&] { fs.criaExclusivo(pasta / "existe.BAK"); }), "File exists");
    EXPECT_EQ(motivoDe([&] { fs.criaExclusivo(pasta / "link.BAK"); }), "File exists");
    EXPECT_EQ(motivoDe([&] { fs.criaExclusivo(pasta / "quebrado.BAK"); }), "File exists");
    EXPECT_EQ(leArquivo(pasta / "existe.BAK"), "antigo");
    EXPECT_EQ(leArquivo(pasta / "alvo.txt"), "intocado");
    EXPECT_FALSE(std::filesystem::exists(pasta / "novo.txt"));
}

TEST_F(SistemaArquivosTest, ArquivoDescartadoSemFecharNaoFalha) {
    {
        auto arquivo = fs.criaExclusivo(pasta / "t.BAK");
        arquivo->escreve("meio");
    }
    EXPECT_TRUE(fs.existe(pasta / "t.BAK"));
    auto arquivo = fs.criaExclusivo(pasta / "u.BAK");
    arquivo->fecha();
    arquivo->fecha();
    EXPECT_EQ(leArquivo(pasta / "u.BAK"), "");
}

TEST_F(SistemaArquivosTest, DiscoCheioFalhaComOMotivoAteOFim) {
    std::string montagem = pasta / "pequeno";
    std::filesystem::create_directory(montagem);
    if (::mount("tmpfs", montagem.c_str(), "tmpfs", 0, "size=256k") != 0) {
        GTEST_SKIP() << "sem permissão para montar um tmpfs pequeno: " << std::strerror(errno);
    }
    gravaArquivo(montagem + "/enche", std::string(200 * 1024, 'e'));
    auto arquivo = fs.criaExclusivo(montagem + "/temp.BAK");
    std::string linha(1000, 'x');
    std::string motivo = motivoDe([&] {
        for (int i = 0; i < 1000; ++i) arquivo->escreve(linha);
    });
    // Room again, but the file already has a hole: it must not end up looking whole.
    std::filesystem::remove(montagem + "/enche");
    std::string depois = motivoDe([&] { arquivo->escreve(std::string(70 * 1024, 'y')); });
    std::string aoFechar = motivoDe([&] { arquivo->fecha(); });
    ::umount2(montagem.c_str(), MNT_DETACH);
    EXPECT_EQ(motivo, "No space left on device");
    EXPECT_EQ(depois, "No space left on device");
    EXPECT_EQ(aoFechar, "No space left on device");
}

}  // namespace
}  // namespace velmora
