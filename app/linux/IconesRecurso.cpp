#include "IconesRecurso.h"

#include <QImageReader>

// The resources live in a static library: they are registered only when asked for by name, and
// the macro must stand outside any namespace.
static void registraRecursos() { Q_INIT_RESOURCE(velmora); }

namespace velmora {

namespace {

const char* const kNomes[] = {"velmora", "ATIVOABERTO", "ATIVOMEIOABERTO", "ATIVOFECHADO", "ERRO"};

QIcon carrega(const QString& caminho) {
    QIcon icone;
    QImageReader leitor(caminho);
    // An .ico file may hold several sizes; the icon keeps them all.
    do {
        const QImage imagem = leitor.read();
        if (imagem.isNull()) break;
        icone.addPixmap(QPixmap::fromImage(imagem));
    } while (leitor.jumpToNextImage());
    return icone;
}

}  // namespace

IconesRecurso::IconesRecurso() {
    registraRecursos();
    std::uint32_t proximo = 1;
    for (const char* nome : kNomes) {
        Carregado c;
        c.handle = proximo++;
        c.icone = carrega(QStringLiteral(":/icones/%1.ico").arg(QLatin1String(nome)));
        if (!c.icone.isNull()) c.quadro = c.icone.pixmap(kLadoQuadro, kLadoQuadro);
        icones_.emplace(nome, std::move(c));
    }
}

QIcon IconesRecurso::icone(const std::string& nome) const {
    const auto it = icones_.find(nome);
    return it == icones_.end() ? QIcon() : it->second.icone;
}

QPixmap IconesRecurso::quadro(const std::string& nome) const {
    const auto it = icones_.find(nome);
    return it == icones_.end() ? QPixmap() : it->second.quadro;
}

std::uint32_t IconesRecurso::handle(const std::string& nome) const {
    const auto it = icones_.find(nome);
    return it == icones_.end() ? 0 : it->second.handle;
}

QIcon IconesRecurso::porHandle(std::uint32_t handle) const {
    for (const auto& [nome, carregado] : icones_) {
        if (carregado.handle == handle) return carregado.icone;
    }
    return QIcon();
}

}  // namespace velmora
