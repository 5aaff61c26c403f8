#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace velmora {

// The shell's tray notification record in its first, 88-byte ANSI layout: six 32-bit fields and
// a 64-byte tip. The tip is held as 64 wide characters and turned into bytes only for the call.
struct RegistroNotificacao {
    static constexpr std::uint32_t kTamanho = 88;
    static constexpr std::size_t kCaracteresDica = 64;
    static constexpr std::uint32_t kId = 1;
    static constexpr std::uint32_t kFlags = 7;         // message, icon and tip are valid
    static constexpr std::uint32_t kMensagem = 0x200;  // the mouse-move message

    std::uint32_t tamanho = 0;
    std::uint32_t janela = 0;
    std::uint32_t id = 0;
    std::uint32_t flags = 0;
    std::uint32_t mensagem = 0;
    std::uint32_t icone = 0;
    std::array<char32_t, kCaracteresDica> dica{};

    // `texto` (UTF-8) followed by one NUL, left-aligned and padded with blanks; what does not fit
    // in the 64 characters is dropped, the NUL first.
    void defineDica(std::string_view texto);

    // The tip as the shell shows it: up to the NUL, or all 64 characters when there is none.
    std::string dicaVisivel() const;

    // The record as handed to the shell: little-endian fields, the tip one byte per character
    // (characters past Latin-1 become "?").
    std::array<unsigned char, kTamanho> emBytes() const;
};

}  // namespace velmora
