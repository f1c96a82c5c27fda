// SPDX-License-Identifier: AGPL-3.0-or-later
#include "tables/EphemerisLimits.h"

#include "engine/PlanetaryTheory.h"

namespace orb {

std::string EphemerisRangeText(const DateStyle& style) {
  const std::string description = theory::EphemerisDescription();
  double first_jd = 0, last_jd = 0;
  if (!theory::EphemerisRange(first_jd, last_jd)) return "Verwendete Ephemeride: " + description + ".";
  return "Die verwendete Ephemeride (" + description + ") reicht vom " + DateText(first_jd, 0, style) + " bis " +
         DateText(last_jd, 0, style) + ".";
}

std::string NoPlaceText(Extended jd, const DateStyle& style) {
  const std::string reason = theory::LastError();
  std::string text = "Für den " + DateText(jd, 0, style) + " liefert die Ephemeride keine Position";
  text += reason.empty() ? "." : " (" + reason + ").";
  return text + " " + EphemerisRangeText(style);
}

}  // namespace orb
