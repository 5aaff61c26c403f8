#pragma once

#include <functional>
#include <string>

#include "app/Aviso.h"
#include "app/MotorJanela.h"

namespace velmora {

// The confirm button's middle, once the fields are in the settings values: with raw output and
// no port, the port of the printer of that name (`mostraPorta` puts it into the port field and
// gives back the field's text); the settings file written and read back, each failure shown
// through `aviso` once; a printer list that cannot be read logged. True when the configuration is
// complete (a printer, the backup flag and the folder given).
bool confirmaConfiguracao(MotorJanela& motor, Aviso& aviso,
                          const std::function<std::string(const std::string&)>& mostraPorta);

}  // namespace velmora
