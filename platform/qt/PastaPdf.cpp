#include "PastaPdf.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "spooler/ErroPlataforma.h"

namespace velmora {

namespace {

constexpr int kTentativas = 10000;
constexpr qint64 kBloco = 1 << 20;

QString baseDoTitulo(const std::string& titulo) {
    std::string nome = titulo.substr(titulo.find_last_of('/') + 1);
    const auto ponto = nome.find_last_of('.');
    if (ponto != std::string::npos && ponto > 0) nome.erase(ponto);
    std::erase(nome, '\0');
    if (nome.empty() || nome == "." || nome == "..") nome = "documento";
    return QFile::decodeName(nome.c_str());
}

bool ocupado(const QString& caminho) {
    const QFileInfo info(caminho);
    return info.exists() || info.isSymLink();
}

// Written beside the target and renamed onto it, so the folder never shows half a PDF.
void copia(const QString& de, const QString& para) {
    QFile origem(de);
    if (!origem.open(QIODevice::ReadOnly)) {
        throw ErroPlataforma("não foi possível ler " + de.toStdString() + ": " +
                             origem.errorString().toStdString());
    }
    QSaveFile destino(para);
    if (!destino.open(QIODevice::WriteOnly)) {
        throw ErroPlataforma("não foi possível gravar " + para.toStdString() + ": " +
                             destino.errorString().toStdString());
    }
    while (!origem.atEnd()) {
        const QByteArray bloco = origem.read(kBloco);
        if (bloco.isEmpty() && origem.error() != QFileDevice::NoError) {
            throw ErroPlataforma("não foi possível ler " + de.toStdString() + ": " +
                                 origem.errorString().toStdString());
        }
        if (destino.write(bloco) != bloco.size()) break;
    }
    if (!destino.commit()) {
        throw ErroPlataforma("não foi possível gravar " + para.toStdString() + ": " +
                             destino.errorString().toStdString());
    }
}

}  // namespace

std::string guardaPdf(const QString& pdf, const std::string& pasta, const std::string& titulo) {
    const QDir dir(QFile::decodeName(pasta.c_str()));
    if (!dir.mkpath(QStringLiteral("."))) {
        throw ErroPlataforma("não foi possível criar a pasta " + pasta);
    }
    const QString base = baseDoTitulo(titulo);
    for (int n = 0; n < kTentativas; ++n) {
        const QString nome =
            n == 0 ? base + QStringLiteral(".pdf") : QStringLiteral("%1-%2.pdf").arg(base).arg(n);
        const QString caminho = dir.filePath(nome);
        // Claims the name first: the rename below may only ever replace this empty file.
        QFile reserva(caminho);
        if (!reserva.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            if (ocupado(caminho)) continue;
            throw ErroPlataforma("não foi possível gravar " + caminho.toStdString() + ": " +
                                 reserva.errorString().toStdString());
        }
        reserva.close();
        try {
            copia(pdf, caminho);
        } catch (...) {
            QFile::remove(caminho);
            throw;
        }
        return QFile::encodeName(caminho).toStdString();
    }
    throw ErroPlataforma("a pasta " + pasta + " já tem nomes demais para " + base.toStdString() +
                         ".pdf");
}

}  // namespace velmora
