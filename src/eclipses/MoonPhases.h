// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// The list of the principal lunar phases of the time range, with the solar
// eclipses of the new moons and the Saros designations.

#include <cstdint>

#include "core/Host.h"
#include "settings/RunContext.h"
#include "settings/Settings.h"

namespace orb {

// Prints one block of four phases per lunation from Startdat to EndJulDat
// (one block without list mode), each phase in the zone of its own instant
// (automatic summer time). The list ends where the planetary theory has no
// place: no phase is printed there, and a message names the date and the
// range of the ephemeris. In list mode a range that ends before it begins
// gives a message and no phase. Returns the number of phases printed.
int64_t ListMoonPhases(const TSettings& s, TRunContext& run, Host& host);

}  // namespace orb
