// SPDX-License-Identifier: AGPL-3.0-or-later
// Lunar eclipses: shadow geometry from the Montenbruck & Pfleger Sun and
// Moon series, the Moon's linearised path through the shadow, the search
// from full moon to full moon and the eclipse reports.
#include "eclipses/LunarEclipse.h"

#include <cmath>
#include <string>
#include <utility>

#include "core/KernelReport.h"
#include "core/NumText.h"
#include "core/TimeScales.h"
#include "eclipses/Saros.h"
#include "engine/Frames.h"
#include "engine/LowPrecision.h"
#include "engine/RiseSet.h"
#include "tables/TableFormat.h"

namespace orb {
namespace {

// Radii and distances (km): the Sun's radius 695500 km plus and minus the
// Earth's mean radius kEarthRadius_km.
constexpr Extended kSunPlusEarthRadius_km = 701867.44465L;
constexpr Extended kSunMinusEarthRadius_km = 689132.55535L;
constexpr Extended kMoonRadius_km = 1735;
// The Sun's annual aberration in longitude at the distance of 1 AU: the
// apparent Sun stands 20.4898"/R behind the geometric one (Meeus,
// Astronomical Algorithms, 2nd ed., chapter 25), in radians.
constexpr Extended kSunAberration_rad = 20.4898L / 3600 * kDegree;
// Enlargement of the shadow by the Earth's atmosphere.
constexpr Extended kPenumbraEnlargement = 1.02L;
constexpr Extended kUmbraEnlargement = 1.015L;

// The phase value q grows by 2 in a lunation: 14.8 days per unit.
constexpr Extended kDaysPerPhaseUnit = 14.8L;
// The command starts a month before Startdat, since the search steps to the
// next full moon before it examines one.
constexpr Extended kCommandLead_days = 29.6L;
// Full moons farther than 2 degrees from the ecliptic are not examined.
constexpr Extended kExamineLatitude_rad = 0.034906585039886591538L;
// Without list mode the search gives up after this many full moons without
// an eclipse (every year has at least two).
constexpr int kMaxFullMoonsWithoutEclipse = 100;

// The examination: days per radian of x toward opposition, the interval of
// the first path and the interval of the refined paths at the contacts.
constexpr Extended kDaysPerRadianOfX = 4.54L;
constexpr Extended kPathInterval_days = 0.1L;
constexpr Extended kRefitInterval_days = 0.08L;

constexpr std::size_t kHeaderChars = 55;

// The contact lines' texts after their number.
constexpr const char* kPenumbraEntry = "Eintritt des Mondes in den  Halbschatten :  ";
constexpr const char* kUmbraEntry = "Eintritt des Mondes in den  Kernschatten :  ";
constexpr const char* kMiddle = "Mitte der  Finsternis                    :  ";
constexpr const char* kTotalityBegin = "Beginn der Totalität                     :  ";
constexpr const char* kTotalityEnd = "Ende  der  Totalität                     :  ";
constexpr const char* kUmbraExit = "Austritt des Mondes aus dem Kernschatten :  ";
constexpr const char* kPenumbraExit = "Austritt des Mondes aus dem Halbschatten :  ";

// q into (-1, 1]: reduced by 2 while above 1 (in one step, so that no value
// can keep a loop going).
Extended PhaseIntoRange(Extended q) {
  if (q > 1) q -= 2 * std::ceil((q - 1) / 2);
  return q;
}

// q raised by 2 while below 0.
Extended PhaseAboveZero(Extended q) {
  if (q < 0) q += 2 * std::ceil(-q / 2);
  return q;
}

Extended DeltaT_days(Extended jd, bool tdt) { return DeltaT(jd, tdt).days; }

// The Moon's offset from the shadow centre turned into equatorial
// orientation.
struct Offset {
  Extended u = 0, v = 0;
};
Offset EquatorialOffset(const LunarGeometry& g) {
  Offset o{g.x, g.y};
  PlaneRotation(o.u, o.v, g.c);
  return o;
}

// The path through the positions at base + ta and base + tb.
LunarPath PathBetween(Extended base, Extended deltaT_days, Extended ta, Extended tb) {
  const Offset a = EquatorialOffset(LunarShadowGeometry(base + ta, deltaT_days));
  const Offset b = EquatorialOffset(LunarShadowGeometry(base + tb, deltaT_days));
  return LunarPathThrough(ta, a.u, a.v, tb, b.u, b.v);
}

// The path in use and its closest approach.
struct PathFit {
  LunarPath path;
  Extended dmin = 0;
};

// Refines a contact (entry: the earlier of the pair) on the line through
// the positions at the contact and 0.08 day later; that line becomes the
// path in use. A line that no longer reaches R (a grazing contact) leaves
// the contact and the path as they were.
void RefineContact(Extended base, Extended deltaT_days, Extended R, bool entry, Extended& contact, PathFit& fit) {
  PathFit local;
  local.path = PathBetween(base, deltaT_days, contact, contact + kRefitInterval_days);
  local.dmin = ClosestApproach(local.path);
  Extended first = 0, second = 0;
  if (!LunarContactTimes(local.path, R, first, second)) return;
  contact = entry ? first : second;
  fit = local;
}

// The pair of contacts for R on the path in use, each refined.
void ContactPair(Extended base, Extended deltaT_days, Extended R, PathFit& fit, Extended& first, Extended& second) {
  LunarContactTimes(fit.path, R, first, second);
  RefineContact(base, deltaT_days, R, true, first, fit);
  RefineContact(base, deltaT_days, R, false, second, fit);
}

// ---------------------------------------------------------------- texts

// Date and clock time with seconds, as the tables write them.
std::string DateAndTime(const TSettings& s, Extended jd, float zone) {
  return DateClockText(jd, zone, DateStyleOf(s));
}

std::string ContactLine(const TSettings& s, const Finsternistyp& e, int number, const char* text, Extended offset) {
  return std::to_string(number) + ". " + text + DateAndTime(s, e.base + offset, e.zone);
}

// "Fr, 27.07.2018 20:21:44 UTC :   ", at most 55 characters.
std::string HeaderText(const TSettings& s, Extended jd, float zone) {
  const ZoneInstant local = ZoneInstantOf(jd, zone);
  return Utf8Left(WeekdayText(local) + ", " + DateText(local, DateStyleOf(s)) + " " + ClockTimeText(local) + " " +
                      ZoneName(zone, 0, s.TDT) + " :   ",
                  kHeaderChars);
}

// "Mondaufgang 21h36m,  Untergang  6h02m  in Ortheim, Saros 129": rise and
// set are the first and the last six characters of the rise-set text.
std::string RiseSetLine(const TSettings& s, Extended jd, float zone) {
  const std::string events = RiseSet(kRiseSetMoon, s.Ort.Breite, -s.Ort.Laenge, zone, jd).text;
  const std::string rise = events.substr(0, 6);
  const std::string set = events.substr(events.size() - 6);
  const SarosDesignation saros = LunarSarosDesignation(jd);
  std::string line = "Mondaufgang " + rise + ",  " + "Untergang" + " " + set + "  " + "in" + " " + s.Ort.Name +
                     ", " + "Saros" + " " + std::to_string(saros.number);
  if (s.SarosVariante) line += " (" + saros.text + ")";
  return line;
}

// The report lines of an eclipse: the title, then the lines of the text
// area (header, rise-set line, contacts).
std::vector<std::string> ReportOf(const TSettings& s, const Finsternistyp& e, const std::string& headerText,
                                  Extended dmin) {
  const std::string date = DateText(e.base + e.middle, e.zone, DateStyleOf(s));
  std::vector<std::string> lines;
  if (e.type == 0) {
    lines.push_back("Halbschattenfinsternis am " + date);
    lines.push_back(headerText + "Halbschattenfinsternis" + LunarMagnitudeText(e.penumbraRadius, dmin, e.moonRadius));
    lines.push_back(e.riseSetLine);
    lines.push_back(ContactLine(s, e, 1, kPenumbraEntry, e.P1));
    lines.push_back(ContactLine(s, e, 2, kMiddle, e.middle));
    lines.push_back(ContactLine(s, e, 3, kPenumbraExit, e.P4));
    return lines;
  }
  const std::string magnitude = LunarMagnitudeText(e.umbraRadius, dmin, e.moonRadius);
  const bool total = e.type == 2;
  lines.push_back(std::string(total ? "totale " : "partielle ") + "Mondfinsternis am " + date);
  lines.push_back(headerText + (total ? "totale " : "partielle ") + "Mondfinsternis" + magnitude);
  lines.push_back(e.riseSetLine);
  int n = 1;
  lines.push_back(ContactLine(s, e, n++, kPenumbraEntry, e.P1));
  lines.push_back(ContactLine(s, e, n++, kUmbraEntry, e.U1));
  if (total) lines.push_back(ContactLine(s, e, n++, kTotalityBegin, e.U2));
  lines.push_back(ContactLine(s, e, n++, kMiddle, e.middle));
  if (total) lines.push_back(ContactLine(s, e, n++, kTotalityEnd, e.U3));
  lines.push_back(ContactLine(s, e, n++, kUmbraExit, e.U4));
  lines.push_back(ContactLine(s, e, n, kPenumbraExit, e.P4));
  return lines;
}

// ---------------------------------------------------------------- search

// The shadow geometry of the search at `jd`.
LunarGeometry SearchGeometry(const TSettings& s, Extended jd) {
  return LunarShadowGeometry(jd, DeltaT_days(jd, s.TDT));
}

// Moves StartJulDat to the full moon near it (from 3 days before to 26.6
// days after); its geometry.
LunarGeometry ToNearFullMoon(const TSettings& s, TRunContext& run) {
  LunarGeometry g = SearchGeometry(s, run.StartJulDat);
  if (g.q < -0.8L) g.q += 2;
  run.StartJulDat += (1 - g.q) * kDaysPerPhaseUnit;
  return SearchGeometry(s, run.StartJulDat);
}

std::string ProgressText(const TSettings& s, const TRunContext& run, Extended q) {
  return DateAndTime(s, run.StartJulDat, run.Zeitzone) + Str(q, 7, 2);
}

// "vom 25.01.2025  bis 14.03.2025  keine Mondfinsternis": from the start to
// `end`, the end of the range searched.
std::string NoEclipseLine(const TSettings& s, Extended end) {
  const DateStyle style = DateStyleOf(s);
  return "vom " + DateText(s.Startdat, s.Zeitzone, style) + "  " + "bis " + DateText(end, s.Zeitzone, style) + "  " +
         "keine" + " " + "Mondfinsternis";
}

}  // namespace

// ---------------------------------------------------------------- geometry

Extended EclipticNorthAngle(Extended obliquity_rad, Extended sunLon_rad) {
  // At ecliptic longitude L the ecliptic makes the angle atan(tan(eps) cos L)
  // with the equator; at the anti-solar point L = sunLon + pi, and seen with
  // west to the right the sign turns.
  return std::atan2(std::sin(obliquity_rad) * std::cos(sunLon_rad), std::cos(obliquity_rad));
}

LunarGeometry LunarShadowGeometry(Extended t, Extended deltaT_days) {
  const Extended tt = t + deltaT_days;
  const MoonPosition moon = MoonSeries(tt);
  const SunPosition sun = SunSeries(tt);
  const Extended moonDistance_km = moon.dist_earthRadii * kEarthRadius_km;
  const Extended sunDistance_km = sun.R * kAu_km;

  // The shadow is cast along the sunlight as it reaches the Earth: its axis
  // points away from the apparent Sun. The series' Moon counts light time as
  // included, so that both are referred alike.
  const Extended sunLon = sun.L - kSunAberration_rad / sun.R;

  LunarGeometry g;
  g.sunLon = sunLon;
  g.c = EclipticNorthAngle(MeanObliquity(tt), sunLon);
  // The point opposite the Sun lies at the latitude -sun.B; the difference
  // in longitude is an arc along the Moon's parallel of latitude.
  const Extended x0 = Modulo(kTwoPi, sunLon - moon.lon + 8 * kPi) - kPi;
  g.y = Modulo(kTwoPi, moon.lat + sun.B + 7 * kPi) - kPi;
  g.x = x0 * std::cos(moon.lat);
  g.q = PhaseIntoRange(1 - g.x / kPi);
  g.penumbra = kPenumbraEnlargement *
               std::atan(kEarthRadius_km / moonDistance_km + kSunPlusEarthRadius_km / sunDistance_km);
  g.umbra = kUmbraEnlargement * std::atan(kEarthRadius_km / moonDistance_km - kSunMinusEarthRadius_km / sunDistance_km);
  g.moon = std::atan(kMoonRadius_km / moonDistance_km);
  return g;
}

LunarPath LunarPathThrough(Extended ta, Extended ua, Extended va, Extended tb, Extended ub, Extended vb) {
  LunarPath p;
  p.rate1 = (ub - ua) / (tb - ta);
  p.ref1 = ta - ua / p.rate1;
  p.rate2 = (vb - va) / (tb - ta);
  p.ref2 = ta - va / p.rate2;
  return p;
}

Extended ClosestApproach(const LunarPath& path) {
  // A = second coordinate where the first is 0; slope A/B = rate2/rate1.
  const Extended A = (path.ref1 - path.ref2) * path.rate2;
  const Extended slope = path.rate2 / path.rate1;
  return std::fabs(A) / std::sqrt(1 + slope * slope);
}

bool LunarContactTimes(const LunarPath& path, Extended R, Extended& first, Extended& second) {
  const Extended r1 = path.rate1 * path.rate1, r2 = path.rate2 * path.rate2;
  first = second = (path.ref1 * r1 + path.ref2 * r2) / (r1 + r2);  // closest approach
  if (!(ClosestApproach(path) <= R)) return false;
  const Extended A = (path.ref1 - path.ref2) * path.rate2;
  const Extended slope = path.rate2 / path.rate1;
  Extended u1 = 0, u2 = 0;
  if (!QuadratGleich(A * A - R * R, 2 * A * slope, 1 + slope * slope, u1, u2)) return false;
  first = path.ref1 + u1 / path.rate1;
  second = path.ref1 + u2 / path.rate1;
  if (second < first) std::swap(first, second);
  return true;
}

std::string LunarMagnitudeText(Extended R_rad, Extended dmin_rad, Extended moonRadius_rad) {
  const Extended m = std::fabs((R_rad - dmin_rad + moonRadius_rad) * 50 / moonRadius_rad);
  if (!std::isfinite(m)) return std::string(7, ' ') + "---" + " %";
  return IntStr(std::llround(m), 10) + " %";
}

bool FindLunarEclipse(Extended jd, bool tdt, Finsternistyp& eclipse, Extended& dmin_rad) {
  // The full moon: twice to q = 1, then one linear step toward opposition
  // in longitude, half the path interval early.
  Extended t = jd;
  LunarGeometry g = LunarShadowGeometry(t, DeltaT_days(t, tdt));
  for (int i = 0; i < 2; ++i) {
    t -= (PhaseAboveZero(g.q) - 1) * kDaysPerPhaseUnit;
    g = LunarShadowGeometry(t, DeltaT_days(t, tdt));
  }
  t += kDaysPerRadianOfX * g.x - kPathInterval_days / 2;
  const Extended deltaT_days = DeltaT_days(t, tdt);

  const LunarGeometry a = LunarShadowGeometry(t, deltaT_days);
  const LunarGeometry b = LunarShadowGeometry(t + kPathInterval_days, deltaT_days);
  Finsternistyp e;
  e.base = t;
  e.sunLon = a.sunLon;
  e.penumbraRadius = (a.penumbra + b.penumbra) / 2;
  e.umbraRadius = (a.umbra + b.umbra) / 2;
  e.moonRadius = (a.moon + b.moon) / 2;
  const Offset oa = EquatorialOffset(a), ob = EquatorialOffset(b);
  PathFit fit;
  fit.path = LunarPathThrough(0, oa.u, oa.v, kPathInterval_days, ob.u, ob.v);
  fit.dmin = ClosestApproach(fit.path);
  if (!(fit.dmin <= e.penumbraRadius + e.moonRadius)) return false;

  ContactPair(t, deltaT_days, e.penumbraRadius + e.moonRadius, fit, e.P1, e.P4);
  e.middle = (e.P1 + e.P4) / 2;
  e.type = 0;
  if (fit.dmin <= e.umbraRadius + e.moonRadius) {
    ContactPair(t, deltaT_days, e.umbraRadius + e.moonRadius, fit, e.U1, e.U4);
    e.middle = (e.U1 + e.U4) / 2;
    e.type = 1;
    if (fit.dmin <= e.umbraRadius - e.moonRadius) {
      ContactPair(t, deltaT_days, e.umbraRadius - e.moonRadius, fit, e.U2, e.U3);
      e.middle = (e.U2 + e.U3) / 2;
      e.type = 2;
    }
  }
  e.pathRef1 = fit.path.ref1;
  e.pathRate1 = fit.path.rate1;
  e.pathRef2 = fit.path.ref2;
  e.pathRate2 = fit.path.rate2;
  eclipse = e;
  dmin_rad = fit.dmin;
  return true;
}

// ---------------------------------------------------------------- reports

bool LunarEclipseSearch::Report(const TSettings& s, const TRunContext& run, Host& host, bool picture,
                                LunarEclipsePictureSink* sink) {
  Finsternistyp e;
  Extended dmin = 0;
  if (!FindLunarEclipse(run.StartJulDat, s.TDT, e, dmin)) return false;
  host.AddLine("");
  e.zone = run.Zeitzone;
  // Header, rise and set and the Saros series belong to the middle of the
  // penumbral phase.
  const Extended penumbralMiddle = e.base + (e.P1 + e.P4) / 2;
  const std::string headerText = HeaderText(s, penumbralMiddle, e.zone);
  e.riseSetLine = RiseSetLine(s, penumbralMiddle, e.zone);
  std::vector<std::string> lines = ReportOf(s, e, headerText, dmin);
  e.headerLine = lines[1];
  last_ = std::move(e);
  reportLines_ = std::move(lines);
  for (std::size_t i = 1; i < reportLines_.size(); ++i) host.AddLine(reportLines_[i]);
  if (picture && sink != nullptr) sink->ShowLunarEclipse(last_, reportLines_);
  host.AddLine("");
  return true;
}

int LunarEclipseSearch::Run(const TSettings& s, TRunContext& run, Host& host, bool picture, int direction,
                            LunarEclipsePictureSink* sink) {
  KernelHostScope kernelReports(host);
  const bool forward = direction >= 0;
  const bool listMode = s.Tabelle && forward;
  run.Begin(kRunLunarEclipses);
  run.Zeitzone = s.Zeitzone;
  host.EnableStop(true);

  LunarGeometry g = ToNearFullMoon(s, run);
  int reported = 0;
  int fullMoonsWithoutEclipse = 0;
  bool rangeDone = false;
  for (;;) {
    const Extended q = PhaseAboveZero(g.q);
    const Extended previous = run.StartJulDat;
    run.StartJulDat += forward ? (3 - q) * kDaysPerPhaseUnit : -(q + 1) * kDaysPerPhaseUnit;
    g = SearchGeometry(s, run.StartJulDat);
    if (s.AutoSommerzeit && !s.TDT) SummerTime(run.Zeitzone, s.BasisZeitzone, run.StartJulDat);
    if (std::fabs(g.y) < kExamineLatitude_rad && (!listMode || run.StartJulDat < run.EndJulDat) &&
        Report(s, run, host, picture, sink)) {
      ++reported;
      fullMoonsWithoutEclipse = 0;
      if (!listMode) run.RunState = 0;
    } else {
      ++fullMoonsWithoutEclipse;
    }
    host.Progress(ProgressText(s, run, g.q));
    if (listMode && !(run.StartJulDat <= run.EndJulDat)) {
      rangeDone = true;
      break;
    }
    if (!PumpAndAskStop(run, host, kRunLunarEclipses)) break;
    if (!listMode && fullMoonsWithoutEclipse >= kMaxFullMoonsWithoutEclipse) {
      rangeDone = true;
      break;
    }
    // An instant that is not a number, or too large to move, ends the search.
    if (!std::isfinite(run.StartJulDat) || run.StartJulDat == previous) break;
  }

  if (reported == 0 && rangeDone) {
    host.AddLine("");
    host.AddLine(NoEclipseLine(s, listMode ? run.EndJulDat : run.StartJulDat));
  }
  run.StartJulDat = s.Startdat;
  run.RunState = 0;
  host.EnableStop(false);
  return reported;
}

int ListLunarEclipses(const TSettings& s, TRunContext& run, Host& host, LunarEclipseSearch& search, bool picture,
                      LunarEclipsePictureSink* sink) {
  run.StartJulDat = s.Startdat - kCommandLead_days;
  return search.Run(s, run, host, picture, +1, sink);
}

}  // namespace orb
