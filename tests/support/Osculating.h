// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

#include "core/NumKernel.h"
#include "core/OrbitElements.h"

namespace orb::test {

// Osculating elements (ecliptic and equinox 2000) of a heliocentric state
// vector x, v (AU, AU/day) at `epoch` (JD, TT), for the Sun's mass alone
// (mu = k^2, k = 0.01720209895): the standard two-body conversion
// (Montenbruck & Pfleger, Astronomy on the Personal Computer, 4th ed., 4.3).
// An elliptic orbit; marked as a minor planet.
CometBahnTyp Osculating(const double state[6], Extended epoch);

}  // namespace orb::test
