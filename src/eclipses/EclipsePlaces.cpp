// SPDX-License-Identifier: AGPL-3.0-or-later
// The places of the location list inside the central path of a solar
// eclipse: a sound pre-filter on the fundamental plane, the local
// circumstances of the places it passes, and the listing.
#include "eclipses/EclipsePlaces.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "core/NumText.h"
#include "core/TimeScales.h"
#include "settings/LocationList.h"
#include "tables/TableFormat.h"

namespace orb {
namespace {

// ---- the pre-filter ----

// The shadow is sampled every half minute over the conjunction +- 8 hours
// (the umbral phase of any eclipse lies within 5 hours of the conjunction).
constexpr double kSampleStep_min = 0.5;
constexpr double kHalfSpan_min = 8 * 60;
// The bound of the rate of f gets a tenth to spare (the rates are measured
// between samples, and the basis of the fundamental plane turns slowly).
constexpr double kSpare = 1.1;
// The Earth's rotation against the stars (radians per minute of UT).
constexpr double kRotation_radPerMin = 2 * 3.14159265358979323846 * 1.00273790935 / 1440;
// The observer on the reference ellipsoid, as ObserverOnPlane places it.
constexpr double kEccentricity2 = 0.006705625796372828;
constexpr double kObserverScale = 1.000015678559428874;
// The observer is at most this far from the Earth's centre (Earth radii),
// and the umbral radius in the observer's plane differs from l2 by
// zeta tan f2, at most this much.
constexpr double kObserverReach = 1.0001;
constexpr double kConeSpread = 0.01;
// zeta below this: the Sun more than about 5.7 degrees below the horizon.
constexpr double kNightSide = -0.1;

// The sunrise and sunset altitude of the Sun (geometric).
constexpr Extended kSunHorizon_deg = -50.0L / 60;

// The path's search needs a step for its half day; the listing has no table.
constexpr Extended kSetUpStep_days = 1.0L / kMinutesPerDay;

// The elements at one sample, in double precision (the filter's margins
// are far larger than its rounding).
struct PlaneSample {
  double x = 0, y = 0, l2 = 0, tanF2 = 0;
  double b[9] = {};
  double cosGmst = 1, sinGmst = 0;  // the Greenwich mean sidereal angle
};

PlaneSample SampleAt(const LocalEclipse& c, Extended t) {
  const PlaneElements e = ElementsFromFits(c, t);
  PlaneSample p;
  p.x = static_cast<double>(e.x);
  p.y = static_cast<double>(e.y);
  p.l2 = static_cast<double>(e.l2);
  p.tanF2 = static_cast<double>(TanD(e.f2));
  for (int i = 0; i < 9; ++i) p.b[i] = static_cast<double>(e.basis[i]);
  const double gmst_rad =
      static_cast<double>(15 * LocalMeanSiderealTime(0, JDFromCenturies(t) - kMJDOffset) * kDegToRad);
  p.cosGmst = std::cos(gmst_rad);
  p.sinGmst = std::sin(gmst_rad);
  return p;
}

// A place's geocentric constants: rho cos(phi') and rho sin(phi') scaled,
// and its longitude.
struct PlaceOnEarth {
  double rhoCos = 0, rhoSin = 0, cosLon = 1, sinLon = 0;
};

PlaceOnEarth OnEarth(const ListedPlace& place) {
  const double phi = static_cast<double>(place.latitude_deg * kDegToRad);
  const double lon = static_cast<double>(place.longitude_deg * kDegToRad);
  const double C = 1 / std::sqrt(1 - kEccentricity2 * std::sin(phi) * std::sin(phi));
  return {std::cos(phi) * C * kObserverScale, std::sin(phi) * C * (1 - kEccentricity2) * kObserverScale,
          std::cos(lon), std::sin(lon)};
}

// f = distance of the observer from the axis minus |L2|, and zeta.
struct PlaceDistance {
  double f = 0, zeta = 0;
};

PlaceDistance DistanceAt(const PlaneSample& p, const PlaceOnEarth& q) {
  // The local sidereal angle is the Greenwich one plus the east longitude.
  const double cosTheta = p.cosGmst * q.cosLon - p.sinGmst * q.sinLon;
  const double sinTheta = p.sinGmst * q.cosLon + p.cosGmst * q.sinLon;
  const double X = q.rhoCos * cosTheta, Y = q.rhoCos * sinTheta, Z = q.rhoSin;
  const double xi = X * p.b[0] + Y * p.b[1] + Z * p.b[2];
  const double eta = X * p.b[3] + Y * p.b[4] + Z * p.b[5];
  const double zeta = X * p.b[6] + Y * p.b[7] + Z * p.b[8];
  const double L2 = p.l2 - zeta * p.tanF2;
  return {std::hypot(p.x - xi, p.y - eta) - std::fabs(L2), zeta};
}

// Whether the samples from `first` to `last` bring the place within `V`
// of the cone with zeta above kNightSide (see CentralPathCandidates).
bool NearTheCone(const std::vector<PlaneSample>& samples, std::size_t first, std::size_t last, double V,
                 const PlaceOnEarth& q) {
  std::size_t k = first;
  while (k <= last) {
    const PlaceDistance d = DistanceAt(samples[k], q);
    if (std::isnan(d.f)) return true;
    if (d.f < V) {
      if (d.zeta > kNightSide) return true;
      ++k;
      continue;
    }
    // f stays positive over the next floor(f / V) sample spans.
    k += static_cast<std::size_t>(std::min(d.f / V, 1e6));
  }
  return false;
}

// ---- the listing ----

// Pads `text` with blanks to `width` characters.
std::string PadRight(std::string text, std::size_t width) {
  const std::size_t length = Utf8Length(text);
  if (length < width) text.append(width - length, ' ');
  return text;
}
std::string PadLeft(const std::string& text, std::size_t width) {
  const std::size_t length = Utf8Length(text);
  return length < width ? std::string(width - length, ' ') + text : text;
}

// The columns of a row (in characters): name 0-32, latitude 33-40 (" 39.47 N"),
// longitude 41-49 ("   0.38 W"), duration 50-57 ("m:ss" right-aligned), two
// blanks, date 60-69 and clock time 71-78 of greatest eclipse, two blanks,
// the phase from 81. The headings end over the last character of their
// column, "Maximum" and "Phase" start over theirs; the unit line has "m:s"
// over the duration and the zone over the clock time.
constexpr std::size_t kNameWidth = kLocationNameColumns;
constexpr std::size_t kMaximumColumn = 60;
constexpr std::size_t kClockColumn = 71;
constexpr std::size_t kPhaseColumn = 81;

std::string ColumnLine() {
  std::string line = PadRight("Ort", kNameWidth);
  line += PadLeft("Breite", 8) + PadLeft("Länge", 9) + PadLeft("Dauer", 8);
  line = PadRight(line, kMaximumColumn) + "Maximum";
  return PadRight(line, kPhaseColumn) + "Phase";
}

std::string UnitLine(const TSettings& s, float zone_h) {
  return PadRight(PadLeft("m:s", kNameWidth + 8 + 9 + 8), kClockColumn) + ZoneName(zone_h, 0, s.TDT);
}

std::string MinutesSeconds(Extended seconds_total) {
  const long long seconds = std::llround(seconds_total);
  return std::to_string(seconds / 60) + ":" + TwoDigits(seconds % 60);
}

std::string Hemisphere(Extended v, const char* positive, const char* negative) {
  return std::string(" ") + (v < 0 ? negative : positive);
}

std::string RowText(const TSettings& s, float zone_h, const EclipsePlace& p) {
  return PadRight(Utf8Left(p.name, kNameWidth), kNameWidth) + Str(std::fabs(p.latitude_deg), 6, 2) +
         Hemisphere(p.latitude_deg, "N", "S") + Str(std::fabs(p.longitude_deg), 7, 2) +
         Hemisphere(p.longitude_deg, "E", "W") + PadLeft(MinutesSeconds(p.duration_s), 8) + "  " +
         DateClockText(JDFromCenturies(p.maximum), zone_h, DateStyleOf(s)) + "  " +
         (p.kind == kTotalEclipse ? "total" : "ringförmig");
}

// "im Totalitätsbereich", "im Bereich der Ringförmigkeit", or both.
std::string RegionText(bool total, bool annular) {
  if (total && annular) return "im Bereich der Totalität oder Ringförmigkeit";
  return annular ? "im Bereich der Ringförmigkeit" : "im Totalitätsbereich";
}

std::string ClosingLine(const std::vector<EclipsePlace>& places, SolarPhaseCode type) {
  bool total = false, annular = false;
  for (const EclipsePlace& p : places) (p.kind == kTotalEclipse ? total : annular) = true;
  if (places.empty()) {
    // The eclipse's type tells which region nobody lies in.
    total = type == kTotalEclipse || type == kNonCentralTotal || type == kHybridEclipse;
    annular = type == kAnnularEclipse || type == kNonCentralAnnular || type == kHybridEclipse;
    return "Kein Ort der Ortsliste liegt " + RegionText(total, annular) + ".";
  }
  return std::to_string(places.size()) + (places.size() == 1 ? " Ort " : " Orte ") + RegionText(total, annular);
}

}  // namespace

FileResult ReadPlaceList(const std::string& fileName, std::vector<ListedPlace>& places) {
  places.clear();
  std::string text;
  const FileResult read = ReadLocationListText(fileName, text);
  if (!read.ok()) return read;
  std::size_t begin = 0;
  while (begin < text.size()) {
    std::size_t end = text.find('\n', begin);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(begin, end - begin);
    begin = end + 1;
    if (TrimBlanks(line).empty() || !LocationLineProblem(line).empty()) continue;
    const LocationPlace place = ReadLocationLine(line);
    places.push_back({TrimBlanks(Utf8Left(line, kLocationNameColumns)), place.Breite, place.Laenge});
  }
  return read;
}

std::vector<std::size_t> CentralPathCandidates(const LocalEclipse& c, const std::vector<ListedPlace>& places) {
  std::vector<std::size_t> candidates;
  const Extended step_cy = kSampleStep_min / kMinutesPerCentury;
  const auto count = static_cast<std::size_t>(2 * kHalfSpan_min / kSampleStep_min);
  std::vector<PlaneSample> samples;
  samples.reserve(count + 1);
  for (std::size_t k = 0; k <= count; ++k) {
    samples.push_back(SampleAt(c, c.T0 - kHalfSpan_min / kMinutesPerCentury + static_cast<Extended>(k) * step_cy));
  }

  // V: the largest change of f from one sample to the next.
  double axisStep = 0, l2Step = 0, tanF2 = 0;
  for (std::size_t k = 0; k + 1 < samples.size(); ++k) {
    axisStep = std::max(axisStep, std::hypot(samples[k + 1].x - samples[k].x, samples[k + 1].y - samples[k].y));
    l2Step = std::max(l2Step, std::fabs(samples[k + 1].l2 - samples[k].l2));
    tanF2 = std::max(tanF2, samples[k].tanF2);
  }
  const double rotationStep = kRotation_radPerMin * kSampleStep_min * kObserverReach;
  const double V = kSpare * (axisStep + l2Step + rotationStep * (1 + tanF2));
  if (!std::isfinite(V)) return candidates;

  // The span in which the cone may reach the Earth: samples whose axis
  // passes within V of the Earth plus the widest cone, and one more on
  // either side.
  std::size_t first = samples.size(), last = 0;
  for (std::size_t k = 0; k < samples.size(); ++k) {
    const double reach = kObserverReach + std::fabs(samples[k].l2) + kConeSpread;
    if (std::hypot(samples[k].x, samples[k].y) - reach < V) {
      first = std::min(first, k);
      last = k;
    }
  }
  if (first > last) return candidates;
  first = first > 0 ? first - 1 : 0;
  last = std::min(last + 1, samples.size() - 1);

  for (std::size_t i = 0; i < places.size(); ++i) {
    if (NearTheCone(samples, first, last, V, OnEarth(places[i]))) candidates.push_back(i);
  }
  return candidates;
}

std::vector<EclipsePlace> PlacesInCentralPath(const TSettings& s, float zone_h, const LocalEclipse& c,
                                              const std::vector<ListedPlace>& places) {
  std::vector<EclipsePlace> found;
  TSettings at = s;
  for (const std::size_t i : CentralPathCandidates(c, places)) {
    const ListedPlace& place = places[i];
    at.Ort.Name = place.name;
    at.Ort.Breite = place.latitude_deg;
    at.Ort.Laenge = place.longitude_deg;
    LocalEclipse local = c;
    LocalCircumstances(at, zone_h, local);
    if (!IsCentral(local.type) || !local.seen) continue;
    if (std::max(local.sunAltitude_deg[1], local.sunAltitude_deg[2]) < kSunHorizon_deg) continue;
    found.push_back({place.name, place.latitude_deg, place.longitude_deg, local.type,
                     (local.T3 - local.T2) * kSecondsPerCentury, local.Tm});
  }
  std::sort(found.begin(), found.end(), [](const EclipsePlace& a, const EclipsePlace& b) {
    if (a.duration_s != b.duration_s) return a.duration_s > b.duration_s;
    return LocationLineLess(a.name, b.name);
  });
  return found;
}

bool EclipsePlacesReport::Report(const TSettings& s, TRunContext& run, Host& host, bool /*picture*/,
                                 int direction) {
  SolarEclipseContext c;
  if (!SetUpSolarEclipse(c, run.StartJulDat, direction, kSetUpStep_days, s.TDT)) return false;
  const SolarPhaseCode type = GlobalEclipseType(c);
  if (type == kNoEclipse) return false;
  last_.clear();
  host.AddLine("");
  host.AddLine(SolarEclipseTitle(c, type, s, run.Zeitzone));
  host.AddLine(SolarSarosLine(JDFromCenturies(c.conjunction), s));
  if (type == kPartialEclipse) {
    host.AddLine("Die Finsternis ist nur partiell: kein Ort sieht sie total oder ringförmig.");
    return true;
  }
  LocalEclipse local;
  const Extended deltaT_s = static_cast<Extended>(DeltaT(run.StartJulDat, s.TDT).days) * kSecondsPerDay;
  if (PrepareLocalEclipse(local, JulianCenturies(run.StartJulDat), deltaT_s)) {
    last_ = PlacesInCentralPath(s, run.Zeitzone, local, places_);
  }
  if (!last_.empty()) {
    host.AddLine(ColumnLine());
    host.AddLine(UnitLine(s, run.Zeitzone));
    for (const EclipsePlace& p : last_) host.AddLine(RowText(s, run.Zeitzone, p));
  }
  host.AddLine(ClosingLine(last_, type));
  return true;
}

EclipsePlacesResult ListEclipsePlaces(const TSettings& s, TRunContext& run, Host& host, int direction) {
  EclipsePlacesResult result;
  std::vector<ListedPlace> places;
  const FileResult read = ReadPlaceList(s.OrtsDatName, places);
  if (!read.ok()) {
    host.MessageBox(MsgKind::Error, "Fehler",
                    "Datei " + s.OrtsDatName +
                        (IsMissingFile(read.error) ? " nicht gefunden" : " kann nicht gelesen werden: " + read.reason + "."));
    return result;
  }
  result.listRead = true;
  EclipsePlacesReport report(std::move(places));
  result.search = SolarEclipseCommand(s, run, host, report, true, false, 0, direction);
  result.places = report.Last().size();
  return result;
}

}  // namespace orb
