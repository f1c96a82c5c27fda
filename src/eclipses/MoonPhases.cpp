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
#include "tables/EphemerisLimits.h"
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
std::string InstantText(const TSettings& s, Extended jd, float zone) {
  const ZoneInstant local = ZoneInstantOf(jd, zone);
  return WeekdayText(local) + ", " + DateText(local, DateStyleOf(s)) + " " + ClockTimeText(local) + "  " +
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
std::string PhaseLine(const TSettings& s, float zone, int q, Extended t, Extended beta_rad) {
  std::string text = InstantText(s, t, zone);
  if (q == 0) text += NewMoonMark(s, t, beta_rad);
  if (q == 2 && s.SarosVariante) text += " (" + LunarSarosDesignation(t).text + ")";
  return PadRight(kPhaseNames[q], 16) + ":  " + text;
}

}  // namespace

int64_t ListMoonPhases(const TSettings& s, TRunContext& run, Host& host) {
  KernelHostScope kernelReports(host);
  run.Begin(kRunLunarPhases);
  host.EnableStop(true);
  run.StartJulDat = s.Startdat;
  run.Zeitzone = s.Zeitzone;
  int64_t printed = 0;
  if (s.Tabelle && run.EndJulDat < s.Startdat) {
    host.MessageBox(MsgKind::Warning, "Mondphasen",
                    "Der Zeitraum endet vor seinem Beginn (" + StrT(s.DeltaTab, 1, 7) +
                        " Tage); es wird keine Mondphase berechnet.");
    run.RunState = 0;
  }

  // The phase last passed before the start: P runs from 0 to 2 over a
  // lunation (1 = full moon); Int and Frac truncate toward zero, so a start
  // less than 0.025 lunation after a new moon still begins with it.
  Extended p = MoonPhaseValue(s.Startdat).P;
  if (p < 0) p += 2;
  Extended t = std::isfinite(p) ? s.Startdat - kDaysBetweenPhases * Frac(2 * (p - 0.05L)) : s.Startdat;
  int k = std::isfinite(p) ? static_cast<int>(std::trunc(2 * (p - 0.05L))) : 0;

  bool first = true;
  while ((first || (s.Tabelle && run.StartJulDat <= run.EndJulDat)) && run.RunState > 0) {
    first = false;
    host.AddLine("");
    for (int i = 0; i < 4; ++i) {
      const int q = ((k % 4) + 4) % 4;
      const Extended beta_rad = RefinePhaseTime(t, q * kQuarterTurn_rad, s.TDT);
      if (!std::isfinite(beta_rad)) {
        // No place for the Moon or the Sun: the list ends here.
        host.MessageBox(MsgKind::Error, "Ephemeride", NoPlaceText(t, DateStyleOf(s)));
        run.RunState = 0;
        break;
      }
      if (s.AutoSommerzeit && !s.TDT) SummerTime(run.Zeitzone, s.BasisZeitzone, t);
      host.AddLine(PhaseLine(s, run.Zeitzone, q, t, beta_rad));
      ++printed;
      t += kDaysBetweenPhases;
      k = q + 1;
    }
    run.StartJulDat = t;
    if (run.RunState > 0 && !PumpAndAskStop(run, host, kRunLunarPhases)) break;
  }

  run.StartJulDat = s.Startdat;
  run.RunState = 0;
  host.EnableStop(false);
  return printed;
}

}  // namespace orb
