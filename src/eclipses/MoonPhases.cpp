// SPDX-License-Identifier: AGPL-3.0-or-later
#include "eclipses/MoonPhases.h"

#include <cmath>
#include <string>

#include "core/KernelReport.h"
#include "core/NumText.h"
#include "core/TimeScales.h"
#include "eclipses/Saros.h"
#include "eclipses/SolarEclipse.h"
#include "engine/ChebyshevFit.h"
#include "tables/TableFormat.h"

namespace orb {
namespace {

// Target elongations q * 90 degrees of the four phases.
constexpr Extended kQuarterTurn_rad = 1.5707963267948966193L;
// New moons whose Moon stands farther than 1.6 degrees from the ecliptic
// bring no eclipse mark (compared in radians).
constexpr Extended kEclipseLatitudeLimit_rad = 1.6L * kPi / 180;
constexpr Extended kDaysBetweenPhases = 7;

const char* const kPhaseNames[] = {"Neumond", "erstes Viertel", "Vollmond", "letztes Viertel"};

std::string PadRight(std::string text, std::size_t width) {
  const std::size_t length = Utf8Length(text);
  if (length < width) text.append(width - length, ' ');
  return text;
}

// Weekday, date, clock time and zone of an instant, as the tables write them.
std::string InstantText(const TSettings& s, Extended jd) {
  const float zone = s.Zeitzone;
  const Extended hours = 24 * Frac(jd + zone / 24.000001L + 0.500001L);
  return WeekdayText(jd, zone) + ", " + DateText(jd, zone, DateStyleOf(s)) + " " + ClockTimeText(hours) + "  " +
         ZoneName(zone, 0, s.TDT);
}

// The eclipse mark of a new moon at `jd` with the Moon's latitude `beta`.
std::string NewMoonMark(const TSettings& s, Extended jd, Extended beta_rad) {
  const SarosDesignation saros = SolarSarosDesignation(jd);
  if (!(std::fabs(beta_rad) < kEclipseLatitudeLimit_rad)) return "";
  BesselRec rec;
  const int32_t type = FindSolarEclipse(+1, s.TDT, rec, jd);
  if (type == kNoEclipse || !(std::fabs(rec.JD - jd) < 1.0L)) return "";
  std::string mark = "  " + rec.typeText + ", " + "Saros" + IntStr(saros.number, 5);
  if (s.SarosVariante) mark += " (" + saros.text + ")";
  return mark;
}

// One line of the list: the phase q at `t` (UT).
std::string PhaseLine(const TSettings& s, int q, Extended t, Extended beta_rad) {
  std::string text = InstantText(s, t);
  if (q == 0) text += NewMoonMark(s, t, beta_rad);
  if (q == 2 && s.SarosVariante) text += " (" + LunarSarosDesignation(t).text + ")";
  return PadRight(kPhaseNames[q], 16) + ":  " + text;
}

}  // namespace

void ListMoonPhases(TSettings& s, Host& host) {
  KernelHostScope kernelReports(host);
  s.RunState = kRunLunarPhases;
  host.EnableStop(true);
  s.StartJulDat = s.Startdat;

  // The phase last passed before the start: P runs from 0 to 2 over a
  // lunation (1 = full moon); Int and Frac truncate toward zero, so a start
  // less than 0.025 lunation after a new moon still begins with it.
  Extended p = MoonPhaseValue(s.Startdat).P;
  if (p < 0) p += 2;
  Extended t = s.Startdat - kDaysBetweenPhases * Frac(2 * (p - 0.05L));
  int k = static_cast<int>(std::trunc(2 * (p - 0.05L)));
  if (s.EndJulDat < s.Startdat) s.EndJulDat = s.Startdat + s.DeltaTab;

  while (s.StartJulDat <= s.EndJulDat && s.RunState > 0) {
    host.AddLine("");
    for (int i = 0; i < 4; ++i) {
      const int q = ((k % 4) + 4) % 4;
      const Extended beta_rad = RefinePhaseTime(t, q * kQuarterTurn_rad, s.TDT);
      if (s.AutoSommerzeit && !s.TDT) SummerTime(s.Zeitzone, s.BasisZeitzone, t);
      host.AddLine(PhaseLine(s, q, t, beta_rad));
      t += kDaysBetweenPhases;
      k = q + 1;
    }
    s.StartJulDat = t;
    host.ProcessMessages();
    if (s.RunState <= 0 &&
        host.MessageBox(MsgKind::Confirmation, "Abbruch", "Berechnung abbrechen?", MsgResult::No) == MsgResult::No) {
      s.RunState = s.RunState < 0 ? -s.RunState : kRunLunarPhases;
    }
    if (!s.Tabelle) s.StartJulDat = s.EndJulDat + 1;
  }

  s.StartJulDat = s.Startdat;
  s.RunState = 0;
  host.EnableStop(false);
  ApplyAutoSummerTime(s);
}

}  // namespace orb
