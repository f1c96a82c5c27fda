// SPDX-License-Identifier: AGPL-3.0-or-later
// Local circumstances of a solar eclipse: Besselian elements from Chebyshev
// fits, the observer on the fundamental plane, the contacts as zeros of the
// distance from the shadow cones, and the report with its contact table.
#include "eclipses/LocalEclipse.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "core/NumText.h"
#include "core/TimeScales.h"
#include "engine/Frames.h"
#include "engine/RiseSet.h"
#include "settings/NumberReader.h"
#include "tables/TableFormat.h"

namespace orb {
namespace {

constexpr Extended kHour_cy = 1 / (kHoursPerDay * kDaysPerCentury);

// The fits: degree 13 over the conjunction (dynamical time) +- 5e-5 century.
constexpr int32_t kFitDegree = 13;
constexpr Extended kFitHalfWidth_cy = 5e-5L;

// Shadow geometry in Earth radii (6378.137 km), as BesselianElements.

// The observer on the reference ellipsoid: its squared eccentricity, one
// minus it, and the scale of the observer's vector in Earth radii of the
// elements.
constexpr Extended kEccentricity2 = 0.006705625796372828L;
constexpr Extended kOneMinusEccentricity2 = 0.993294374203627172L;
constexpr Extended kObserverScale = 1.000015678559428874L;

// The contact scan: every 0.1 h from 5.1 h (plus deltaT, at most 30 h)
// before the conjunction until a triple centred 5 h after it; while only
// contact 1 has been found it goes on for up to 3 h more.
constexpr Extended kScanStep_h = 0.1L;
constexpr Extended kScanFirstCentre_h = -5.0L;
constexpr Extended kScanLast_h = 5.0L;
constexpr Extended kScanMaxLead_h = 30.0L;
constexpr int kScanExtraTriples = 15;

// Contacts 2 and 3: Pegasus within a quarter hour of greatest eclipse.
constexpr Extended kCentralWindow_cy = 0.25L * kHour_cy;
constexpr Extended kPegasusTolerance_cy = 1e-10L;

// Obscuration of a partial eclipse: degrees to radians and pi as the
// program's formula writes them.

// The Sun's rise and set altitude (-50') and the step with which a day
// without sunrise or sunset is searched for the Sun above it.
constexpr Extended kSunHorizon_deg = -50.0L / 60;
constexpr Extended kSunUpStep_cy = 5.0L / 60 * kHour_cy;

constexpr int kPenumbra = 0;
constexpr int kUmbra = 1;

Extended DeltaT_cy(const LocalEclipse& c) { return c.deltaT_s / kSecondsPerCentury; }

Extended Wrap360(Extended deg) { return deg - 360 * std::floor(deg / 360); }

Extended Clamp1(Extended v) { return std::clamp<Extended>(v, -1, 1); }

// Arc cosine in degrees of a value that rounding may carry just past +-1.
Extended ArcCosClampedD(Extended v) { return std::acos(Clamp1(v)) * 180 / kPi; }

Vector3 FittedPlace(const TChebFit& fit, Extended ttt, Extended distScale) {
  return PolarToRectD(T_EVAL(fit.ra_deg, ttt), T_EVAL(fit.dec_deg, ttt), T_EVAL(fit.dist, ttt) * distScale);
}

// The local mean sidereal angle (degrees) at `t` (centuries, UT) for a
// longitude west (IAU 1982). The fits refer to the true equinox; the
// equation of the equinoxes left out (at most 1.2 s of time) moves the
// observer by at most 0.5 km and a contact by about a second.
Extended SiderealAngle_deg(Extended lonWest_deg, Extended t) {
  return 15 * LocalMeanSiderealTime(lonWest_deg, JDFromCenturies(t) - kMJDOffset);
}

// The Sun's azimuth (from north through east) and geometric altitude, in
// degrees, at `t` from the fit.
struct SunDirection {
  Extended azimuth_deg = 0, altitude_deg = 0, declination_deg = 0;
};
SunDirection SunAt(const TSettings& s, const LocalEclipse& c, Extended t) {
  const Extended ttt = t + DeltaT_cy(c);
  SunDirection d;
  d.declination_deg = T_EVAL(c.sun.dec_deg, ttt);
  const Extended hourAngle_deg = SiderealAngle_deg(-s.Ort.Laenge, t) - T_EVAL(c.sun.ra_deg, ttt);
  Extended az = 0, alt = 0;
  EquatorialToHorizontal(DegToRad(s.Ort.Breite), DegToRad(d.declination_deg), DegToRad(hourAngle_deg), az, alt);
  d.azimuth_deg = az * 180 / kPi;
  d.altitude_deg = alt * 180 / kPi;
  return d;
}

// Where the observer stands relative to the shadow at one instant.
struct Geometry {
  PlaneElements e;
  ObserverPoint o;
  Extended u = 0, v = 0;    // x - xi, y - eta
  Extended L1 = 0, L2 = 0;  // penumbral and umbral radius in the observer's plane
};
Geometry GeometryAt(const TSettings& s, const LocalEclipse& c, Extended t) {
  Geometry g;
  g.e = ElementsFromFits(c, t);
  g.o = ObserverOnPlane(s, g.e, t);
  g.u = g.e.x - g.o.xi;
  g.v = g.e.y - g.o.eta;
  g.L1 = g.e.l1 - g.o.zeta * TanD(g.e.f1);
  g.L2 = g.e.l2 - g.o.zeta * TanD(g.e.f2);
  return g;
}

// ---- contacts 1 and 4 and greatest eclipse ----

struct ScanResult {
  int zeros = 0;
  Extended T1 = 0, T4 = 0;
  bool haveExtremum = false;
  Extended Tm = 0, least = 0;  // the lowest minimum of the parabolas, or the lowest sample
};

void TakeZero(ScanResult& r, Extended t) {
  (r.zeros == 0 ? r.T1 : r.T4) = t;
  ++r.zeros;
}

void TakeLeast(ScanResult& r, Extended t, Extended value) {
  if (r.haveExtremum && !(value < r.least)) return;
  r.haveExtremum = true;
  r.Tm = t;
  r.least = value;
}

// One triple of samples centred at `centre` (centuries), `step` apart: its
// zeros, and its minimum and its samples as candidates for greatest eclipse.
// A zero at the triple's first sample was the previous triple's zero at its
// third sample and is not counted again.
void ExamineTriple(ScanResult& r, Extended centre, Extended step, Extended yMinus, Extended y0, Extended yPlus,
                   bool first) {
  const Interpolation3 q = Interpolate3(yMinus, y0, yPlus);
  const Extended zeros[2] = {q.z1, q.z2};
  for (int i = 0; i < q.count && i < 2 && r.zeros < 2; ++i) {
    if (!first && zeros[i] == -1) continue;
    TakeZero(r, centre + zeros[i] * step);
  }
  const bool minimum = (yPlus + yMinus) / 2 - y0 > 0;
  if (minimum && q.xe > -1 && q.xe < 1) TakeLeast(r, centre + q.xe * step, q.ye);
  TakeLeast(r, centre - step, yMinus);
  TakeLeast(r, centre, y0);
  TakeLeast(r, centre + step, yPlus);
}

// Samples the penumbral distance every 0.1 h; the zeros are contacts 1 and
// 4, the lowest minimum is greatest eclipse. Bounded by the sample count.
ScanResult ScanPenumbra(const TSettings& s, const LocalEclipse& c) {
  const Extended lead_h = std::clamp<Extended>(c.deltaT_s / 3600, 0, kScanMaxLead_h);
  const Extended firstCentre_h = kScanFirstCentre_h - lead_h;
  const int triples = static_cast<int>(std::ceil((kScanLast_h - firstCentre_h) / (2 * kScanStep_h))) + 1;
  const Extended step = kScanStep_h * kHour_cy;
  const auto at = [&](Extended offset_h) { return c.T0 + offset_h * kHour_cy; };

  ScanResult r;
  Extended yMinus = ShadowDistance(s, c, kPenumbra, at(firstCentre_h - kScanStep_h));
  for (int j = 0; j < triples + kScanExtraTriples && r.zeros < 2; ++j) {
    if (j >= triples && r.zeros == 0) break;
    const Extended centre_h = firstCentre_h + 2 * kScanStep_h * j;
    const Extended y0 = ShadowDistance(s, c, kPenumbra, at(centre_h));
    const Extended yPlus = ShadowDistance(s, c, kPenumbra, at(centre_h + kScanStep_h));
    if (std::isnan(yMinus + y0 + yPlus)) return ScanResult{};
    ExamineTriple(r, at(centre_h), step, yMinus, y0, yPlus, j == 0);
    yMinus = yPlus;
  }
  return r;
}

// ---- greatest eclipse ----

// The part of the Sun's disc covered in a partial eclipse: the overlap of
// the discs of radii (L1 + L2)/2 (Sun) and (L1 - L2)/2 (Moon) at the
// distance m, over the Sun's disc.
Extended PartialObscuration(Extended m, Extended L1, Extended L2, Extended G) {
  if (!(m > 0)) return std::min<Extended>(G * G, 1);
  const Extended A = ArcCosClampedD((L1 * L2 + m * m) / ((L1 + L2) * m)) * kObscurationDegree;
  const Extended B = ArcCosClampedD((L1 * L1 + L2 * L2 - 2 * m * m) / (L1 * L1 - L2 * L2)) * kObscurationDegree;
  const Extended C = kObscurationPi - (A + B);
  return std::clamp<Extended>((G * G * C + A - G * std::sin(B)) / kObscurationPi, 0, 1);
}

// Type, magnitude, diameter ratio, obscuration and the north flag at Tm.
// False when the observer is not inside the penumbra there after all (a
// graze that the interpolation found).
bool ClassifyAtMaximum(const TSettings& s, LocalEclipse& c) {
  const Geometry g = GeometryAt(s, c, c.Tm);
  const Extended m = std::hypot(g.u, g.v);
  if (!(m < g.L1) || !std::isfinite(g.L1 + g.L2)) return false;
  c.moonNorth = g.v > 0;
  c.type = kLocalPartial;
  if (g.L2 > m) c.type = kLocalAnnular;
  if (m < -g.L2) c.type = kLocalTotal;
  const Extended G = (g.L1 - g.L2) / (g.L1 + g.L2);
  c.diameterRatio = G;
  c.magnitude = c.type == kLocalPartial ? (g.L1 - m) / (g.L1 + g.L2) : G;
  if (c.type == kLocalPartial) c.obscuration = PartialObscuration(m, g.L1, g.L2, G);
  if (c.type == kLocalAnnular) c.obscuration = G * G;
  if (c.type == kLocalTotal) c.obscuration = 1;
  const Vector3 sun = FittedPlace(c.sun, c.Tm + DeltaT_cy(c), 1);
  c.sunDistance_km = Norm(sun) * kAu_km;
  return true;
}

// Contacts 2 and 3: the quarter hour before and after greatest eclipse; when
// that does not bracket a contact, the whole stretch from contact 1 (or to
// contact 4), where the umbral distance is positive. Greatest eclipse itself
// when even that fails.
void CentralContacts(const TSettings& s, LocalEclipse& c) {
  const auto umbra = [&](Extended t) { return ShadowDistance(s, c, kUmbra, t); };
  if (!Pegasus(umbra, c.Tm - kCentralWindow_cy, c.Tm, kPegasusTolerance_cy, c.T2) &&
      !Pegasus(umbra, c.T1, c.Tm, kPegasusTolerance_cy, c.T2)) {
    c.T2 = c.Tm;
  }
  if (!Pegasus(umbra, c.Tm, c.Tm + kCentralWindow_cy, kPegasusTolerance_cy, c.T3) &&
      !Pegasus(umbra, c.Tm, c.T4, kPegasusTolerance_cy, c.T3)) {
    c.T3 = c.Tm;
  }
}

bool IsCentral(const LocalEclipse& c) { return orb::IsCentral(c.type); }

Extended ContactTime(const LocalEclipse& c, int i) {
  const Extended times[4] = {c.T1, c.T2, c.T3, c.T4};
  return times[i];
}

// Position angle of the contact point, vertex angle and the Sun's direction
// at contact i (0 .. 3).
void ContactAngles(const TSettings& s, LocalEclipse& c, int i) {
  const Extended t = ContactTime(c, i);
  const Geometry g = GeometryAt(s, c, t);
  // (u, v) / L: a negative umbral radius (total eclipse) turns the
  // direction of the Moon's centre into that of the contact point.
  const Extended L = (i == 0 || i == 3) ? g.L1 : g.L2;
  const Extended sign = L < 0 ? -1 : 1;
  const Extended P = std::atan2(sign * g.u, sign * g.v) * 180 / kPi;
  c.P[i] = Wrap360(P);
  c.V[i] = Wrap360(P - std::atan2(g.o.xi, g.o.eta) * 180 / kPi);
  const SunDirection sun = SunAt(s, c, t);
  c.sunAzimuth_deg[i] = sun.azimuth_deg;
  c.sunAltitude_deg[i] = sun.altitude_deg;
}

// ---- visibility ----

// Whether the Sun stands above -50' at some instant from T1 to T4.
bool SunUpDuring(const TSettings& s, const LocalEclipse& c) {
  const int steps = static_cast<int>(std::ceil((c.T4 - c.T1) / kSunUpStep_cy));
  for (int k = 0; k <= steps && k <= 1000; ++k) {
    const Extended t = std::min(c.T1 + k * kSunUpStep_cy, c.T4);
    if (SunAt(s, c, t).altitude_deg >= kSunHorizon_deg) return true;
  }
  return false;
}

// Whether the eclipse from contact 1 to contact 4 overlaps a span of
// daylight. Sunrise and sunset are those of the day of the middle of the
// eclipse; the spans are formed from them on the day of contact 4 and the
// days before and after it, a sunrise later in the day than the sunset
// (a place far from its zone's meridian) opening the span that this sunset
// ends. In polar day every instant counts; on another day without sunrise
// or sunset the Sun's altitude decides.
bool Visible(const TSettings& s, LocalEclipse& c) {
  const Extended lat = s.Ort.Breite;
  const RiseSetResult day = RiseSet(kRiseSetSun, lat, -s.Ort.Laenge, c.zone_h, JDFromCenturies((c.T1 + c.T4) / 2));
  c.sunrise_h = day.rise_h;
  c.sunset_h = day.set_h;
  const Extended dec = SunAt(s, c, c.Tm).declination_deg;
  if (dec >= 90 - lat || dec <= -90 - lat) return true;
  if (day.rise_h < 0 || day.set_h < 0) return SunUpDuring(s, c);
  const Extended jd1 = JDFromCenturies(c.T1), jd4 = JDFromCenturies(c.T4);
  const Extended midnight = ZoneMidnight(jd4, c.zone_h);
  for (int k = -1; k <= 1; ++k) {
    Extended rise = midnight + k + day.rise_h / 24.0L;
    const Extended set = midnight + k + day.set_h / 24.0L;
    if (rise > set) rise -= 1;
    if (!(jd4 < rise) && !(jd1 > set)) return true;
  }
  return false;
}

// ---- report text ----

// "5:07s": whole minutes and the rounded remaining seconds of a duration.
std::string MinutesSeconds(Extended duration_cy) {
  const long long seconds = std::llround(duration_cy * kSecondsPerCentury);
  return std::to_string(seconds / 60) + ":" + TwoDigits(seconds % 60) + "s";
}

std::string TypeText(int32_t type) {
  if (type == kLocalTotal) return "totale Sonnenfinsternis ";
  if (type == kLocalAnnular) return "ringförmige Sonnenfinsternis ";
  return "partielle Sonnenfinsternis ";
}

std::string TypeLine(const LocalEclipse& c) {
  const std::string magnitude = Str(c.magnitude * 100, 5, 1);
  const std::string area = Str(c.obscuration * 100, 4, 1) + "% " + "Fläche";
  if (c.type == kLocalTotal) return TypeText(c.type) + magnitude + "%, " + "Dauer" + " " + MinutesSeconds(c.T3 - c.T2);
  if (c.type == kLocalAnnular) return TypeText(c.type) + magnitude + "% (" + area + "), " + MinutesSeconds(c.T3 - c.T2);
  return TypeText(c.type) + magnitude + "% (" + area + "), " + "Dauer" + " " + ShortTimeText((c.T4 - c.T1) / kHour_cy);
}

// The title of the report list: the type text and the date, in the zone of
// the report for a partial eclipse, in UT for a central one.
std::string Title(const TSettings& s, const LocalEclipse& c) {
  const float zone = c.type == kLocalPartial ? c.zone_h : 0.0f;
  return TypeText(c.type) + DateText(JDFromCenturies(c.Tm), zone, DateStyleOf(s));
}

std::string RiseSetTime(float hours) { return hours < 0 ? " -----" : EventTime(hours); }

std::string SunriseLine(const TSettings& s, const LocalEclipse& c) {
  return "Sonnenaufgang " + RiseSetTime(c.sunrise_h) + ",  " + "Untergang" + " " + RiseSetTime(c.sunset_h) + "  " +
         "in" + " " + s.Ort.Name + ";  " + "DeltaT" + " = " + StrT(c.deltaT_s, 1, 1) + " s";
}

std::string TableHead(const TSettings& s, bool central) {
  const std::string& sep = s.SpaltenSeparator;
  std::string head = std::string(10, ' ') + sep + std::string(11, ' ') + sep + "    h  m  s" + sep + "    " + "PW " +
                     "Nord" + sep + "  " + "PW " + "Zenit" + sep + "  " + "Azimut" + sep + "  " + "Elev.";
  if (central) head += sep + "  SchBand";
  return head;
}

// The direction of the shadow bands (degrees in [0, 180)) from the vertex
// angle V and the Sun's azimuth A and altitude h.
Extended ShadowBandDirection(Extended V_deg, Extended A_deg, Extended h_deg) {
  const Extended d = std::atan(TanD(V_deg) / SinD(h_deg)) * 180 / kPi + A_deg - 90;
  return d - 180 * std::floor(d / 180);
}

std::string ContactRow(const TSettings& s, const LocalEclipse& c, int i) {
  const std::string& sep = s.SpaltenSeparator;
  const Extended jd = JDFromCenturies(ContactTime(c, i));
  const ZoneInstant local = ZoneInstantOf(jd, c.zone_h);
  std::string row = std::to_string(i + 1) + ". " + "Kontakt" + ": " + DateText(local, DateStyleOf(s)) + sep + "  " +
                    ClockTimeText(local) + sep + Str(c.P[i], 9, 0) + "°" + sep + Str(c.V[i], 9, 0) + "°" +
                    sep + Str(c.sunAzimuth_deg[i], 8, 0) + "°" + sep + Str(c.sunAltitude_deg[i], 6, 0) + "°";
  if ((i == 1 || i == 2) && c.sunAltitude_deg[i] > 0) {
    row += sep + Str(ShadowBandDirection(c.V[i], c.sunAzimuth_deg[i], c.sunAltitude_deg[i]), 7, 0) + "°";
  }
  return row;
}

// "in Ortheim ist die Sonnenfinsternis vom 25.10.2022  12h13m MESZ nur 24.3%  sichtbar".
std::string ReducedLine(const TSettings& s, const LocalEclipse& c) {
  const std::string seen =
      c.magnitude == 0 ? " unsichtbar" : "nur " + Str(c.magnitude * 100, 0, 1) + "% " + " sichtbar";
  return "in " + s.Ort.Name + " ist die " + "Sonnenfinsternis" + " " + "vom " +
         DateTimeText(JDFromCenturies(c.Tm), c.zone_h, DateStyleOf(s)) + " " + ZoneName(c.zone_h, 4, s.TDT) +
         " " + seen;
}

// deltaT (seconds) for the report: the model's value, or, when the model is
// outside its range and AskEtKorr is on, the user's answer. False when the
// user cancels. An answer without a number is asked again (a few times,
// then the model's value stands).
bool ReportDeltaT(const TSettings& s, Extended jd, Host& host, Extended& deltaT_s) {
  constexpr int kAttempts = 5;
  const DeltaTValue model = DeltaT(jd, s.TDT);
  deltaT_s = static_cast<Extended>(model.days) * kSecondsPerDay;
  if (model.valid || !s.AskEtKorr) return true;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    std::string answer = Str(deltaT_s, 1, 1);
    if (!host.InputBox("Eingabe", "Bitte Delta-T in Sekunden eingeben:", answer)) return false;
    const bool hasDigit = answer.find_first_of("0123456789") != std::string::npos;
    const Extended value = ParseNumber(answer);
    if (hasDigit && std::isfinite(value)) {
      deltaT_s = value;
      return true;
    }
  }
  return true;
}

}  // namespace

