#pragma once

namespace velmora {

// A sheet's size in millimetres, upright.
struct TamanhoPapel {
    double largura = 0;
    double altura = 0;
};

// The paper of the user's locale (LC_PAPER, else LC_ALL or LANG): US Letter in the countries
// that use it, A4 everywhere else.
TamanhoPapel papelDoLocal();

}  // namespace velmora
