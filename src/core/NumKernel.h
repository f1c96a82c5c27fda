// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// The numerical kernel: small routines shared by the engine and the eclipse
// code. All arithmetic is in extended precision (long double, 64-bit
// mantissa on x86-64). Every routine is a plain function of its arguments;
// none keeps state. Undefined cases are reported through ReportKernelError
// (an error box with a fixed German text), after which the routine returns
// and the computation goes on.

#include <cstdint>
#include <fstream>
#include <string>

namespace orb {

using Extended = long double;

// One degree in radians as the degree-based routines use it.
inline constexpr Extended kDegree = 0.0174532925199433L;
inline constexpr Extended kPi = 3.141592653589793238462643383279502884L;
inline constexpr Extended kTwoPi = 2 * kPi;

// A vector of three extended components.
struct Vector3 {
  Extended x = 0, y = 0, z = 0;
};

// A Chebyshev series on the interval [A, B] with degree N (0 <= N <= 13) and
// the coefficients c[0..N]; written by the Sun and Moon fits, read by T_EVAL.
struct TChebSeries {
  int32_t N = 0;
  Extended A = 0, B = 0;
  Extended c[14] = {};
};

// Fractional part x - trunc(x); keeps the sign of x.
Extended Frac(Extended x);

// Degrees to radians: x * pi / 180 with full pi.
Extended DegToRad(Extended x_deg);
// Radians to degrees: 360 * Frac(x / 2pi); sign of x, in (-360, 360).
Extended RadToDeg(Extended x_rad);

// Sine, cosine and tangent of an angle in degrees (via kDegree).
Extended SinD(Extended x_deg);
Extended CosD(Extended x_deg);
Extended TanD(Extended x_deg);
// Tangent of radians as sin/cos; sin x / 1e-37 when cos x is exactly 0.
Extended TanR(Extended x_rad);

// Arc sine in degrees; exactly +-1 gives 90*x, |x| <= 1e-7 gives x/kDegree.
Extended ArcSinD(Extended x);
// Arc cosine in degrees; |x| > 1 reports " Fehler: ArcCos ACS(...) nicht
// definiert" and clamps x to +-1.
Extended ArcCosD(Extended x);
// Two-argument arc tangent in degrees of the point (x, y): angle in
// (-180, 180]; (0, 0) gives 0.
Extended ArcTan2D(Extended x, Extended y);

// Guarded arc sine and arc cosine in radians: |x| <= 1.000000001 is accepted
// (|x| >= 1 gives x*pi/2 for the arc sine, 0 or pi for the arc cosine);
// beyond that "FehlerArcSin (x)  ist nicht definiert" or
// "FehlerArcCos (x)  ist nicht definiert" is reported and 0 (arc sine) or
// pi/2 (arc cosine) is returned.
Extended ArcSinG(Extended x);
Extended ArcCosG(Extended x);

// Modulo m * Frac(x / m); the result has the sign of x. m = 0 reports
// "Fehler: x hpNumTypmodulo 0 ist nicht definiert" and returns x.
Extended Modulo(Extended m, Extended x);

// Power b^e (`HOCH`): b >= 0 via 2^(e*log2 b); b < 0 and e integral gives
// |b|^e, negated for odd e; otherwise reports
// "Fehler: b HOCH e ist nicht definiert" and returns 0.
Extended HOCH(Extended e, Extended b);

// Cube root; 0 gives 0; defined for x > 0.
Extended CubeRoot(Extended x);

// Roots of c*x^2 + b*x + a = 0: p = b/(2c), d = p^2 - a/c,
// x1 = sqrt(d) - p, x2 = -p - sqrt(d). c = 0 reports
// "Division durch 0in QuadratGleich", d < 0 reports
// "Fehler in QuadratGleich : d"; in both cases x1, x2 are not set and false
// is returned.
bool QuadratGleich(Extended a, Extended b, Extended c, Extended& x1, Extended& x2);

// Three-point quadratic interpolation through y(-1) = yMinus, y(0) = y0,
// y(+1) = yPlus: extremum (xe, ye), the roots z1, z2 inside [-1, 1] and their
// count (0, 1 or 2). When only the second root lies inside, z1 takes its
// value. Used by the rise/set and eclipse searches.
struct Interpolation3 {
  Extended xe = 0, ye = 0;
  Extended z1 = 0, z2 = 0;
  int count = 0;
};
Interpolation3 Interpolate3(Extended yMinus, Extended y0, Extended yPlus);

// Polar (latitude b, longitude l, radius r; radians) to rectangular.
Vector3 PolarToRect(Extended lat_rad, Extended lon_rad, Extended r);
// Rectangular to polar (radians): r, longitude in (-pi, pi], latitude.
void RectToPolar(Extended z, Extended y, Extended x, Extended& r, Extended& lon_rad, Extended& lat_rad);
// Polar (longitude, latitude in degrees, radius) to rectangular.
Vector3 PolarToRectD(Extended lon_deg, Extended lat_deg, Extended r);
// Rectangular to polar (degrees): r, longitude in [0, 360), latitude.
void RectToPolarD(Extended z, Extended y, Extended x, Extended& r, Extended& lon_deg, Extended& lat_deg);

// Plane polar coordinates of the point (a, b): r and the angle (radians)
// measured from the b axis towards a.
void PlanePolar(Extended a, Extended b, Extended& r, Extended& angle_rad);
// Turns the point (u, v) by `angle_rad` through plane polar and back.
void PlaneRotation(Extended& u, Extended& v, Extended angle_rad);

Vector3 Cross(const Vector3& a, const Vector3& b);
Extended Dot(const Vector3& a, const Vector3& b);
Extended Norm(const Vector3& a);

// Sexagesimal split of |x| into whole degrees, whole minutes and seconds;
// for negative x the sign goes on the first non-zero of the three.
struct Sexagesimal {
  int32_t degrees = 0;
  int32_t minutes = 0;
  Extended seconds = 0;
};
Sexagesimal SexagesimalSplit(Extended x);

// Chebyshev evaluation (Clenshaw) of `series` at t. A t outside [A, B] is
// reported (" T_EVAL : x nicht in [a,b]: ...") and the series is still
// evaluated.
Extended T_EVAL(const TChebSeries& series, Extended t);

// Line intercept of the lunar eclipse geometry: p = a / (1 - b/c), q = -c/p.
void LineIntercept(Extended a, Extended b, Extended c, Extended& p, Extended& q);

// Opens `name` for reading into `file`; true when no input/output error is
// pending afterwards. A name that is not found as written is looked up
// case-insensitively, component by component.
bool OpenTextFile(std::ifstream& file, const std::string& name);

// Gives the file `fileName` a backup name. The second argument is an
// extension ("bak", ".bak", "*.bak") or, when its "." stands after the first
// character, a whole new name. An existing file of the new name is replaced
// atomically (rename), so at every instant one of the two names holds the
// complete file. False when `fileName` does not exist or cannot be renamed.
bool RenameToBackup(const std::string& fileName, const std::string& extOrName);

// The path under which `path` exists, looked up as written and then
// case-insensitively component by component; empty when it does not exist.
std::string ResolvePathCaseInsensitive(const std::string& path);

}  // namespace orb