bool PrepareLocalEclipse(LocalEclipse& c, Extended T0, Extended deltaT_s) {
  c = LocalEclipse{};
  c.T0 = T0;
  c.deltaT_s = deltaT_s;
  const Extended centre = T0 + DeltaT_cy(c);
  if (!std::isfinite(centre)) return false;
  return T_FIT_MOON(kFitDegree, centre - kFitHalfWidth_cy, centre + kFitHalfWidth_cy, c.moon) &&
         T_FIT_SUN(kFitDegree, centre - kFitHalfWidth_cy, centre + kFitHalfWidth_cy, c.sun);
}

PlaneElements ElementsFromFits(const LocalEclipse& c, Extended t) {
  const Extended ttt = t + DeltaT_cy(c);
  const Vector3 sun = FittedPlace(c.sun, ttt, kEarthRadiiPerAu);
  const Vector3 moon = FittedPlace(c.moon, ttt, 1);
  const Vector3 g{sun.x - moon.x, sun.y - moon.y, sun.z - moon.z};
  const Extended G = Norm(g);
  const Vector3 e3{g.x / G, g.y / G, g.z / G};
  const Extended n = std::sqrt(e3.x * e3.x + e3.y * e3.y);
  const Vector3 e1{-e3.y / n, e3.x / n, 0};
  const Vector3 e2 = Cross(e3, e1);

  PlaneElements e;
  e.x = Dot(moon, e1);
  e.y = Dot(moon, e2);
  e.z = Dot(moon, e3);
  const Extended basis[9] = {e1.x, e1.y, e1.z, e2.x, e2.y, e2.z, e3.x, e3.y, e3.z};
  std::copy(basis, basis + 9, e.basis);
  e.f1 = ArcSinD(kSunPlusMoonRadii / G);
  e.f2 = ArcSinD(kSunMinusMoonRadii / G);
  e.l1 = e.z * kSunPlusMoonRadii / G + kMoonRadius_earthRadii;
  e.l2 = e.z * kSunMinusMoonRadii / G - kMoonRadius_earthRadii;
  return e;
}

