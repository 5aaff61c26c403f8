#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// Pure rules over job names, shared by the cycle and the file system layers.

// sLocal up to and including its last "/" (on Windows also "\"); empty when it holds none.
std::string parteDaPasta(const std::string& sLocal);

// The patterns of sLocal: the pieces between ";" in their order, empty ones skipped; sLocal whole
// when it holds no ";".
std::vector<std::string> padroesDoLocal(const std::string& sLocal);

// REL01.TXT -> REL01.bak, A.B.TXT -> A.B.bak, REL01 -> REL01_.BAK.
std::string nomeBackup(const std::string& nome);

// True when `nome` already is its own backup name, in any letter case (X.bak, X_.BAK).
bool ehBackupDeSi(const std::string& nome);

// Wildcard match of one name component: "*" any run, "?" one character, letters compared
// without regard to case; every other character (also "[" and "]") stands for itself.
bool casaPadrao(std::string_view padrao, std::string_view nome);

}  // namespace velmora
