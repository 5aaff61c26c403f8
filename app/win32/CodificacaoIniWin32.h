#pragma once

namespace velmora {

// VELMORA.INI is in the system's 8-bit code page, as Notepad and the DOS programs leave it; a
// file saved as UTF-8 with its mark is taken as it is. Set once at start-up.
void defineCodificacaoIniWin32();

}  // namespace velmora
