// SPDX-License-Identifier: AGPL-3.0-or-later
// Chebyshev fits of the apparent Sun and Moon: interpolation at the N + 1
// zeros of T_{N+1} (Montenbruck & Pfleger, Astronomy on the Personal
// Computer, Chebyshev approximation), evaluated with T_EVAL. Also the
// lunar-phase value and the phase-time iteration on the planetary theory.
#include "engine/ChebyshevFit.h"

#include <cmath>
#include <limits>
#include <string>

#include "core/KernelReport.h"
#include "core/TimeScales.h"
#include "engine/LowPrecision.h"
#include "engine/PlanetaryTheory.h"

namespace orb {
namespace {

constexpr int32_t kMaxDegree = 13;  // the series records hold c[0..13]
// pi as the fit's node and coefficient formulas write it.
constexpr Extended kFullCircle_deg = 360;
// AU in km and the Earth's equatorial radius in km: the Moon's distance in
// Earth radii is the distance in AU times their ratio.

// Mean motion of the Moon's elongation in turns per day, the reciprocal of
// the mean synodic month (29.530589 days).
constexpr Extended kSynodicRate_turnsPerDay = 0.033863191950718685834L;
// The phase iteration stops after a step of at most 60 s.
constexpr Extended kPhaseStepLimit_days = 0.000694444L;
// Each step leaves at most a fifth of the remaining error (the elongation's
// true rate, 10.7 to 14.5 degrees a day, stays within 20 % of its mean), so
// from half a month away fewer than ten steps reach 60 s; the cap only ends
// a loop that bad input would keep going.
constexpr int kMaxPhaseSteps = 40;
// The latitude returned when the planetary theory gives no place.
constexpr Extended kNoLatitude = std::numeric_limits<Extended>::quiet_NaN();

// Fractional part in [0, 1).
Extended FracPositive(Extended x) { return x - std::floor(x); }

// One apparent place in the fitted units.
struct FitSample {
  Extended ra_deg = 0, dec_deg = 0, dist = 0;
};

// The apparent place of `body` at `t` (Julian centuries since J2000, TT),
// light time, aberration and nutation on; the distance in AU times
// `distScale`.
FitSample ApparentPlace(int32_t body, Extended t, Extended distScale) {
  const double jd_tt = static_cast<double>(kDaysPerCentury * t + kJ2000);
  const theory::BodyPosition p = theory::Position(jd_tt, body, theory::kApparentPlace);
  FitSample s;
  s.ra_deg = p.ra_rad * kRadToDeg;
  s.dec_deg = p.dec_rad * kRadToDeg;
  s.dist = p.delta_au * distScale;
  return s;
}

bool IsFinite(const FitSample& s) {
  return std::isfinite(s.ra_deg) && std::isfinite(s.dec_deg) && std::isfinite(s.dist);
}

// cos(k * phi) for k = 0 .. 2N + 1 by the recurrence
// C(k+1) = 2 C(1) C(k) - C(k-1).
void CosineMultiples(Extended phi, int32_t n, Extended (&c)[2 * kMaxDegree + 2]) {
  c[0] = 1;
  c[1] = std::cos(phi);
  for (int32_t k = 1; k < 2 * n + 1; ++k) c[k + 1] = 2 * c[1] * c[k] - c[k - 1];
}

// The right ascension of the Sun and the Moon grows with time. Walking from
// node 1 to node N + 1 (backwards in time for TA < TB), a value greater than
// the one before it (already made continuous) has passed 0h and gets 360
// degrees subtracted, so the series has no jump (values may go below 0).
void MakeRightAscensionContinuous(FitSample (&s)[kMaxDegree + 1], int32_t nodes) {
  for (int32_t i = 1; i < nodes; ++i)
    if (s[i].ra_deg > s[i - 1].ra_deg) s[i].ra_deg -= kFullCircle_deg;
}

// Coefficient j of the interpolating series of the node values f(t_i):
// c_j = 2/(N+1) * sum_i f(t_i) cos((2i - 1) j pi / (2N + 2)).
Extended Coefficient(const FitSample (&s)[kMaxDegree + 1], Extended FitSample::*quantity, int32_t n,
                     int32_t j) {
  Extended sum = 0;
  for (int32_t i = 1; i <= n + 1; ++i)
    sum += s[i - 1].*quantity * std::cos((2 * i - 1) * j * kChebyshevPi / (2 * n + 2));
  return 2 * sum / (n + 1);
}

void StoreSeries(TChebSeries& series, const FitSample (&s)[kMaxDegree + 1], Extended FitSample::*quantity,
                 int32_t n, Extended ta, Extended tb) {
  series.N = n;
  series.A = ta;
  series.B = tb;
  for (int32_t j = 0; j <= kMaxDegree; ++j) series.c[j] = j <= n ? Coefficient(s, quantity, n, j) : 0;
}

// The fit shared by the Sun and the Moon. The records are written only when
// every node has a place.
bool FitApparentPlace(int32_t body, Extended distScale, int32_t n, Extended ta, Extended tb, TChebFit& fit) {
  if (n > kMaxDegree) {
    ReportKernelError(" N: " + std::to_string(n) + " zu gross in T_FIT_MOON: " + std::to_string(kMaxDegree));
    return false;
  }
  if (n < 0) return false;

  const Extended h = (tb - ta) / 2;
  const Extended m = (tb + ta) / 2;
  Extended cosines[2 * kMaxDegree + 2];
  CosineMultiples(kChebyshevPi / (2 * n + 2), n, cosines);

  FitSample samples[kMaxDegree + 1];
  for (int32_t i = 1; i <= n + 1; ++i) {
    samples[i - 1] = ApparentPlace(body, h * cosines[2 * i - 1] + m, distScale);
    if (!IsFinite(samples[i - 1])) return false;
  }
  MakeRightAscensionContinuous(samples, n + 1);

  StoreSeries(fit.ra_deg, samples, &FitSample::ra_deg, n, ta, tb);
  StoreSeries(fit.dec_deg, samples, &FitSample::dec_deg, n, ta, tb);
  StoreSeries(fit.dist, samples, &FitSample::dist, n, ta, tb);
  return true;
}

// The Sun's and the Moon's apparent ecliptic longitudes of date (radians,
// mean equinox: light time and aberration on, nutation off) and the Moon's
// latitude at `jd_tt`. The phases are defined by the apparent longitudes;
// without the annual aberration the Sun would stand 20.5" ahead of its
// apparent place, and against the Moon's astrometric place the quarters would
// come out 40 s and the full moons 80 s late.
struct PhasePlaces {
  Extended sunLon_rad = 0, moonLon_rad = 0, moonLat_rad = 0;
};
PhasePlaces PhasePlacesAt(Extended jd_tt) {
  const double jd = static_cast<double>(jd_tt);
  constexpr theory::Corrections kMeanEquinoxApparent{.lightTime = true, .aberration = true, .nutation = false};
  const theory::BodyPosition moon = theory::Position(jd, theory::kCodeMoon, kMeanEquinoxApparent);
  PhasePlaces p;
  p.sunLon_rad = theory::Position(jd, theory::kCodeSunSearch, kMeanEquinoxApparent).lon_rad;
  p.moonLon_rad = moon.lon_rad;
  p.moonLat_rad = moon.lat_rad;
  return p;
}

}  // namespace

bool T_FIT_MOON(int32_t n, Extended ta, Extended tb, TChebFit& fit) {
  return FitApparentPlace(theory::kCodeMoon, kAu_km / kEarthEquatorialRadius_km, n, ta, tb, fit);
}

bool T_FIT_SUN(int32_t n, Extended ta, Extended tb, TChebFit& fit) {
  return FitApparentPlace(theory::kCodeSunSearch, 1, n, ta, tb, fit);
}

MoonPhase MoonPhaseValue(Extended jd) {
  const double jd_d = static_cast<double>(jd);
  const theory::BodyPosition moon =
      theory::Position(jd_d, theory::kCodeMoon, {.lightTime = true, .aberration = false, .nutation = true});
  MoonPhase phase;
  phase.lon_rad = moon.lon_rad;
  phase.lat_rad = moon.lat_rad;
  phase.P = PhaseValueOfLongitudes(phase.lon_rad, SunLongitudeShort(jd));
  return phase;
}

Extended PhaseValueOfLongitudes(Extended moonLon_rad, Extended sunLon_rad) {
  // t lies in (1.4999, 3.4999) because both longitudes lie in [0, 2pi).
  const Extended t = (moonLon_rad - sunLon_rad) / kTwoPi + 2.4999L;
  return (t - std::trunc(t) - 0.4999L) * 2;
}

Extended RefinePhaseTime(Extended& jd, Extended elongation_rad, bool tdt) {
  if (!std::isfinite(jd) || !std::isfinite(elongation_rad)) return kNoLatitude;
  const Extended deltaT_days = DeltaT(jd, tdt).days;
  Extended t = jd;
  Extended moonLat_rad = kNoLatitude;
  for (int stepCount = 0; stepCount < kMaxPhaseSteps; ++stepCount) {
    const PhasePlaces p = PhasePlacesAt(t + deltaT_days);
    if (!std::isfinite(p.sunLon_rad) || !std::isfinite(p.moonLon_rad)) {
      moonLat_rad = kNoLatitude;
      break;
    }
    moonLat_rad = p.moonLat_rad;
    // Turns still to go, in [-0.5, 0.5): the nearest instant of the target.
    const Extended offset_rad = p.moonLon_rad - p.sunLon_rad - elongation_rad;
    const Extended k_turns = FracPositive(offset_rad / kTwoPi + 0.5L) - 0.5L;
    const Extended step_days = k_turns / kSynodicRate_turnsPerDay;
    t -= step_days;
    if (std::fabs(step_days) <= kPhaseStepLimit_days) break;
  }
  jd = t;
  return moonLat_rad;
}

}  // namespace orb
