// SPDX-License-Identifier: AGPL-3.0-or-later
#include "settings/Settings.h"

#include "core/NumText.h"
#include "core/TimeScales.h"

namespace orb {

const std::string& TSettings::PlanetName(int32_t kind) const {
  if (kind < kSun || kind > kSmallBody) return ArbitraryTitle;
  return PlanetNames[static_cast<std::size_t>(kind + 1)];
}

std::string& TSettings::PlanetName(int32_t kind) {
  if (kind < kSun || kind > kSmallBody) return ArbitraryTitle;
  return PlanetNames[static_cast<std::size_t>(kind + 1)];
}

TSettings DefaultSettings() { return TSettings{}; }

void NormaliseSettings(TSettings& s, Extended nowJD) {
  s.Zeitzone = s.BasisZeitzone;
  const bool hasElements = !s.CurrentElements.name.empty();
  if (s.PlanetNr != kSmallBody || hasElements) {
    s.PlanetName(kSmallBody) = Utf8Left(s.CurrentElements.name, kMaxPlanetNameChars);
  } else {
    s.PlanetNr = kMercury;
  }
  if (s.PlanetNr < 1) s.PlanetNr = 1;
  // Values no program version writes (a hand-edited file): a planet number
  // beyond 9 falls back to Mercury and an object below -2 to the Sun, so no
  // later lookup by object kind can leave its table.
  if (s.PlanetNr > kSmallBody) s.PlanetNr = kMercury;
  if (s.PlanetNr < s.Objekt) s.Objekt = s.PlanetNr;
  if (s.Objekt < kArbitrary) s.Objekt = kSun;
  if (s.TDT) s.Zeitzone = 0;
  if (!s.DatSpeichern) s.Startdat = nowJD;
  ApplyAutoSummerTime(s);
  s.ArbitraryTitle = "unbenannt";
}

void NormaliseSettings(TSettings& s) { NormaliseSettings(s, CurrentJD()); }

bool ApplyAutoSummerTime(TSettings& s) {
  if (!s.AutoSommerzeit || s.TDT) return false;
  return SummerTime(s.Zeitzone, s.BasisZeitzone, s.Startdat);
}

}  // namespace orb
