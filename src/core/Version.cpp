// SPDX-License-Identifier: AGPL-3.0-or-later
#include "core/Version.h"

namespace orb {

std::string ProgramVersion() { return ORBITELLO_VERSION; }

}  // namespace orb
