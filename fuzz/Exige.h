#pragma once

#include <cstdio>
#include <cstdlib>

// A broken property ends the run like a crash, so that libFuzzer saves the input that broke it.
#define EXIGE(condicao)                                                                    \
    do {                                                                                   \
        if (!(condicao)) {                                                                 \
            std::fprintf(stderr, "propriedade violada: %s (%s:%d)\n", #condicao, __FILE__, \
                         __LINE__);                                                        \
            std::abort();                                                                  \
        }                                                                                  \
    } while (0)
