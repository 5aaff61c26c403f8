#pragma once

#include <QString>

namespace velmora {

// Template for a document's temporary folder: <temp>/velmora-<process id>-XXXXXX. The first call
// of a process also removes the folders of that form that a run of this user, killed before it
// could clean up, left behind.
QString modeloPastaTemporaria();

}  // namespace velmora
