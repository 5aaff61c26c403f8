#include "app/linux/ModoBandeja.h"

#include <QApplication>
#include <iostream>
#include <memory>

#include "app/MotorDaJanela.h"
#include "app/linux/BandejaQt.h"
#include "app/linux/CaixasMensagem.h"
#include "app/linux/FrmVelmora.h"
#include "app/linux/IconesRecurso.h"
#include "app/linux/TraducaoQt.h"
#include "app/nucleo/Textos.h"

namespace velmora {

int executaModoBandeja(QApplication& app, const std::string& sArquivoIni) {
    // The window is hidden most of the time: only the confirmed end quits.
    app.setQuitOnLastWindowClosed(false);
    if (const auto erro = instalaTraducaoQt(app))
        std::cerr << "velmora: " << erro->toStdString() << "\n";

    IconesRecurso icones;
    BandejaQt bandeja(icones);
    PerguntaCaixa perguntaLeitor(QString::fromUtf8(textos::kTituloAplicacao), QMessageBox::NoIcon);
    PerguntaCaixa perguntaEncerramento(QString::fromUtf8(textos::kTituloEncerramento),
                                       QMessageBox::Question);
    AvisoCaixa aviso;

    FrmVelmora janela(
        {[&](ChaveTimer& timer) { return std::make_unique<MotorDaJanela>(perguntaLeitor, timer); },
         perguntaEncerramento, aviso, bandeja, icones});
    QObject::connect(&bandeja, &BandejaQt::eventoMouse, &janela,
                     &FrmVelmora::PictIconeBandeja_MouseMove);
    QObject::connect(&janela, &FrmVelmora::encerrado, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);

    janela.Form_Load();
    janela.Form_Initialize(sArquivoIni);
    return app.exec();
}

}  // namespace velmora
