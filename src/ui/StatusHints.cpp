// SPDX-License-Identifier: AGPL-3.0-or-later
#include "ui/StatusHints.h"

#include <cmath>

#include "core/NumText.h"
#include "core/TimeScales.h"
#include "tables/TableFormat.h"

namespace orb {
namespace {

constexpr const char* kBar = "   |   ";

// The signed place format of an angle (degrees): reduced to -180..180, then
// "  " sign Str(|a|, 5, 2) "°" with NoMinutes, otherwise "  " sign Int(whole
// degrees, 2) "°" Int(rounded minutes, 2) "'".
std::string SignedPlaceAngle(Extended a_deg, bool noMinutes) {
  a_deg = std::remainder(a_deg, 360.0L);
  const std::string sign = SignChar(a_deg);
  const Extended v = std::fabs(a_deg);
  if (noMinutes) return "  " + sign + Str(v, 5, 2) + "°";
  long long degrees = static_cast<long long>(std::trunc(v));
  long long minutes = std::llround((v - degrees) * 60);
  if (minutes == 60) {
    minutes = 0;
    ++degrees;
  }
  return "  " + sign + IntStr(degrees, 2) + "°" + IntStr(minutes, 2) + "'";
}

std::string EquinoxHint(const TSettings& s) {
  std::string text;
  if (!s.AequinTag) {
    text = "Äquinoktium:" + Str(s.Aequinokt, 7, 1);
  } else {
    text = s.Nutation ? "wahres Äquinoktium des Tages" : "mittleres Äquinoktium des Tages";
  }
  if (s.Aberration) text += "  + Aberration";
  if (!s.Lichtlaufzeit) text += ",  ohne Lichtlaufzeit";
  return text;
}

}  // namespace

std::string WindowHint(const TSettings& s) {
  return s.Ort.Name + kBar + DateText(s.Startdat, s.Zeitzone, DateStyleOf(s)) + kBar + ZoneName(s.Zeitzone, 0, s.TDT) +
         kBar + EquinoxHint(s) + kBar + "Dämmerung: -" + StrT(s.DaemmTiefe, 1, 2) + "°";
}

std::string DateButtonHint(const TSettings& s) {
  const DateStyle style = DateStyleOf(s);
  std::string text = "Datum: " + DateTimeText(s.Startdat, s.Zeitzone, style);
  if (s.Tabelle) text += "   -   " + DateTimeText(s.Startdat + s.DeltaTab, s.Zeitzone, style);
  text += kBar + ZoneName(s.Zeitzone, 1, s.TDT) + kBar;
  text += s.Zeitzone != s.BasisZeitzone ? "Sommerzeit" : "Winterzeit";
  text += s.AutoSommerzeit ? ", Umschaltung automatisch" : ", Keine automatische Umschaltung";
  text += std::string(kBar) + "DeltaT = " + Str(DeltaT(s.Startdat, s.TDT).days * kSecondsPerDay, 1, 1) + " s";
  if (s.TDT) text += " (TDT)";
  return text;
}

std::string PlaceButtonHint(const TSettings& s) {
  return "Ort: " + s.Ort.Name + ",   Breite: " + SignedPlaceAngle(std::fabs(s.Ort.Breite), s.NoMinutes) +
         (s.Ort.Breite >= 0 ? " N" : " S") + "   Länge: " + SignedPlaceAngle(std::fabs(s.Ort.Laenge), s.NoMinutes) +
         (s.Ort.Laenge >= 0 ? " O" : " W");
}

std::string SmallBodyShortName(const CometBahnTyp& el) {
  const std::string name = el.asteroid && el.number >= 1 ? "(" + std::to_string(el.number) + ") " + el.name : el.name;
  return Utf8Left(name, kMaxPlanetNameChars);
}

std::string PlanetButtonHint(TSettings& s) {
  if (s.PlanetNr == kSmallBody) s.PlanetName(kSmallBody) = SmallBodyShortName(s.CurrentElements);
  return s.PlanetName(s.PlanetNr) + "-Ephemeride berechnen";
}

}  // namespace orb