ObserverPoint ObserverOnPlane(const TSettings& s, const PlaneElements& e, Extended t) {
  const Extended sinPhi = SinD(s.Ort.Breite), cosPhi = CosD(s.Ort.Breite);
  const Extended C = 1 / std::sqrt(1 - kEccentricity2 * sinPhi * sinPhi);
  const Extended rhoCos = cosPhi * C, rhoSin = sinPhi * C * kOneMinusEccentricity2;
  const Extended theta_deg = SiderealAngle_deg(-s.Ort.Laenge, t);
  const Extended X = rhoCos * CosD(theta_deg) * kObserverScale;
  const Extended Y = rhoCos * SinD(theta_deg) * kObserverScale;
  const Extended Z = rhoSin * kObserverScale;
  const Extended* b = e.basis;
  return {X * b[0] + Y * b[1] + Z * b[2], X * b[3] + Y * b[4] + Z * b[5], X * b[6] + Y * b[7] + Z * b[8]};
}

Extended ShadowDistance(const TSettings& s, const LocalEclipse& c, int kind, Extended t) {
  const Geometry g = GeometryAt(s, c, t);
  const Extended L = kind == kPenumbra ? g.L1 : g.L2;
  return g.u * g.u + g.v * g.v - L * L;
}

void LocalCircumstances(const TSettings& s, float zone_h, LocalEclipse& c) {
  c.type = kLocalNone;
  c.seen = false;
  c.zone_h = zone_h;
  const ScanResult scan = ScanPenumbra(s, c);
  if (scan.zeros < 2 || !scan.haveExtremum) return;
  c.T1 = scan.T1;
  c.T4 = scan.T4;
  if (!(c.T1 <= c.T4)) return;
  c.Tm = std::clamp(scan.Tm, c.T1, c.T4);
  if (!ClassifyAtMaximum(s, c)) {
    c.type = kLocalNone;
    return;
  }
  if (IsCentral(c)) CentralContacts(s, c);
  for (int i = 0; i < 4; ++i) {
    if (i == 0 || i == 3 || IsCentral(c)) ContactAngles(s, c, i);
  }
  c.seen = Visible(s, c);
}

