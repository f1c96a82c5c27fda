// SPDX-License-Identifier: AGPL-3.0-or-later
#include "engine/CometOrbit.h"

#include <cmath>
#include <limits>

#include "core/KernelReport.h"
#include "core/NumText.h"
#include "engine/Frames.h"
#include "engine/PlanetaryTheory.h"

namespace orb {
namespace {

constexpr Extended kNaN = std::numeric_limits<Extended>::quiet_NaN();
// Below this mean anomaly (5 degrees, signed) an orbit with |1 - e| < 0.1
// takes the near-parabolic solver.
constexpr Extended kNearParabolicMaxM_rad = 0.08726646259971647L;
// The divisor of the decimal logarithm in the magnitude laws (ln 10).
constexpr Extended kLn10 = 2.302585093L;

// Kepler's equation: stopping rule on the change of E, and a bound on the
// number of Newton steps (e near 1 with M near 0, the worst case, needs
// fewer than 30).
constexpr Extended kKeplerTolerance = 1e-7L;
constexpr int kKeplerMaxSteps = 100;
// PARABELKOORD: stopping rule on the change of E2; the iteration ends after
// the step that passes this count.
constexpr Extended kParabolaTolerance = 1e-9L;
constexpr int kParabolaMaxSteps = 20;
// Stumpff series: smallest term summed, and a bound on the terms (the sum
// still ends by the tolerance for |E2| up to 1e5; converging near-parabolic
// cases have |E2| below about 40).
constexpr Extended kStumpffTolerance = 1e-12L;
constexpr int kStumpffMaxTerms = 500;
// HYPANOM: relative stopping rule and Newton step limit.
constexpr Extended kHypanomTolerance = 1e-10L;
constexpr int kHypanomMaxSteps = 15;

OrbitPoint Undefined(OrbitSolver solver) { return {kNaN, kNaN, solver}; }

bool Finite(Extended x) { return std::isfinite(x); }

// The point (x, y) in the orbital plane (x towards perihelion) as distance
// and true anomaly.
OrbitPoint FromPlane(Extended x, Extended y, OrbitSolver solver) {
  OrbitPoint p;
  p.solver = solver;
  PlanePolar(y, x, p.r, p.nu);
  return p;
}

// The Stumpff functions c1, c2, c3 of E2 by their power series
// (Montenbruck & Pfleger, STUMPFF): c1 = sum (-E2)^n/(2n+1)!,
// c2 = sum (-E2)^n/(2n+2)!, c3 = sum (-E2)^n/(2n+3)!, until a term is below
// 1e-12 in magnitude. A term that is no longer a finite number also ends the
// sum, so a diverging caller cannot loop forever.
struct Stumpff {
  Extended c1 = 0, c2 = 0, c3 = 0;
};
Stumpff StumpffFunctions(Extended e2) {
  Stumpff c;
  Extended add = 1;
  Extended n = 1;
  for (int term = 0; term < kStumpffMaxTerms; ++term) {
    c.c1 += add;
    add /= 2 * n;
    c.c2 += add;
    add /= 2 * n + 1;
    c.c3 += add;
    add *= -e2;
    n += 1;
    if (!(std::fabs(add) >= kStumpffTolerance)) break;
  }
  return c;
}

// sqrt(A^2 + 1) + A, for negative A as 1 / (sqrt(A^2 + 1) - A), which is
// the same number without the cancellation far before perihelion.
Extended SqrtPlusA(Extended A) {
  const Extended s = std::sqrt(A * A + 1);
  return A >= 0 ? s + A : 1 / (s - A);
}

// The time from which the orbit is computed: the epoch of M0 when M0 and
// that epoch are both non-zero, otherwise the perihelion time.
bool UsesMeanAnomalyAtEpoch(const CometBahnTyp& el) { return el.M0 != 0 && el.TM0 != 0; }

// The semi-major axis for the mean anomaly: the record's a, or q/|1 - e|
// when the record holds none (a set whose a was not derived); NaN when
// neither is a positive finite number.
Extended AxisForMeanAnomaly(const CometBahnTyp& el) {
  if (el.a > 0 && Finite(el.a)) return el.a;
  const Extended a = el.q / std::fabs(1 - el.e);
  return a > 0 && Finite(a) ? a : kNaN;
}

// A place that cannot be computed: every quantity NaN but R.
SmallBodyPlace Undefined(SmallBodyPlace place) {
  place.lon = place.lat = place.r = place.delta = place.elong = kNaN;
  place.mag = std::numeric_limits<float>::quiet_NaN();
  return place;
}

Extended Log10(Extended x) { return std::log(x) / kLn10; }

// The Sun's geocentric ecliptic place at jd_tt (light time on, mean equinox
// of date) precessed to the equinox epoch `equinoxJD`, as a vector (AU).
struct SunPlace {
  Extended lon = 0, lat = 0, R = 0;
  Vector3 xyz;
};
SunPlace SunAt(Extended jd_tt, Extended equinoxJD) {
  const double jd = static_cast<double>(jd_tt);
  const theory::BodyPosition sun = theory::Position(jd, theory::kCodeSunSearch, theory::kAstrometricOfDate);
  SunPlace s;
  s.lon = sun.lon_rad;
  s.lat = sun.lat_rad;
  s.R = sun.delta_au;
  PrecessEcliptic(s.lon, s.lat, equinoxJD, jd_tt);
  s.xyz = PolarToRect(s.lat, s.lon, s.R);
  return s;
}

// The heliocentric ecliptic vector (AU) of an orbit point: u = nu + omega,
// x' = r cos u, y' = r sin u; longitude Omega + angle of (x', y' cos i),
// latitude arcsin(y' sin i / r).
Vector3 Heliocentric(const CometBahnTyp& el, const OrbitPoint& p) {
  const Extended u = p.nu + el.PerL;
  const Extended xp = p.r * std::cos(u);
  const Extended yp = p.r * std::sin(u);
  Extended rho = 0, angle = 0;
  PlanePolar(yp * std::cos(el.i), xp, rho, angle);
  const Extended lon = el.AscN + angle;
  const Extended lat = ArcSinG(yp * std::sin(el.i) / p.r);
  return PolarToRect(lat, lon, p.r);
}

// Visual magnitude: a minor planet by H + |phase angle in degrees| * G *
// 0.023/0.15 + 5 log10(r Delta); a comet by H + 5 log10 Delta + 2.5 K log10 r.
float Magnitude(const CometBahnTyp& el, Extended r, Extended delta, Extended R) {
  if (el.asteroid) {
    const Extended phase_deg = ArcCosG((r * r + delta * delta - R * R) / (2 * r * delta)) * kRadToDeg;
    return static_cast<float>(el.mag + std::fabs(phase_deg) * el.dmag * 0.023L / 0.15L + 5 * Log10(r * delta));
  }
  return static_cast<float>(el.mag + 5 * Log10(delta) + 2.5L * el.dmag * Log10(r));
}

}  // namespace

OrbitPoint EllipticOrbit(Extended a, Extended e, Extended m_rad) {
  if (!(a > 0 && Finite(a) && e >= 0 && e < 1 && Finite(m_rad))) return Undefined(OrbitSolver::Elliptic);
  // Kepler's equation E - e sin E = M by Newton's method on M reduced into
  // [0, 2pi), started at E = pi: f(E) = E - e sin E - M is increasing and
  // convex below pi, concave above, so the steps approach the root
  // monotonically for every e < 1 (Charles & Tatum, Celest. Mech. Dyn. Astron.
  // 69, 357, 1998). Same stopping rule as the fixed-point form E = M + e sin E:
  // a change below 1e-7.
  const Extended m = m_rad - kTwoPi * std::floor(m_rad / kTwoPi);
  Extended E = kPi;
  for (int step = 0; step < kKeplerMaxSteps; ++step) {
    const Extended dE = (E - e * std::sin(E) - m) / (1 - e * std::cos(E));
    E -= dE;
    if (std::fabs(dE) < kKeplerTolerance) break;
  }
  OrbitPoint p;
  p.solver = OrbitSolver::Elliptic;
  p.r = a * (1 - e * std::cos(E));
  p.nu = 2 * std::atan(std::sqrt((1 + e) / (1 - e)) * std::tan(E / 2));
  return p;
}

OrbitPoint PARABELKOORD(Extended q, Extended e, Extended dt_days) {
  if (!(q > 0 && Finite(q) && e > 0 && Finite(e) && Finite(dt_days))) return Undefined(OrbitSolver::NearParabolic);
  // Montenbruck & Pfleger, PARAB: a Barker-like cubic for U, corrected by
  // the Stumpff functions of E2 = U^2 (1 - e) / FAC until E2 settles.
  const Extended tau = kGaussK * dt_days;
  Extended e2 = 0;
  Extended fac = e / 2;
  Extended u = 0;
  Stumpff c;
  bool converged = false;
  for (int step = 1; step <= kParabolaMaxSteps + 1 && !converged; ++step) {
    const Extended previous = e2;
    const Extended A = 1.5L * std::sqrt(fac / (q * q * q)) * tau;
    const Extended B = CubeRoot(SqrtPlusA(A));
    u = B - 1 / B;
    e2 = u * u * (1 - e) / fac;
    c = StumpffFunctions(e2);
    fac = 3 * e * c.c3;
    converged = std::fabs(e2 - previous) < kParabolaTolerance;
  }
  if (!converged) ReportKernelError(" Konvergenzprobleme in PARABELKOORD");
  const Extended x = q * (1 - u * u * c.c2 / fac);
  const Extended y = q * std::sqrt((1 + e) / fac) * u * c.c1;
  return FromPlane(x, y, OrbitSolver::NearParabolic);
}

Extended HYPANOM(Extended mh, Extended e) {
  if (!(e > 1 && Finite(e) && Finite(mh))) return kNaN;
  Extended h = std::log(2 * std::fabs(mh) / e + 1.8L);
  if (mh < 0) h = -h;
  Extended f = e * std::sinh(h) - h - mh;
  const auto pending = [&] { return std::fabs(f) > kHypanomTolerance * (1 + std::fabs(h + mh)); };
  int step = 0;
  while (pending() && step < kHypanomMaxSteps) {
    h -= f / (e * std::cosh(h) - 1);
    f = e * std::sinh(h) - h - mh;
    ++step;
  }
  if (pending()) ReportKernelError(" Konvergenzprobleme in HYPANOM");
  return h;
}

OrbitPoint HyperbolicOrbit(Extended q, Extended e, Extended dt_days) {
  if (!(q > 0 && Finite(q) && e > 1 && Finite(e) && Finite(dt_days))) return Undefined(OrbitSolver::Hyperbolic);
  const Extended a = q / (e - 1);
  const Extended k = kGaussK / std::sqrt(a);
  const Extended H = HYPANOM(dt_days * k / a, e);
  const Extended x = a * (e - std::cosh(H));
  const Extended y = a * std::sqrt((e + 1) * (e - 1)) * std::sinh(H);
  return FromPlane(x, y, OrbitSolver::Hyperbolic);
}

bool OrbitIsUsable(const CometBahnTyp& el) {
  return el.q > 0 && Finite(el.q) && el.e >= 0 && Finite(el.e) && Finite(el.i) && Finite(el.AscN) &&
         Finite(el.PerL) && Finite(el.T0) && Finite(el.M0) && Finite(el.TM0);
}

OrbitPoint OrbitAt(const CometBahnTyp& el, Extended t, Extended tau_days) {
  const Extended sinceT0_days = t - el.T0 - tau_days;
  // A parabola never needs the mean anomaly (nor a semi-major axis).
  if (el.e == 1) return PARABELKOORD(el.q, el.e, sinceT0_days);
  if (!OrbitIsUsable(el)) return Undefined(OrbitSolver::Elliptic);

  const Extended a = AxisForMeanAnomaly(el);
  const Extended sqrtA3 = std::sqrt(a * a * a);
  const Extended m = UsesMeanAnomalyAtEpoch(el) ? kGaussK * (t - el.TM0 - tau_days) / sqrtA3 + el.M0
                                                : kGaussK * sinceT0_days / sqrtA3;
  if (m < kNearParabolicMaxM_rad && std::fabs(1 - el.e) < 0.1L) return PARABELKOORD(el.q, el.e, sinceT0_days);
  if (el.e >= 1) return HyperbolicOrbit(el.q, el.e, sinceT0_days);
  return EllipticOrbit(a, el.e, m);
}

SmallBodyPlace SmallBodyPosition(const CometBahnTyp& el, Extended jd_tt, bool lightTime) {
  const SunPlace sun = SunAt(jd_tt, EpochOfYear(el.equinox));
  SmallBodyPlace place;
  place.R = sun.R;
  if (!(Finite(sun.lon) && Finite(sun.lat) && Finite(sun.R))) return Undefined(place);
  place.delta = 1;
  const int passes = lightTime ? 2 : 1;
  for (int pass = 0; pass < passes; ++pass) {
    const Extended tau_days = lightTime ? kLightTimePerAu_days * place.delta : 0;
    const OrbitPoint p = OrbitAt(el, jd_tt, tau_days);
    if (!(p.r > 0 && Finite(p.r) && Finite(p.nu))) return Undefined(place);
    const Vector3 helio = Heliocentric(el, p);
    const Vector3 geo{helio.x + sun.xyz.x, helio.y + sun.xyz.y, helio.z + sun.xyz.z};
    RectToPolar(geo.z, geo.y, geo.x, place.delta, place.lon, place.lat);
    place.r = p.r;
  }
  if (place.lon < 0) place.lon += kTwoPi;

  const Extended dLon = place.lon - sun.lon;
  place.elong = ArcCosG(std::cos(place.lat) * std::cos(dLon));
  if (std::sin(dLon) < 0) place.elong = -place.elong;
  place.mag = Magnitude(el, place.r, place.delta, place.R);
  return place;
}

std::string ElementText(const CometBahnTyp& el, const std::string& separator) {
  const auto angle = [](Extended x_rad) { return Str(x_rad * kRadToDeg, 9, 5) + "°"; };
  std::string text = el.asteroid ? "Asteroid" : "Komet";
  text += separator;
  if (el.asteroid && el.number >= 1) text += "(" + std::to_string(el.number) + ") ";
  text += el.name;
  text += separator + "a     : " + Str(el.a, 9, 5) + " AE";
  text += separator + "q     : " + Str(el.q, 9, 5) + " AE";
  text += separator + "e     : " + Str(el.e, 9, 5);
  text += separator + "i     : " + angle(el.i);
  text += separator + "AscN  : " + angle(el.AscN);
  text += separator + "PerL  : " + angle(el.PerL);
  text += separator + "M0    : " + angle(el.M0) + "  JD " + Str(el.TM0, 1, 4);
  text += separator + "Epoch : " + Str(el.equinox, 1, 4) + "   JD " + Str(EpochOfYear(el.equinox), 1, 4);
  text += separator + "mag   : " + Str(el.mag, 9, 3) + " mag";
  text += separator + "dmag  : " + Str(el.dmag, 9, 3) + " mag";
  if (el.diameter > 0) text += separator + "Ø     :" + Str(el.diameter, 8, 0) + " km";
  return text;
}

}  // namespace orb
