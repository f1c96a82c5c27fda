// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once
// Helpers for tests that compare with Swiss Ephemeris called directly.

#include <swephexp.h>

#include "engine/PlanetaryTheory.h"

namespace orb::test {

// Swiss Ephemeris learns its file folder from the adapter's first call.
inline void UseEphemerisFiles() { theory::_planetinfo(2451545.0, 1000, 1, 1, 1, 1); }

// Swiss Ephemeris computes with the program's deltaT while this lives, so
// that both sides measure the geometry alone.
struct SwissDeltaT {
  explicit SwissDeltaT(double deltaT_s) { swe_set_delta_t_userdef(deltaT_s / 86400); }
  ~SwissDeltaT() { swe_set_delta_t_userdef(SE_DELTAT_AUTOMATIC); }
  SwissDeltaT(const SwissDeltaT&) = delete;
  SwissDeltaT& operator=(const SwissDeltaT&) = delete;
};

}  // namespace orb::test
