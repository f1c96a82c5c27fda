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

#include "core/Constants.h"

namespace orb {

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

// Arc sine in degrees; exactly +-1 gives 90*x, |x| <= 1e-7 gives x/kDegree,
// otherwise arctan(x/sqrt((1-x)(1+x))). |x| > 1 is outside its domain and
// gives NaN (callers that may pass rounding excesses use ArcSinG).
Extended ArcSinD(Extended x);
// Arc cosine in degrees, 90 - ArcSinD(x); |x| > 1 reports
// " Fehler: ArcCos ACS(" + Str(x, 5, 3) + ") nicht definiert" and clamps x
// to +-1.
Extended ArcCosD(Extended x);
// Two-argument arc tangent in degrees of the point (x, y): angle in
// (-180, 180]; (0, 0) gives 0.
Extended ArcTan2D(Extended x, Extended y);

// Guarded arc sine and arc cosine in radians: |x| <= 1.000000001 is accepted
// (|x| >= 1 gives +-pi/2 for the arc sine, 0 or pi for the arc cosine, so a
// rounding excess never yields an angle outside the range). Beyond that
// (and for NaN) "FehlerArcSin (x)  ist nicht definiert" or
// "FehlerArcCos (x)  ist nicht definiert" is reported (x in the general
// number format) and 0 (arc sine) or pi/2 (arc cosine) is returned.
Extended ArcSinG(Extended x);
Extended ArcCosG(Extended x);

// Modulo m * Frac(x / m); the result has the sign of x. m = 0 reports
// "Fehler: x hpNumTypmodulo 0 ist nicht definiert" and returns x.
Extended Modulo(Extended m, Extended x);

// Power b^e (`HOCH`): b > 0 gives 2^(e*log2 b) (computed by pow); b = 0
// gives 0 for e > 0 and 1 for e = 0; b < 0 and e integral (fractional part
// exactly 0) gives |b|^e, negated for odd e. Otherwise (b = 0 with e < 0,
// b < 0 with e not integral, NaN) reports
// "Fehler: b HOCH e ist nicht definiert" (b and e as Str(x, 20, 10)) and
// returns 0.
Extended HOCH(Extended e, Extended b);

// Real cube root; 0 gives 0, a negative x gives -CubeRoot(-x).
Extended CubeRoot(Extended x);

// Roots of c*x^2 + b*x + a = 0: p = b/(2c), d = p^2 - a/c,
// x1 = sqrt(d) - p, x2 = -p - sqrt(d) (so x1 >= x2); the root of smaller
// magnitude is taken from x1*x2 = a/c to avoid cancellation. c = 0 reports
// "Division durch 0in QuadratGleich", d < 0 reports
// "Fehler in QuadratGleich : d"; in both cases x1, x2 are not set and false
// is returned.
bool QuadratGleich(Extended a, Extended b, Extended c, Extended& x1, Extended& x2);

// Three-point quadratic interpolation through y(-1) = yMinus, y(0) = y0,
// y(+1) = yPlus: extremum (xe, ye), the roots z1, z2 inside [-1, 1] and their
// count (0, 1 or 2), z1 <= z2. When z1 < -1, z1 takes the value of z2. A
// double root inside counts twice. When the three points lie on a line
// (a = 0) there is no extremum: xe is +infinity and ye = y0; the line's one
// root -y0/b is z1 = z2 and counts once; a constant has no root.
// Montenbruck & Pfleger, Astronomy on the Personal Computer, QUAD.
// Used by the rise/set and eclipse searches.
struct Interpolation3 {
  Extended xe = 0, ye = 0;
  Extended z1 = 0, z2 = 0;
  int count = 0;
};
Interpolation3 Interpolate3(Extended yMinus, Extended y0, Extended yPlus);

// Polar (latitude b, longitude l, radius r; radians) to rectangular.
Vector3 PolarToRect(Extended lat_rad, Extended lon_rad, Extended r);
// Rectangular to polar (radians): r, longitude in (-pi, pi] (arccos of
// x/rho, negated for y < 0; 0 when rho = 0), latitude (arcsin of z/r; 0 when
// r = 0). Computed through the arc tangent for full precision near the axes.
void RectToPolar(Extended z, Extended y, Extended x, Extended& r, Extended& lon_rad, Extended& lat_rad);
// Polar (longitude, latitude in degrees, radius) to rectangular.
Vector3 PolarToRectD(Extended lon_deg, Extended lat_deg, Extended r);
// Rectangular to polar (degrees): r, longitude in [0, 360) from ArcTan2D(x, y),
// latitude ArcTan2D(sqrt(x^2 + y^2), z).
void RectToPolarD(Extended z, Extended y, Extended x, Extended& r, Extended& lon_deg, Extended& lat_deg);

// Plane polar coordinates of the point (a, b): r = sqrt(a^2 + b^2) and the
// angle in (-pi, pi] (radians) measured from the b axis towards a, so that
// a = r sin(angle), b = r cos(angle); 0 when r = 0.
void PlanePolar(Extended a, Extended b, Extended& r, Extended& angle_rad);
// Turns the point (u, v) by `angle_rad` counter-clockwise (from the u axis
// towards v) through plane polar and back: u = r cos(phi + angle),
// v = r sin(phi + angle).
void PlaneRotation(Extended& u, Extended& v, Extended angle_rad);

Vector3 Cross(const Vector3& a, const Vector3& b);
Extended Dot(const Vector3& a, const Vector3& b);
Extended Norm(const Vector3& a);

// Sexagesimal split of |x| into whole degrees, whole minutes and seconds;
// for negative x the sign goes on the first non-zero of the three
// (-0.5 gives 0, -30, 0). Degrees beyond the 32-bit range saturate.
struct Sexagesimal {
  int32_t degrees = 0;
  int32_t minutes = 0;
  Extended seconds = 0;
};
Sexagesimal SexagesimalSplit(Extended x);

// Chebyshev evaluation (Clenshaw) of `series` at t:
// sum c[j] T_j(x) for j = 1..N plus c[0]/2, x = (2t - A - B)/(B - A).
// A t outside [A, B] is reported (" T_EVAL : x nicht in [a,b]: " with t, A, B
// as Str(t, 10, 5), Str(A, 15, 5), Str(B, 10, 5)) and the series is still
// evaluated. A degree beyond 13 uses the 14 coefficients the record holds.
Extended T_EVAL(const TChebSeries& series, Extended t);

// Line intercept of the lunar eclipse geometry: p = a / (1 - b/c), q = -c/p.
void LineIntercept(Extended a, Extended b, Extended c, Extended& p, Extended& q);

// Opens `name` for reading into `file` (closing what it held); true when no
// input/output error is pending afterwards. A name that is not found as
// written is looked up case-insensitively, component by component. A folder
// is not a text file: false.
bool OpenTextFile(std::ifstream& file, const std::string& name);

// Gives the file `fileName` a backup name. The second argument is an
// extension ("bak", ".bak", "*.bak") or, when its "." stands after the first
// character, a whole new name. An existing file of the new name is replaced
// atomically (rename), so at every instant one of the two names holds the
// complete file. The new name is derived from `fileName` as written; the file
// itself is looked up case-insensitively when not found as written. False
// when `fileName` does not exist or cannot be renamed (a new name on another
// file system included).
bool RenameToBackup(const std::string& fileName, const std::string& extOrName);

// The path under which `path` exists, looked up as written and then
// case-insensitively (ASCII letters) component by component, the first
// match in name order when several differ only in case; empty when it does
// not exist.
std::string ResolvePathCaseInsensitive(const std::string& path);

}  // namespace orb
