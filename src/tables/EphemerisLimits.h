// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// Why the planetary theory has no place for a date, in words for the user.

#include <string>

#include "core/NumKernel.h"
#include "tables/TableFormat.h"

namespace orb {

// "Für den 01.01.6000 liefert die Ephemeride keine Position: <the theory's
// reason>. Die verwendete Ephemeride (<description>) reicht vom <first date>
// bis <last date>." The date is `jd` (UT) in UT; the range is that of the
// ephemeris in use (engine/PlanetaryTheory.h, EphemerisRange).
std::string NoPlaceText(Extended jd, const DateStyle& style);

// "Die verwendete Ephemeride (...) reicht vom ... bis ...", or the
// description alone when the range cannot be determined.
std::string EphemerisRangeText(const DateStyle& style);

}  // namespace orb
