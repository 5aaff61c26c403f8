#pragma once

#include <string>

namespace velmora {

// Folders of a Windows machine, as UTF-8 paths without a trailing "\".

// The folder of the running .exe.
std::string pastaDoExecutavel();
// %APPDATA%, %LOCALAPPDATA% and the user's Documents, or empty when the system has none.
std::string pastaAppData();
std::string pastaAppDataLocal();
std::string pastaDocumentos();

// Whether this user can create files in `pasta` (tried with a file of our own, since Windows'
// attributes do not tell: Program Files says writable and is not).
bool pastaGravavel(const std::string& pasta);

// Creates `pasta` and its parents; false when it does not exist afterwards.
bool criaPastas(const std::string& pasta);

// The folder part of a path (up to its last "\" or "/"), without that separator; "." for none.
std::string pastaDe(const std::string& caminho);

}  // namespace velmora
