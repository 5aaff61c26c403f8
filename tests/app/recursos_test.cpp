// The pictures compiled into the program, read back the way the window and the tray read them.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <QSet>
#include <QtEndian>
#include <memory>

// Resources in a static library are only registered on request; outside any namespace, as the
// macro requires.
static void registraRecursos() { Q_INIT_RESOURCE(velmora); }

namespace {

const char* const kIcones[] = {":/icones/ATIVOABERTO.ico", ":/icones/ATIVOMEIOABERTO.ico",
                               ":/icones/ATIVOFECHADO.ico", ":/icones/ERRO.ico",
                               ":/icones/velmora.ico"};

class Recursos : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        registraRecursos();
        if (QCoreApplication::instance() == nullptr) {
            if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
                qputenv("QT_QPA_PLATFORM", "offscreen");
            static int argc = 1;
            static char nome[] = "recursos_test";
            static char* argv[] = {nome, nullptr};
            app_ = std::make_unique<QGuiApplication>(argc, argv);
        }
    }
    static void TearDownTestSuite() { app_.reset(); }

    static QImage le(const QString& caminho, QByteArray* formato = nullptr) {
        QImageReader leitor(caminho);
        if (formato) *formato = leitor.format();  // read from the content, not the name
        QImage imagem = leitor.read();
        EXPECT_FALSE(imagem.isNull())
            << caminho.toStdString() << ": " << leitor.errorString().toStdString();
        return imagem;
    }

    static inline std::unique_ptr<QGuiApplication> app_;
};

// Windows tools and the Windows build read these same files: one 64 x 64 image at 4 bits per
// pixel, as the icon directory and the bitmap header state it.
TEST_F(Recursos, CadaIconeTemUmaSoImagemDe64x64Em16Cores) {
    for (const char* nome : kIcones) {
        SCOPED_TRACE(nome);
        QFile arquivo(nome);
        ASSERT_TRUE(arquivo.open(QIODevice::ReadOnly));
        const QByteArray bytes = arquivo.readAll();
        ASSERT_GE(bytes.size(), 22 + 40);
        const auto* p = reinterpret_cast<const uchar*>(bytes.constData());
        EXPECT_EQ(qFromLittleEndian<quint16>(p + 2), 1) << "type icon";
        EXPECT_EQ(qFromLittleEndian<quint16>(p + 4), 1) << "one image";
        EXPECT_EQ(p[6], 64);
        EXPECT_EQ(p[7], 64);
        EXPECT_EQ(p[8], 16) << "colour count";
        const quint32 inicio = qFromLittleEndian<quint32>(p + 18);
        ASSERT_LE(inicio + 40, quint32(bytes.size()));
        EXPECT_EQ(qFromLittleEndian<quint16>(p + inicio + 14), 4) << "bits per pixel";

        QByteArray formato;
        const QImage imagem = le(nome, &formato);
        EXPECT_EQ(formato, "ico");
        EXPECT_EQ(imagem.size(), QSize(64, 64));
        QSet<QRgb> cores;
        for (int y = 0; y < imagem.height(); ++y)
            for (int x = 0; x < imagem.width(); ++x)
                if (qAlpha(imagem.pixel(x, y)) != 0) cores.insert(imagem.pixel(x, y));
        EXPECT_LE(cores.size(), 16);
    }
}

// A tray shows the icon over its own background: the corners must be see-through and the
// middle drawn.
TEST_F(Recursos, IconesTemFundoTransparenteEDesenhoNoMeio) {
    for (const char* nome : kIcones) {
        SCOPED_TRACE(nome);
        const QImage imagem = le(nome);
        ASSERT_EQ(imagem.size(), QSize(64, 64));
        ASSERT_TRUE(imagem.hasAlphaChannel());
        EXPECT_EQ(qAlpha(imagem.pixel(0, 0)), 0);
        EXPECT_EQ(qAlpha(imagem.pixel(63, 0)), 0);
        EXPECT_EQ(qAlpha(imagem.pixel(32, 32)), 255);
    }
}

// The blink is only visible when the three frames differ from each other.
TEST_F(Recursos, OsTresQuadrosDaAnimacaoSaoDiferentes) {
    const QImage aberto = le(":/icones/ATIVOABERTO.ico");
    const QImage meio = le(":/icones/ATIVOMEIOABERTO.ico");
    const QImage fechado = le(":/icones/ATIVOFECHADO.ico");
    EXPECT_NE(aberto, meio);
    EXPECT_NE(meio, fechado);
    EXPECT_NE(aberto, fechado);
}

TEST_F(Recursos, ErroEhOOlhoComUmaMarcaVermelha) {
    const QImage erro = le(":/icones/ERRO.ico");
    const QImage aberto = le(":/icones/ATIVOABERTO.ico");
    auto vermelhos = [](const QImage& imagem) {
        int n = 0;
        for (int y = 0; y < imagem.height(); ++y)
            for (int x = 0; x < imagem.width(); ++x) {
                const QRgb c = imagem.pixel(x, y);
                if (qAlpha(c) == 255 && qRed(c) > 160 && qGreen(c) < 80 && qBlue(c) < 80) ++n;
            }
        return n;
    };
    EXPECT_EQ(vermelhos(aberto), 0);
    EXPECT_GT(vermelhos(erro), 100);
}

// The tray asks the icon for a small size; an icon that cannot give one shows an empty slot.
TEST_F(Recursos, IconesCarregamComoQIconEmTamanhoDeBandeja) {
    for (const char* nome : kIcones) {
        SCOPED_TRACE(nome);
        const QIcon icone(nome);
        ASSERT_FALSE(icone.isNull());
        const QImage pequena = icone.pixmap(QSize(22, 22)).toImage();
        ASSERT_FALSE(pequena.isNull());
        EXPECT_LE(pequena.width(), 22);
        EXPECT_EQ(qAlpha(pequena.pixel(pequena.width() / 2, pequena.height() / 2)), 255);
    }
}

TEST_F(Recursos, BannerEhUmJpegDe401x102) {
    QByteArray formato;
    const QImage banner = le(":/imagens/banner.jpg", &formato);
    EXPECT_EQ(formato, "jpeg");
    EXPECT_EQ(banner.size(), QSize(401, 102));
    EXPECT_FALSE(banner.allGray());
}

TEST_F(Recursos, BotaoConfirmarEhUmPngDe44x44SemTransparencia) {
    QByteArray formato;
    const QImage botao = le(":/imagens/confirmar.png", &formato);
    EXPECT_EQ(formato, "png");
    EXPECT_EQ(botao.size(), QSize(44, 44));
    EXPECT_FALSE(botao.hasAlphaChannel());
}

}  // namespace