bool LocalEclipseReport::Report(const TSettings& s, TRunContext& run, Host& host, bool picture, int /*direction*/) {
  Extended deltaT_s = 0;
  if (!ReportDeltaT(s, run.StartJulDat, host, deltaT_s)) {
    run.RunState = 0;
    return false;
  }
  LocalEclipse c;
  if (!PrepareLocalEclipse(c, JulianCenturies(run.StartJulDat), deltaT_s)) return false;
  LocalCircumstances(s, run.Zeitzone, c);
  if (c.type == kLocalNone || !c.seen) return false;
  if (c.magnitude < minCoverage_) {
    host.AddLine(ReducedLine(s, c));
    return false;
  }

  last_ = c;
  reportLines_.clear();
  const auto listed = [&](const std::string& line) {
    host.AddLine(line);
    reportLines_.push_back(line);
  };
  const Extended jdM = JDFromCenturies(c.Tm);
  reportLines_.push_back(Title(s, c));
  host.AddLine("");
  const ZoneInstant local = ZoneInstantOf(jdM, c.zone_h);
  host.AddLine(WeekdayText(local) + ", " + DateText(local, DateStyleOf(s)) + "  " + ClockTimeText(local) + " " +
               ZoneName(c.zone_h, 0, s.TDT) + ":  " + TypeLine(c));
  listed(SolarSarosLine(run.StartJulDat, s));
  listed(SunriseLine(s, c));
  listed(TableHead(s, IsCentral(c)));
  for (int i = 0; i < 4; ++i) {
    if (i == 0 || i == 3 || IsCentral(c)) listed(ContactRow(s, c, i));
  }
  if (picture && sink_ != nullptr) sink_->ShowLocalEclipse(last_, reportLines_);
  host.AddLine("");
  return true;
}

}  // namespace orb
