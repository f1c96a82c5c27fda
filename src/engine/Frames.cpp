// SPDX-License-Identifier: AGPL-3.0-or-later
#include "engine/Frames.h"

#include <cmath>

#include "core/TimeScales.h"

namespace orb {
namespace {

// Arcseconds per radian of the short nutation series.

Extended Wrap2Pi(Extended a) {
  Extended w = std::fmod(a, kTwoPi);
  if (w < 0) w += kTwoPi;
  return w;
}

// Fractional part in [0, 1).
Extended Frac01(Extended x) { return x - std::floor(x); }

Vector3 UnitVector(Extended lat_rad, Extended lon_rad) { return PolarToRect(lat_rad, lon_rad, 1); }

}  // namespace

Extended MeanObliquity(Extended jd) {
  // Laskar (1986) in arcseconds, U in units of 10000 Julian years from J2000.
  static constexpr Extended kTerms[] = {-4680.93L, -1.55L,  1999.25L, -51.38L, -249.67L,
                                        -39.05L,   7.12L,   27.87L,   5.79L,   2.45L};
  const Extended u = (jd - kJ2000) / 3652500;
  Extended sum = 0;
  for (int i = 9; i >= 0; --i) sum = (sum + kTerms[i]) * u;
  return 23.439291111L * kPi / 180 + sum * kArcsecToRad;
}

void EclipticToEquatorial(Extended jd, Extended lat_rad, Extended lon_rad, Extended& ra_rad,
                          Extended& dec_rad) {
  const Extended eps = MeanObliquity(jd);
  const Extended sb = std::sin(lat_rad), cb = std::cos(lat_rad);
  const Extended se = std::sin(eps), ce = std::cos(eps);
  dec_rad = ArcSinG(sb * ce + cb * se * std::sin(lon_rad));
  // Half-angle form: tan(alpha/2) = cos(delta) sin(alpha) / (cos(delta) + cos(delta) cos(alpha)).
  const Extended denominator = std::cos(dec_rad) + cb * std::cos(lon_rad);
  if (denominator == 0) {
    ra_rad = kPi;
  } else {
    ra_rad = 2 * std::atan((-sb * se + cb * ce * std::sin(lon_rad)) / denominator);
  }
}

void EquatorialToEcliptic(Extended jd, Extended dec_rad, Extended ra_rad, Extended& lon_rad,
                          Extended& lat_rad) {
  // The inverse rotation is the forward one applied to the mirrored point.
  Extended negLon = 0;
  EclipticToEquatorial(jd, dec_rad, -ra_rad, negLon, lat_rad);
  lon_rad = -negLon;
}

void PrecessEcliptic(Extended& lon_rad, Extended& lat_rad, Extended targetJD, Extended epochJD) {
  const Extended T = (epochJD - kJ2000) / 36525;
  const Extended t = (targetJD - epochJD) / 36525;
  const Extended Pi = (629554.98L + 3289.48L * T + 0.61L * T * T - (869.81L + 0.5L * T) * t + 0.04L * t * t) *
                      kArcsecToRad;
  const Extended eta = ((47.003L - 0.067L * T) * t - 0.033L * t * t) * kArcsecToRad;
  const Extended p = ((5029.097L + 2.222L * T) * t + 1.111L * t * t) * kArcsecToRad;

  const Extended sb = std::sin(lat_rad), cb = std::cos(lat_rad);
  const Extended se = std::sin(eta), ce = std::cos(eta);
  const Extended sd = std::sin(Pi - lon_rad), cd = std::cos(Pi - lon_rad);
  lat_rad = ArcSinG(cb * se * sd + sb * ce);
  // The angle v with cos v = cos b cos(Pi - l) / cos b' and the sign of
  // sin v = (cos b cos eta sin(Pi - l) - sin b sin eta) / cos b', taken by
  // the arc tangent of both numerators (cos b' > 0 cancels).
  const Extended v = std::atan2(cb * ce * sd - sb * se, cb * cd);
  lon_rad = Wrap2Pi(Pi + p - v);
}

void PrecessEquatorial(Extended& ra_rad, Extended& dec_rad, Extended targetJD, Extended epochJD) {
  const Extended T = (epochJD - kJ2000) / 36525;
  const Extended t = (targetJD - epochJD) / 36525;
  const Extended zeta = ((2306.218L + 1.397L * T) * t + 0.302L * t * t + 0.018L * t * t * t) * kArcsecToRad;
  const Extended z = zeta + 0.793L * t * t * kArcsecToRad;
  const Extended theta =
      ((2004.311L - 0.853L * T) * t - 0.427L * t * t - 0.042L * t * t * t) * kArcsecToRad;

  const Extended cd = std::cos(dec_rad), sd = std::sin(dec_rad);
  const Extended ct = std::cos(theta), st = std::sin(theta);
  const Extended a = cd * std::sin(ra_rad + zeta);
  const Extended b = ct * cd * std::cos(ra_rad + zeta) - st * sd;
  const Extended c = st * cd * std::cos(ra_rad + zeta) + ct * sd;
  Extended r = 0, lon = 0, lat = 0;
  RectToPolar(c, a, b, r, lon, lat);
  ra_rad = lon + z;
  dec_rad = lat;
}

Extended EpochOfYear(Extended year) { return (year - 1950) * 365.2422L + 2433282.423L; }

NutationAngles ShortNutation(Extended jd) {
  const Extended T = (jd - kJ2000) / 36525;
  const Extended M = kTwoPi * Frac01(0.993133L + 99.997306L * T);
  const Extended D = kTwoPi * Frac01(0.827362L + 1236.853087L * T);
  const Extended F = kTwoPi * Frac01(0.259089L + 1342.227826L * T);
  const Extended N = kTwoPi * Frac01(0.347346L - 5.372447L * T);
  NutationAngles n;
  n.eps = 0.4090928L - 0.00022696L * T;
  n.dpsi = (-17.2L * std::sin(N) - 1.319L * std::sin(2 * (F - D + N)) - 0.227L * std::sin(2 * (F + N)) +
            0.206L * std::sin(2 * N) + 0.143L * std::sin(M)) /
           kArcsecPerRadSeries;
  n.deps = (9.203L * std::cos(N) + 0.574L * std::cos(2 * (F - D + N)) + 0.098L * std::cos(2 * (F + N)) -
            0.09L * std::cos(2 * N)) /
           kArcsecPerRadSeries;
  return n;
}

void NutationLongitude(Extended& lon_rad, Extended jd) { lon_rad += ShortNutation(jd).dpsi; }

void NutationEquatorial(Extended& ra_rad, Extended& dec_rad, Extended jd) {
  const NutationAngles n = ShortNutation(jd);
  const Vector3 u = UnitVector(dec_rad, ra_rad);
  const Extended ce = std::cos(n.eps), se = std::sin(n.eps);
  const Extended dx = -n.dpsi * (ce * u.y + se * u.z);
  const Extended dy = n.dpsi * ce * u.x - n.deps * u.z;
  const Extended dz = n.dpsi * se * u.x + n.deps * u.y;
  Extended r = 0;
  RectToPolar(u.z + dz, u.y + dy, u.x + dx, r, ra_rad, dec_rad);
}

void TopocentricCorrection(Extended& ra_rad, Extended& dec_rad, Extended& delta_au, Extended lat_deg,
                           Extended lonEast_deg, Extended jd) {
  const Vector3 geo = PolarToRect(dec_rad, ra_rad, delta_au);
  const Extended siderealAngle_rad = static_cast<Extended>(LocalSiderealTime(lonEast_deg, jd)) * 15 * kPi / 180;
  const Vector3 obs = PolarToRect(DegToRad(lat_deg), siderealAngle_rad, kEarthRadius_au);
  RectToPolar(geo.z - obs.z, geo.y - obs.y, geo.x - obs.x, delta_au, ra_rad, dec_rad);
}

void EquatorialToHorizontal(Extended lat_rad, Extended dec_rad, Extended ha_rad, Extended& az_rad,
                            Extended& alt_rad) {
  const Vector3 u = UnitVector(dec_rad, ha_rad);
  // Turn the (x, z) plane by pi/2 - latitude: the pole goes to the zenith.
  const Extended sp = std::sin(lat_rad), cp = std::cos(lat_rad);
  const Extended x = u.x * sp - u.z * cp;
  const Extended z = u.x * cp + u.z * sp;
  Extended r = 0, azSouth = 0;
  RectToPolar(z, u.y, x, r, azSouth, alt_rad);
  az_rad = Wrap2Pi(azSouth + kPi);
}

void HorizontalToEquatorial(Extended alt_rad, Extended az_rad, Extended lat_rad, Extended& ha_rad,
                            Extended& dec_rad) {
  const Vector3 u = UnitVector(alt_rad, az_rad - kPi);
  // Turn the (x, z) plane back by latitude - pi/2.
  const Extended sp = std::sin(lat_rad), cp = std::cos(lat_rad);
  const Extended x = u.x * sp + u.z * cp;
  const Extended z = -u.x * cp + u.z * sp;
  Extended r = 0;
  RectToPolar(z, u.y, x, r, ha_rad, dec_rad);
}

bool RisingAzimuth(Extended lat_rad, Extended dec_rad, Extended& az_rad) {
  const Extended cp = std::cos(lat_rad);
  if (cp == 0) return false;
  const Extended s = std::sin(dec_rad) / cp;
  if (std::fabs(s) > 1) return false;
  az_rad = kPi / 2 - std::asin(s);
  return true;
}

}  // namespace orb
