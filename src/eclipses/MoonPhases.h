// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// The list of the principal lunar phases of the time range, with the solar
// eclipses of the new moons and the Saros designations.

#include "core/Host.h"
#include "settings/Settings.h"

namespace orb {

// Prints one block of four phases per lunation from Startdat to EndJulDat
// (one block without list mode).
void ListMoonPhases(TSettings& s, Host& host);

}  // namespace orb
