// SPDX-License-Identifier: AGPL-3.0-or-later
// The solar eclipse commands: set-up of one eclipse, the central line from
// the shadow axis (Besselian geometry on a unit-sphere Earth, Montenbruck &
// Pfleger, Astronomy on the Personal Computer, chapter "Solar eclipses"),
// the global type, titles, and the loop over the eclipse new moons.
#include "eclipses/EclipseCommand.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "core/DataFiles.h"
#include "core/KernelReport.h"
#include "core/NumText.h"
#include "core/TimeScales.h"
#include "eclipses/Saros.h"
#include "eclipses/SolarEclipse.h"
#include "eclipses/WorldMapPicture.h"
#include "tables/EphemerisLimits.h"
#include "tables/TableFormat.h"

namespace orb {
namespace {

// The set-up: a half day around the conjunction, fits a little wider.
constexpr Extended kHalfInterval_days = 0.25L;
constexpr Extended kFitMargin_cy = 1.14e-6L;
constexpr int32_t kMoonFitDegree = 8;
constexpr int32_t kSunFitDegree = 3;

// Geocentric to geographic latitude: phi - phi' = 0.1924 deg sin 2phi' to
// first order in the flattening.
constexpr Extended kLatitudeSeries_deg = 0.1924L;

// The neighbour of a central point for its speed: 0.1 minute, and the
// Earth's rotation in that time (radians).
constexpr Extended kTenthMinute_cy = 1.901285268841737e-9L;
constexpr Extended kTenthMinute_min = 0.1L;
constexpr Extended kRotationPerTenthMinute_rad = 0.00043755L;
// The global type samples the path every half minute; a change of the code
// between two samples is bisected to 1 ms (15 halvings).
constexpr Extended kHalfMinute_cy = 5 * kTenthMinute_cy;
constexpr Extended kChangePrecision_cy = 1e-3L / kSecondsPerCentury;

// The loop moves 20 days past an eclipse new moon before looking for the
// next one.
constexpr Extended kNextSearchOffset_days = 20;

Extended DeltaT_cy(const SolarEclipseContext& c) { return c.deltaT_s / kSecondsPerCentury; }

// `jd` with its time of day rounded to the nearest multiple of `step_days`.
Extended RoundedToStep(Extended jd, Extended step_days) {
  const Extended midnight = std::floor(jd - 0.5L) + 0.5L;
  const Extended step_min = step_days * kMinutesPerDay;
  const Extended minutes = (jd - midnight) * kMinutesPerDay;
  return midnight + std::round(minutes / step_min) * step_min / kMinutesPerDay;
}

// Where the shadow axis stands at one instant.
struct ShadowAxis {
  SolarPhaseCode code = kNoEclipse;
  Vector3 surface;             // central point on the ellipsoid (Earth radii, equator of date)
  Vector3 direction;           // unit vector from the Sun through the Moon (true Earth frame)
  Extended umbraDiameter = 0;  // at the surface; > 0 annular, < 0 total (Earth radii)
};

Vector3 Scaled(const Vector3& v, Extended f) { return {v.x * f, v.y * f, v.z * f}; }
Vector3 Sum(const Vector3& a, const Vector3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vector3 Difference(const Vector3& a, const Vector3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }

// The geocentric place of a fitted body at `ttt` (centuries, dynamical
// time) as a vector, its distance times `distScale`.
Vector3 FittedPlace(const TChebFit& fit, Extended ttt, Extended distScale) {
  return PolarToRectD(T_EVAL(fit.ra_deg, ttt), T_EVAL(fit.dec_deg, ttt), T_EVAL(fit.dist, ttt) * distScale);
}

// The phase code when the axis misses the Earth (distance `axis` > 1 from
// its centre), from the umbra and penumbra diameters at the Moon's distance
// from the fundamental plane.
SolarPhaseCode NonCentralCode(Extended axis, Extended umbra, Extended penumbra) {
  if (axis >= std::fabs(umbra) / 2 + 1) return axis < penumbra / 2 + 1 ? kPartialEclipse : kNoEclipse;
  return umbra > 0 ? kNonCentralAnnular : kNonCentralTotal;
}

// The shadow axis at `t` (centuries, UT). The z components are divided by
// the axis ratio, so that the Earth is a unit sphere; lines stay lines under
// this stretch, so the point found on the sphere and stretched back is the
// exact intersection with the ellipsoid.
ShadowAxis ShadowAxisAt(const SolarEclipseContext& c, Extended t) {
  const FittedBodies bodies = FittedBodiesAt(c, t);
  const Vector3& moon = bodies.moon;
  const Vector3& sun = bodies.sun;
  const Vector3 moonOnSphere{moon.x, moon.y, moon.z / kEarthAxisRatio};
  const Vector3 sunOnSphere{sun.x, sun.y, sun.z / kEarthAxisRatio};

  const Vector3 d = Difference(moonOnSphere, sunOnSphere);
  const Extended dNorm = Norm(d);
  const Vector3 e = Scaled(d, 1 / dNorm);
  // l: the Moon's distance from the fundamental plane; m = 1 - (distance of
  // the axis from the Earth's centre)^2.
  const Extended l = -Dot(moonOnSphere, e);
  const Extended m = l * l + 1 - Dot(moonOnSphere, moonOnSphere);
  const Extended axis = std::sqrt(std::max<Extended>(0, 1 - m));

  ShadowAxis a;
  const Vector3 dTrue = Difference(moon, sun);
  a.direction = Scaled(dTrue, 1 / Norm(dTrue));
  if (axis >= 1) {
    const Extended umbra = l * kSunMinusMoonDiameter / dNorm - kMoonDiameter;
    const Extended penumbra = l * kSunPlusMoonDiameter / dNorm + kMoonDiameter;
    a.code = NonCentralCode(axis, umbra, penumbra);
    return a;
  }
  const Extended u = l - std::sqrt(m);  // from the Moon to the surface along the axis
  a.umbraDiameter = u * kSunMinusMoonDiameter / dNorm - kMoonDiameter;
  a.surface = Sum(moonOnSphere, Scaled(e, u));
  a.surface.z *= kEarthAxisRatio;
  a.code = a.umbraDiameter > 0 ? kAnnularEclipse : kTotalEclipse;
  return a;
}

// Brings a longitude (degrees) into (-180, 180].
Extended LongitudeIntoRange(Extended lon_deg) { return lon_deg - 360 * std::ceil((lon_deg - 180) / 360); }

// Geographic longitude (west positive) and latitude of the central point.
void Geographic(const ShadowAxis& a, Extended t, CentralPoint& p) {
  SurfacePointGeographic(a.surface, t, p.lonWest_deg, p.lat_deg);
}

// Duration of the central phase (minutes) at the central point `a0` of `t`:
// the shift of the axis point against the rotating ground in 0.1 minute,
// perpendicular to the axis, is the shadow's speed.
Extended CentralDuration(const SolarEclipseContext& c, const ShadowAxis& a0, Extended t) {
  ShadowAxis a1 = ShadowAxisAt(c, t + kTenthMinute_cy);
  Extended w = kRotationPerTenthMinute_rad;
  if (!IsCentral(a1.code)) {
    a1 = ShadowAxisAt(c, t - kTenthMinute_cy);
    w = -w;
  }
  if (!IsCentral(a1.code)) return 0;
  const Vector3& p0 = a0.surface;
  const Vector3& p1 = a1.surface;
  const Vector3 shift{w * p0.y + (p1.x - p0.x), p1.y - p0.y - w * p0.x, p1.z - p0.z};
  const Vector3 across = Difference(shift, Scaled(a0.direction, Dot(shift, a0.direction)));
  const Extended speed = Norm(across);
  if (!(speed > 0)) return 0;
  return std::fabs(a0.umbraDiameter) * kTenthMinute_min / speed;
}

// The instants about the changes of the phase code between the samples
// `from` and `to` (in time order), appended to `out` in time order without
// `from` and `to`: nothing when the codes agree or neither is central.
// Between a non-central and a central sample the end of the central phase
// is bisected on "central or not", and the central instant found keeps its
// own code; when that differs from the central sample's (an annular or
// total stretch shorter than the bracket) the change between the two is
// bisected as well. Between annular and total the bisection follows the
// code.
void AppendChanges(const SolarEclipseContext& c, const PathSample& from, const PathSample& to,
                   std::vector<PathSample>& out) {
  if (from.code == to.code || !(IsCentral(from.code) || IsCentral(to.code))) return;
  const bool end = IsCentral(from.code) != IsCentral(to.code);
  PathSample before = from, after = to;
  while (after.t - before.t > kChangePrecision_cy) {
    const Extended middle = (before.t + after.t) / 2;
    const PathSample m{middle, ShadowAxisAt(c, middle).code};
    const bool onFromSide = end ? IsCentral(m.code) == IsCentral(from.code) : m.code == from.code;
    (onFromSide ? before : after) = m;
  }
  if (end && IsCentral(from.code)) AppendChanges(c, from, before, out);
  if (before.t != from.t) out.push_back(before);
  if (after.t != to.t) out.push_back(after);
  if (end && IsCentral(to.code)) AppendChanges(c, after, to, out);
}

// The run state of a command: the menu tag.
int32_t RunStateOf(bool path, bool picture) {
  return (path ? kRunSolarEclipsePath : kRunSolarEclipses) + (picture ? 1 : 0);
}

bool PastRange(const TSettings& s, const TRunContext& run) { return s.Tabelle && run.StartJulDat > run.EndJulDat; }

// For the path with a picture: without a usable world map file (missing,
// not a regular file, unreadable, too big, without coastlines) there is no
// picture, and an information box says why. Returns whether the picture
// stays on.
bool WorldMapAvailable(const TSettings& s, Host& host) {
  const std::string path = FindDataFile(s.GeoFileName);
  const std::string problem = path.empty() ? "nicht gefunden" : OutlineFileProblem(path);
  if (problem.empty()) return true;
  host.MessageBox(MsgKind::Information, "Information",
                  "Datei " + s.GeoFileName + " " + problem + "\n\r" + "Keine Erstellung der Grafik!");
  return false;
}

// "vom 01.01.2020  bis 31.12.2020 keine Sonnenfinsternis", for the local
// report with a minimum coverage "  mit einer Größe von mindestens 50 %".
std::string NoEclipseLine(const TSettings& s, const TRunContext& run, bool path, double minCoverage) {
  const DateStyle style = DateStyleOf(s);
  std::string line = "vom " + DateText(s.Startdat, s.Zeitzone, style) + "  " + "bis " +
                     DateText(run.EndJulDat, s.Zeitzone, style) + " " + "keine" + " " + "Sonnenfinsternis";
  if (!path && minCoverage > 0) {
    line += "  mit einer Größe von mindestens " + StrT(static_cast<long double>(minCoverage) * 100, 0, 2) + " %";
  }
  return line;
}

// The first eclipse new moon of a search from `jd` in `direction`: the
// nearest one may lie up to half a month on the other side of the start (an
// eclipse of the 29th of March for a search from the 10th of April); such a
// one is passed over, so that the first eclipse reported is the first after
// (before) the start. Half a day of grace keeps an eclipse under way at the
// start. False when the theory has no place.
bool FirstEclipseNewMoon(Extended& jd, int direction, bool tdt) {
  constexpr Extended kGrace_days = 0.5L;
  const Extended from = jd;
  if (!std::isfinite(NextEclipseNewMoon(jd, direction, tdt))) return false;
  if ((jd - from) * direction >= -kGrace_days) return true;
  jd += kNextSearchOffset_days * direction;
  return std::isfinite(NextEclipseNewMoon(jd, direction, tdt));
}

// The search cannot go on: the planetary theory has no place near `jd`.
void ReportBeyondEphemeris(const TSettings& s, Host& host, Extended jd, SolarSearchResult& result) {
  host.MessageBox(MsgKind::Error, "Ephemeride", NoPlaceText(jd, DateStyleOf(s)));
  result.beyondEphemeris = true;
}

// The new moons of the search, one report each. Returns whether the search
// went through its whole range (list mode).
bool EclipseLoop(const TSettings& s, TRunContext& run, Host& host, SolarEclipseReport& report, bool picture,
                 int direction, int32_t runState, SolarSearchResult& result) {
  if (PastRange(s, run)) run.RunState = 0;
  while (run.RunState > 0) {
    run.DeltaT = DeltaT(run.StartJulDat, s.TDT).days;
    if (!PumpAndAskStop(run, host, runState)) break;
    if (s.AutoSommerzeit && !s.TDT) SummerTime(run.Zeitzone, s.BasisZeitzone, run.StartJulDat);
    const bool printed = report.Report(s, run, host, picture, direction);
    if (printed) ++result.printed;
    if (run.RunState == 0) break;  // the report ended the search (a declined question)
    if (printed && !s.Tabelle) break;
    run.StartJulDat += kNextSearchOffset_days * direction;
    if (!PumpAndAskStop(run, host, runState)) break;
    // Outside the planetary theory's range there is no next new moon.
    const Extended from = run.StartJulDat;
    if (!std::isfinite(NextEclipseNewMoon(run.StartJulDat, direction, s.TDT))) {
      if (!PastRange(s, run)) ReportBeyondEphemeris(s, host, from, result);
      break;
    }
    if (PastRange(s, run)) run.RunState = 0;
  }
  // The next new moon lies beyond the range (also after a stop once the
  // search has moved past the range's last new moon).
  return PastRange(s, run);
}

void FinishCommand(const TSettings& s, TRunContext& run, Host& host) {
  run.RunState = 0;
  host.EnableStop(false);
  run.StartJulDat = s.Startdat;
}

}  // namespace

FittedBodies FittedBodiesAt(const SolarEclipseContext& c, Extended t) {
  const Extended ttt = t + DeltaT_cy(c);
  return {FittedPlace(c.moon, ttt, 1), FittedPlace(c.sun, ttt, kEarthRadiiPerAuCentralLine)};
}

void SurfacePointGeographic(const Vector3& p, Extended t, Extended& lonWest_deg, Extended& lat_deg) {
  Extended r = 0, ra_deg = 0, latGeocentric_deg = 0;
  RectToPolarD(p.z, p.y, p.x, r, ra_deg, latGeocentric_deg);
  lat_deg = latGeocentric_deg + kLatitudeSeries_deg * SinD(2 * latGeocentric_deg);
  const Extended gmst_h = LocalMeanSiderealTime(0, JDFromCenturies(t) - kMJDOffset);
  lonWest_deg = LongitudeIntoRange(15 * gmst_h - ra_deg);
}

bool SetUpSolarEclipse(SolarEclipseContext& c, Extended startJD, int direction, Extended step_days, bool tdt) {
  if (!(step_days > 0) || !std::isfinite(step_days)) return false;
  Extended t = JulianCenturies(startJD);
  const Extended latitude_deg = NextEclipseLunation(t, direction, tdt);
  if (!std::isfinite(latitude_deg) || !std::isfinite(t)) return false;
  c.conjunction = t;
  c.north = latitude_deg >= 0;
  const Extended conjunctionJD = JDFromCenturies(t);
  c.deltaT_s = static_cast<int32_t>(std::lround(DeltaT(conjunctionJD, tdt).days * kSecondsPerDay));
  c.step = step_days / kDaysPerCentury;

  // The tabulated half day is centred on the conjunction in UT; the fits
  // cover the same instants in dynamical time.
  const Extended centreJD = RoundedToStep(conjunctionJD, step_days);
  c.tableStart = JulianCenturies(centreJD - kHalfInterval_days);
  c.intervalStart = c.tableStart + DeltaT_cy(c);
  c.intervalEnd = JulianCenturies(centreJD + kHalfInterval_days) + DeltaT_cy(c);
  const Extended fitStart = c.intervalStart - kFitMargin_cy;
  const Extended fitEnd = c.intervalEnd + kFitMargin_cy;
  return T_FIT_MOON(kMoonFitDegree, fitStart, fitEnd, c.moon) && T_FIT_SUN(kSunFitDegree, fitStart, fitEnd, c.sun);
}

CentralPoint CentralLinePoint(const SolarEclipseContext& c, Extended t) {
  const ShadowAxis a = ShadowAxisAt(c, t);
  CentralPoint p;
  p.code = a.code;
  if (!IsCentral(a.code)) return p;
  Geographic(a, t, p);
  p.duration_min = CentralDuration(c, a, t);
  return p;
}

std::vector<PathSample> SampledCentralLine(const SolarEclipseContext& c) {
  std::vector<PathSample> samples;
  for (int64_t i = 0;; ++i) {
    const Extended t = c.tableStart + i * kHalfMinute_cy;
    if (!(t + DeltaT_cy(c) <= c.intervalEnd + kEndMargin_steps * kHalfMinute_cy)) break;
    const PathSample sample{t, ShadowAxisAt(c, t).code};
    if (!samples.empty()) AppendChanges(c, samples.back(), sample, samples);
    samples.push_back(sample);
  }
  return samples;
}

SolarPhaseCode GlobalEclipseType(const SolarEclipseContext& c) {
  SolarPhaseCode largest = kNoEclipse;
  SolarPhaseCode lastCentral = kNoEclipse;
  bool hybrid = false;
  for (const PathSample& sample : SampledCentralLine(c)) {
    largest = std::max(largest, sample.code);
    if (!IsCentral(sample.code)) continue;
    if (lastCentral != kNoEclipse && sample.code != lastCentral) hybrid = true;
    lastCentral = sample.code;
  }
  return hybrid ? kHybridEclipse : largest;
}

std::string SolarEclipseTitle(const SolarEclipseContext& c, SolarPhaseCode globalType, const TSettings& s, float zone_h) {
  const bool known = globalType >= kNoEclipse && globalType <= kHybridEclipse;
  std::string title = EclipseTypeNames[known ? globalType : kNoEclipse] + "Sonnenfinsternis am " +
                      DateText(JDFromCenturies(c.conjunction), zone_h, DateStyleOf(s));
  if (title[0] >= 'a' && title[0] <= 'z') title[0] = static_cast<char>(title[0] - 'a' + 'A');
  if (globalType >= kPartialEclipse && globalType <= kNonCentralTotal) {
    title += std::string(" (") + (c.north ? "Nord" : "Süd") + "halbkugel" + ")";
  }
  return title;
}

std::string SolarSarosLine(Extended jd, const TSettings& s) {
  const SarosDesignation saros = SolarSarosDesignation(jd);
  std::string line = "Saros " + std::to_string(saros.number);
  if (s.SarosVariante) line += " (" + saros.text + ")";
  return line;
}

SolarSearchResult SolarEclipseCommand(const TSettings& s, TRunContext& run, Host& host, SolarEclipseReport& report,
                                      bool path, bool picture, double minCoverage, int direction) {
  run.StartJulDat = s.Startdat;
  return SolarEclipseSearch(s, run, host, report, path, picture, minCoverage, direction);
}

SolarSearchResult SolarEclipseSearch(const TSettings& s, TRunContext& run, Host& host, SolarEclipseReport& report,
                                     bool path, bool picture, double minCoverage, int direction) {
  KernelHostScope kernelReports(host);
  direction = direction < 0 ? -1 : +1;
  const int32_t runState = RunStateOf(path, picture);
  run.Begin(runState);
  run.Zeitzone = s.Zeitzone;
  host.EnableStop(true);
  SolarSearchResult result;

  const Extended from = run.StartJulDat;
  const bool seasonFound = FirstEclipseNewMoon(run.StartJulDat, direction, s.TDT);
  host.AddLine("");
  if (path && picture && !WorldMapAvailable(s, host)) picture = false;
  if (!report.AskStep(s, host, picture)) {
    host.Beep();
    FinishCommand(s, run, host);
    return result;
  }
  if (!seasonFound) {
    ReportBeyondEphemeris(s, host, from, result);
    run.RunState = 0;
  }

  const bool rangeDone = EclipseLoop(s, run, host, report, picture, direction, runState, result);
  if (s.Tabelle && result.printed == 0 && rangeDone) host.AddLine(NoEclipseLine(s, run, path, minCoverage));
  FinishCommand(s, run, host);
  return result;
}

}  // namespace orb
