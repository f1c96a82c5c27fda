// SPDX-License-Identifier: AGPL-3.0-or-later
#include "eclipses/SolarEclipse.h"

#include <cmath>
#include <limits>

#include "core/TimeScales.h"
#include "eclipses/Saros.h"
#include "engine/ChebyshevFit.h"
#include "engine/Frames.h"
#include "engine/PlanetaryTheory.h"

namespace orb {

const std::array<std::string, 7> EclipseTypeNames = {
    "keine ",                      // 0
    "partielle ",                  // 1
    "nichtzentrale ringförmige ",  // 2
    "nichtzentrale totale ",       // 3
    "ringförmige ",                // 4
    "totale ",                     // 5
    "hybride ",                    // 6
};

namespace {

constexpr Extended kNaN = std::numeric_limits<Extended>::quiet_NaN();

// Lunations: mean synodic month, lunations per Julian century, and the
// lunation offset that puts lunation 0 at the mean new moon of 1999
// December 8 (JD 2451520.57).
constexpr Extended kLunationsPerCentury = 1236.853086L;
constexpr Extended kLunationOffset = 0.827361L;
constexpr Extended kDay_centuries = 2.7378507871e-5L;

// A new moon farther than this from the ecliptic brings no eclipse.
constexpr Extended kEclipseLatitude_rad = 0.029670597283903602808L;  // 1.7 degrees
constexpr Extended kEclipseLatitude_deg = 1.7L;

// Earth radii per astronomical unit, kilometres per astronomical unit, and
// the radii of the shadow cones (Earth radii): Sun + Moon, Sun - Moon, Moon.

// The early-date correction of the Sun's longitude: below this Julian date
// (dynamical time) it grows by one degree per 8 500 000 days.
constexpr Extended kEarlyDateLimit_jd = 1000000;
constexpr Extended kEarlyDateRate_daysPerDegree = 8500000;

// The greatest-eclipse search: the new moon must lie within 15 days of the
// start; the bracket starts 10 minutes either side and grows by 1.2 at each
// move. A crossing 15 days away is reached in some 30 moves with a
// half-width of 1.7 days; beyond 3 days the crossing is out of reach.
constexpr Extended kSearchWindow_days = 15;
constexpr Extended kBracketStep_centuries = 1.901285268841737e-7L;  // 10 minutes
constexpr Extended kBracketGrowth = 1.2L;
constexpr Extended kMaxBracket_centuries = 3 * kDay_centuries;

// The ends of the central phase: from greatest eclipse outward in steps of
// 10 minutes until the axis is off the Earth, then bisected to 0.1 s. The
// axis crosses the fundamental plane at 0.50 to 0.59 Earth radii per hour
// (every central eclipse from 5400 BC to AD 5400), so an end lies at most
// 2 hours from greatest eclipse and 20 steps (3 h 20 min) reach it.
constexpr Extended kLimbStep_centuries = kBracketStep_centuries;
constexpr int kMaxLimbSteps = 20;
constexpr Extended kLimbPrecision_centuries = 3.168808781e-11L;  // 0.1 s

// Caps of the new-moon searches. Consecutive new moons advance 30.7 degrees
// relative to the lunar node, and |latitude| <= 1.7 degrees holds within
// some 19 degrees of either node, so an eclipse new moon comes at least
// every six months; the caps only end searches that bad input would keep
// going.
constexpr int kMaxNewMoonSteps = 24;
constexpr int kMaxLunationSteps = 30;

Extended FracPositive(Extended x) { return x - std::floor(x); }

// Geocentric ecliptic place of date (mean equinox) of a body of the theory.
struct EclipticPlace {
  Extended lon_rad = 0, lat_rad = 0, dist_au = 0;
};

EclipticPlace EclipsePlace(Extended jd_tt, int32_t body) {
  const double jd = static_cast<double>(jd_tt);
  const theory::BodyPosition place = theory::Position(jd, body, theory::kAstrometricOfDate);
  EclipticPlace p;
  p.lon_rad = place.lon_rad;
  p.lat_rad = place.lat_rad;
  p.dist_au = place.delta_au;
  return p;
}

// The equatorial rectangular vector (Earth radii) of an ecliptic place,
// turned about the equinox by the obliquity `eps_rad`.
Vector3 EquatorialVector(const EclipticPlace& p, Extended eps_rad) {
  const Vector3 ecl = PolarToRect(p.lat_rad, p.lon_rad, p.dist_au * kEarthRadiiPerAu);
  const Extended ce = std::cos(eps_rad), se = std::sin(eps_rad);
  return {ecl.x, ecl.y * ce - ecl.z * se, ecl.y * se + ecl.z * ce};
}

Vector3 Scaled(const Vector3& v, Extended s) { return {v.x * s, v.y * s, v.z * s}; }

// The Besselian elements at `t_centuries` (Julian centuries, UT) into `p`;
// returns x.
Extended ElementsAt(Extended t_centuries, Extended deltaT_days, BesselianPoint& p) {
  p = BesselianElements(JDFromCenturies(t_centuries), deltaT_days);
  return p.x;
}

// No eclipse near `jd`: the record gets the instant, deltaT, and gamma =
// sin(beta) * distance of the Moon (Earth radii) there.
SolarPhaseCode NoEclipse(BesselRec& rec, Extended jd, bool tdt) {
  const Extended deltaT_days = DeltaT(jd, tdt).days;
  const EclipticPlace moon = EclipsePlace(jd + deltaT_days, theory::kCodeMoon);
  rec.type = kNoEclipse;
  rec.deltaT = static_cast<float>(deltaT_days);
  rec.T = JulianCenturies(jd);
  rec.gamma = static_cast<float>(std::sin(moon.lat_rad) * moon.dist_au * kEarthRadiiPerAu);
  return kNoEclipse;
}

// The bracket [T0 - h, T0 + h] (centuries) around the crossing x = 0 of the
// shadow axis, with the elements at both ends.
struct AxisBracket {
  Extended T0 = 0, h = kBracketStep_centuries;
  BesselianPoint first, second;
};

// Moves and widens the bracket until x(T0 - h) <= 0 <= x(T0 + h); false when
// an element is not a number or the half-width passes 3 days.
bool CloseBracket(AxisBracket& b, Extended deltaT_days) {
  for (;;) {
    const Extended x1 = ElementsAt(b.T0 - b.h, deltaT_days, b.first);
    const Extended x2 = ElementsAt(b.T0 + b.h, deltaT_days, b.second);
    if (!std::isfinite(x1) || !std::isfinite(x2)) return false;
    if (x1 <= 0 && x2 >= 0 && x2 > x1) return true;
    if (x1 > 0) b.T0 -= 2 * b.h;
    if (x2 < 0) b.T0 += 2 * b.h;
    b.h *= kBracketGrowth;
    if (b.h > kMaxBracket_centuries) return false;
  }
}

void CopyElements(const BesselianPoint& p, BesselRec& rec) {
  rec.x = p.x;
  rec.y = p.y;
  rec.f1 = p.f1;
  rec.l1 = p.l1;
  rec.f2 = p.f2;
  rec.l2 = p.l2;
  rec.basis = p.basis;
}

Extended AxisDistance(const BesselianPoint& p) { return std::sqrt(p.x * p.x + p.y * p.y); }

// l2 where the shadow axis enters (`direction` -1) or leaves (+1) the Earth,
// searched from `T` (centuries, UT), an instant at which the axis meets the
// Earth: the axis distance from the Earth's centre is 1 there, so the
// surface below the axis lies on the fundamental plane and l2 is the radius
// of the umbra on the ground (> 0 annular, < 0 total). NaN when an element
// is not a number or the axis stays on the Earth for 20 steps.
Extended L2AtLimb(Extended T, int direction, Extended deltaT_days) {
  BesselianPoint p;
  Extended inside = T, outside = T;
  for (int step = 1;; ++step) {
    if (step > kMaxLimbSteps) return kNaN;
    outside = inside + direction * kLimbStep_centuries;
    ElementsAt(outside, deltaT_days, p);
    const Extended D = AxisDistance(p);
    if (!std::isfinite(D)) return kNaN;
    if (D > 1) break;
    inside = outside;
  }
  while (std::fabs(outside - inside) > kLimbPrecision_centuries) {
    const Extended middle = (inside + outside) / 2;
    ElementsAt(middle, deltaT_days, p);
    const Extended D = AxisDistance(p);
    if (!std::isfinite(D)) return kNaN;
    (D > 1 ? outside : inside) = middle;
  }
  ElementsAt((inside + outside) / 2, deltaT_days, p);
  return p.l2;
}

// The phase code of a central eclipse over its whole path. The radius of the
// umbra on the ground below the axis, l2 - sqrt(1 - D^2) tan f2, is l2 where
// the axis enters or leaves the Earth; along the path it is a convex
// function of time (l2 changes almost linearly, the height of the surface
// sqrt(1 - D^2) is concave), so it stays below the chord between its values
// at the two ends: a total eclipse (negative radius at greatest eclipse) is
// total along the whole path unless l2 > 0 at an end. An annular one turns
// total at an end with l2 < 0; its smallest radius lies up to 7 minutes
// from greatest eclipse and below the value there by up to 7e-6 Earth radii
// (|dl2/dt| up to 1.24e-4 per hour, the axis at 0.50 Earth radii per hour
// or faster), which the classification at greatest eclipse leaves aside. An end of the other sign
// makes the eclipse hybrid; otherwise `code` (SolarPhaseOfAxis at greatest
// eclipse) stays.
SolarPhaseCode CodeOfCentralPath(SolarPhaseCode code, Extended T, Extended deltaT_days) {
  if (code != kTotalEclipse && code != kAnnularEclipse) return code;
  for (const int direction : {-1, +1}) {
    const Extended l2 = L2AtLimb(T, direction, deltaT_days);
    if (code == kTotalEclipse ? l2 > 0 : l2 < 0) return kHybridEclipse;
  }
  return code;
}

// Greatest eclipse from a closed bracket: the closest approach of the
// straight axis track through the bracket's ends to the Earth's centre,
// the instant interpolated linearly in x. False when the elements there are
// not numbers (`rec` untouched).
bool GreatestEclipse(const AxisBracket& b, Extended deltaT_days, BesselRec& rec) {
  const Extended x1 = b.first.x, y1 = b.first.y, x2 = b.second.x, y2 = b.second.y;
  const Extended slope = (y2 - y1) / (x2 - x1);
  const Extended y0 = y1 - slope * x1;
  const Extended xm = -y0 * slope / (slope * slope + 1);
  const Extended T = (b.T0 - b.h) + 2 * b.h * (xm - x1) / (x2 - x1);

  BesselianPoint p;
  ElementsAt(T, deltaT_days, p);
  const Extended D = AxisDistance(p);
  if (!std::isfinite(D + p.l1 + p.l2 + p.f2)) return false;
  CopyElements(p, rec);
  rec.type = CodeOfCentralPath(SolarPhaseOfAxis(D, p.l1, p.l2, p.f2), T, deltaT_days);
  rec.slope = slope;
  rec.gamma = static_cast<float>(p.y < 0 ? -D : D);
  rec.deltaT = static_cast<float>(deltaT_days);
  rec.T = T;
  return true;
}

// The instant of greatest eclipse in dynamical time, its Saros series and
// the type text; returns `code`.
SolarPhaseCode FinishRecord(BesselRec& rec, SolarPhaseCode code) {
  rec.JD = JDFromCenturies(rec.T) + rec.deltaT;
  const SarosDesignation saros = SolarSarosDesignation(rec.JD);
  rec.sarosNumber = saros.number;
  rec.sarosText = saros.text;
  rec.typeText = EclipseTypeNames[static_cast<std::size_t>(code)] + "Finsternis";
  return code;
}

// One improvement of a conjunction `t` (centuries, UT) from the theory's
// longitudes; returns the Moon's latitude (degrees).
Extended ImproveConjunction(Extended& t, bool tdt) {
  const Extended jd = JDFromCenturies(t);
  const Extended jd_tt = jd + DeltaT(jd, tdt).days;
  const EclipticPlace sun = EclipsePlace(jd_tt, theory::kCodeSunSearch);
  const EclipticPlace moon = EclipsePlace(jd_tt, theory::kCodeMoon);
  const Extended d_turns = FracPositive((moon.lon_rad - sun.lon_rad) / kTwoPi + 0.5L) - 0.5L;
  t -= d_turns / kLunationsPerCentury;
  return moon.lat_rad * 180 / kPi;
}

}  // namespace

BesselianPoint BesselianElements(Extended jd, Extended deltaT_days) {
  const Extended jd_tt = jd + deltaT_days;
  EclipticPlace sun = EclipsePlace(jd_tt, theory::kCodeSunSearch);
  const EclipticPlace moon = EclipsePlace(jd_tt, theory::kCodeMoon);
  if (jd_tt < kEarlyDateLimit_jd) {
    sun.lon_rad += (kEarlyDateLimit_jd - jd_tt) / kEarlyDateRate_daysPerDegree * kPi / 180;
  }
  const Extended eps_rad = MeanObliquity(jd_tt);
  const Vector3 rSun = EquatorialVector(sun, eps_rad);
  const Vector3 rMoon = EquatorialVector(moon, eps_rad);

  const Vector3 g{rSun.x - rMoon.x, rSun.y - rMoon.y, rSun.z - rMoon.z};
  const Extended G = Norm(g);
  const Vector3 e3 = Scaled(g, 1 / G);
  const Vector3 e1 = Scaled(Vector3{-e3.y, e3.x, 0}, 1 / std::sqrt(e3.x * e3.x + e3.y * e3.y));
  const Vector3 e2 = Cross(e3, e1);

  BesselianPoint p;
  p.x = Dot(rMoon, e1);
  p.y = Dot(rMoon, e2);
  p.z = Dot(rMoon, e3);
  p.basis = {e1.x, e1.y, e1.z, e2.x, e2.y, e2.z, e3.x, e3.y, e3.z};
  p.f1 = ArcSinD(kSunPlusMoonRadii / G);
  p.f2 = ArcSinD(kSunMinusMoonRadii / G);
  p.l1 = p.z * kSunPlusMoonRadii / G + kMoonRadius_earthRadii;
  p.l2 = p.z * kSunMinusMoonRadii / G - kMoonRadius_earthRadii;
  p.sunDistance_km = sun.dist_au * kAu_km;
  return p;
}

Extended NextEclipseNewMoon(Extended& jd, int direction, bool tdt) {
  const Extended step_days = direction < 0 ? -kSynodicMonth_days : kSynodicMonth_days;
  Extended lat_rad = RefinePhaseTime(jd, 0, tdt);
  for (int steps = 0; std::fabs(lat_rad) > kEclipseLatitude_rad; ++steps) {
    if (steps == kMaxNewMoonSteps) return kNaN;
    jd += step_days;
    lat_rad = RefinePhaseTime(jd, 0, tdt);
  }
  return lat_rad;  // NaN when the theory had no place
}

Extended NextEclipseLunation(Extended& t, int direction, bool tdt) {
  if (!std::isfinite(t)) return kNaN;
  const bool backward = direction < 0;
  Extended k = std::trunc(kLunationsPerCentury * t) + (backward ? 5 : 0);
  for (int steps = 0; steps < kMaxLunationSteps; ++steps) {
    Extended conjunction = (k - kLunationOffset) / kLunationsPerCentury;
    // Two improvements leave the conjunction up to 7 minutes off (it is
    // printed in the path's header and centres the fitted half day): improve
    // until a step is below 0.1 s.
    Extended lat_deg = 0;
    for (int i = 0; i < 8; ++i) {
      const Extended before = conjunction;
      lat_deg = ImproveConjunction(conjunction, tdt);
      if (i >= 1 && std::fabs(conjunction - before) < 3e-11L) break;
    }
    if (!std::isfinite(lat_deg) || !std::isfinite(conjunction)) return kNaN;
    k += backward ? -1 : 1;
    const bool beyondStart = backward ? conjunction < t + kDay_centuries : conjunction > t - kDay_centuries;
    if (std::fabs(lat_deg) < kEclipseLatitude_deg && beyondStart) {
      t = conjunction;
      return lat_deg;
    }
  }
  return kNaN;
}

SolarPhaseCode SolarPhaseOfAxis(Extended D, Extended l1, Extended l2, Extended f2_deg) {
  if (D > std::fabs(l1) + 1) return kNoEclipse;
  if (D > std::fabs(l2) + 1) return kPartialEclipse;
  if (D > 1) return l2 > 0 ? kNonCentralAnnular : kNonCentralTotal;
  if (l2 >= 0) {
    // Height of the umbral vertex above the fundamental plane against the
    // height of the Earth's surface on the axis.
    return l2 / TanD(f2_deg) > std::sqrt(1 - D * D) ? kAnnularEclipse : kHybridEclipse;
  }
  return kTotalEclipse;
}

SolarPhaseCode FindSolarEclipse(int direction, bool tdt, BesselRec& rec, Extended jd) {
  rec = BesselRec{};
  const Extended deltaT_days = DeltaT(jd, tdt).days;
  Extended t = jd;
  const Extended lat_rad = direction == 0 ? 0 : NextEclipseNewMoon(t, direction, tdt);
  const bool nearStart = std::isfinite(lat_rad) && std::fabs(t - jd) < kSearchWindow_days;
  // The bracket starts at the new moon found, not at `jd`: from up to 15
  // days away it would grow to more than a day, and the straight track
  // through its ends would miss greatest eclipse by many minutes.
  AxisBracket b;
  b.T0 = JulianCenturies(t);
  if (nearStart && CloseBracket(b, deltaT_days) && GreatestEclipse(b, deltaT_days, rec)) {
    return FinishRecord(rec, rec.type);
  }
  return FinishRecord(rec, NoEclipse(rec, t, tdt));
}

}  // namespace orb
