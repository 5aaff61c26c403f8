#pragma once

namespace velmora::textos {

// The tray tip given when the icon is added; the blank at the end is the program's own.
inline constexpr const char* kDicaInicial = "Velmora ativo... ";
inline constexpr const char* kDicaAberto = "Velmora ativo...";

inline constexpr const char* kPerguntaEncerrar = "Deseja encerrar o usa do Velmora ?";
inline constexpr const char* kTituloEncerramento = "Velmora -Encerramento";

// Caption of the boxes that have no title of their own (the job reader's question, warnings).
inline constexpr const char* kTituloAplicacao = "Velmora";

}  // namespace velmora::textos
