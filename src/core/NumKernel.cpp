// SPDX-License-Identifier: AGPL-3.0-or-later
#include "core/NumKernel.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <system_error>
#include <vector>

#include "core/KernelReport.h"
#include "core/NumText.h"

namespace orb {
namespace {

namespace fs = std::filesystem;

// Accepted excess of |x| over 1 in the guarded arc sine and arc cosine.
constexpr Extended kGuardTolerance = 1.000000001L;
// Below this |x| the degree-based arc sine and arc cosine use x itself.
constexpr Extended kSmallArgument = 1e-7L;
// Stand-in for an exact zero cosine in TanR.
constexpr Extended kTinyCosine = 1e-37L;

// Arc tangent in degrees (radians divided by the degree constant).
Extended ArcTanDeg(Extended x) { return std::atan(x) / kDegree; }

// Long double to a 32-bit integer that saturates instead of overflowing;
// NaN gives 0.
int32_t SaturatedInt32(Extended x) {
  constexpr Extended kMax = static_cast<Extended>(std::numeric_limits<int32_t>::max());
  constexpr Extended kMin = static_cast<Extended>(std::numeric_limits<int32_t>::min());
  if (std::isnan(x)) return 0;
  if (x >= kMax) return std::numeric_limits<int32_t>::max();
  if (x <= kMin) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(x);
}

// ASCII case folding for file-name comparison.
bool EqualNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    unsigned char ca = static_cast<unsigned char>(a[i]);
    unsigned char cb = static_cast<unsigned char>(b[i]);
    if (ca >= 'A' && ca <= 'Z') ca = static_cast<unsigned char>(ca - 'A' + 'a');
    if (cb >= 'A' && cb <= 'Z') cb = static_cast<unsigned char>(cb - 'A' + 'a');
    if (ca != cb) return false;
  }
  return true;
}

bool Exists(const fs::path& p) {
  std::error_code ec;
  return fs::exists(p, ec);
}

// The entry of folder `dir` whose name equals `name` ignoring ASCII case; the
// first in name order when several do; empty when none does.
std::string FindEntryNoCase(const fs::path& dir, const std::string& name) {
  std::error_code ec;
  fs::directory_iterator it(dir.empty() ? fs::path(".") : dir, ec);
  if (ec) return {};
  std::vector<std::string> matches;
  for (const fs::directory_iterator end; it != end; it.increment(ec)) {
    if (ec) break;
    std::string entry = it->path().filename().string();
    if (EqualNoCase(entry, name)) matches.push_back(std::move(entry));
  }
  if (matches.empty()) return {};
  return *std::min_element(matches.begin(), matches.end());
}

// Splits a path at "/" into its components; empty components (a leading "/",
// doubled or trailing "/") are dropped.
std::vector<std::string> SplitPath(const std::string& path) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t slash = path.find('/', start);
    if (slash == std::string::npos) slash = path.size();
    if (slash > start) parts.push_back(path.substr(start, slash - start));
    start = slash + 1;
  }
  return parts;
}

// `folder` + "/" + `name`; `folder` may be empty (relative) or end in "/".
std::string JoinPath(const std::string& folder, const std::string& name) {
  return folder.empty() || folder.back() == '/' ? folder + name : folder + "/" + name;
}

// The backup name of `fileName` for the extension or whole name `extOrName`.
std::string BackupName(const std::string& fileName, std::string extOrName) {
  const std::size_t slash = fileName.rfind('/');
  const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  if (!extOrName.empty() && extOrName.front() == '*') extOrName.erase(0, 1);
  const std::size_t dot = extOrName.find('.');
  if (dot == std::string::npos) {
    extOrName.insert(0, 1, '.');
  } else if (dot > 0) {
    // A whole new name; without a folder of its own it goes beside the file.
    if (extOrName.find('/') != std::string::npos) return extOrName;
    return fileName.substr(0, nameStart) + extOrName;
  }
  // An extension: it replaces the one of the file name (the part after the
  // last "/"), or is appended when the file name has none.
  const std::size_t lastDot = fileName.rfind('.');
  if (lastDot == std::string::npos || lastDot <= nameStart) return fileName + extOrName;
  return fileName.substr(0, lastDot) + extOrName;
}

}  // namespace

Extended Frac(Extended x) { return x - std::trunc(x); }

Extended Modulo(Extended m, Extended x) {
  if (m == 0) {
    ReportKernelError("Fehler: " + Str(x, 20, 10) + " hpNumTypmodulo 0 ist nicht definiert");
    return x;
  }
  return m * Frac(x / m);
}

// ---------------------------------------------------------------- angles

Extended DegToRad(Extended x_deg) { return x_deg * kPi / 180; }

Extended RadToDeg(Extended x_rad) { return 360 * Frac(x_rad / kTwoPi); }

Extended SinD(Extended x_deg) { return std::sin(x_deg * kDegree); }
Extended CosD(Extended x_deg) { return std::cos(x_deg * kDegree); }
Extended TanD(Extended x_deg) { return std::tan(x_deg * kDegree); }

Extended TanR(Extended x_rad) {
  const Extended c = std::cos(x_rad);
  return std::sin(x_rad) / (c == 0 ? kTinyCosine : c);
}

Extended ArcSinD(Extended x) {
  if (x == 1 || x == -1) return 90 * x;
  if (std::fabs(x) <= kSmallArgument) return x / kDegree;
  return ArcTanDeg(x / std::sqrt((1 - x) * (1 + x)));
}

Extended ArcCosD(Extended x) {
  if (std::fabs(x) > 1) {
    ReportKernelError(" Fehler: ArcCos ACS(" + Str(x, 5, 3) + ") nicht definiert");
    x = x > 0 ? 1 : -1;
  }
  if (x == 1 || x == -1) return 90 - 90 * x;
  if (std::fabs(x) <= kSmallArgument) return 90 - x / kDegree;
  return 90 - ArcSinD(x);
}

Extended ArcTan2D(Extended x, Extended y) {
  if (x == 0 && y == 0) return 0;
  const Extended ax = std::fabs(x);
  const Extended ay = std::fabs(y);
  Extended phi = ay >= ax ? 90 - ArcTanDeg(ax / ay) : ArcTanDeg(ay / ax);
  if (x < 0) phi = 180 - phi;
  return y < 0 ? -phi : phi;
}

Extended ArcSinG(Extended x) {
  const Extended ax = std::fabs(x);
  if (!(ax <= kGuardTolerance)) {
    ReportKernelError("FehlerArcSin (" + GeneralNumber(x) + ") " + " ist nicht definiert");
    return 0;
  }
  // An argument just beyond +-1 is a rounding excess: the angle is +-pi/2,
  // never beyond it.
  if (ax >= 1) return std::copysign(kPi / 2, x);
  return std::atan(x / std::sqrt((1 - x) * (1 + x)));
}

Extended ArcCosG(Extended x) {
  if (!(std::fabs(x) <= kGuardTolerance)) {
    ReportKernelError("FehlerArcCos (" + GeneralNumber(x) + ") " + " ist nicht definiert");
    return kPi / 2;
  }
  if (x >= 1) return 0;
  if (x <= -1) return kPi;
  return kPi / 2 - std::atan(x / std::sqrt((1 - x) * (1 + x)));
}

// ---------------------------------------------------------------- power, roots

Extended HOCH(Extended e, Extended b) {
  if (b > 0) return std::pow(b, e);
  if (b == 0) {
    if (e > 0) return 0;
    if (e == 0) return 1;
  } else if (b < 0 && Frac(e) == 0) {
    const Extended magnitude = std::pow(-b, e);
    return std::fmod(e, 2.0L) != 0 ? -magnitude : magnitude;
  }
  ReportKernelError("Fehler: " + Str(b, 20, 10) + " HOCH " + Str(e, 20, 10) + " ist nicht definiert");
  return 0;
}

Extended CubeRoot(Extended x) { return std::cbrt(x); }

bool QuadratGleich(Extended a, Extended b, Extended c, Extended& x1, Extended& x2) {
  if (c == 0) {
    ReportKernelError("Division durch 0in QuadratGleich");
    return false;
  }
  const Extended p = b / (2 * c);
  const Extended d = p * p - a / c;
  if (d < 0) {
    ReportKernelError("Fehler in QuadratGleich : " + GeneralNumber(d));
    return false;
  }
  // x1 = sqrt(d) - p and x2 = -p - sqrt(d). The root of larger magnitude is
  // formed without cancellation, the other from the product x1*x2 = a/c.
  const Extended w = std::sqrt(d);
  const Extended product = a / c;
  if (p >= 0) {
    x2 = -p - w;
    x1 = x2 != 0 ? product / x2 : 0;
  } else {
    x1 = w - p;
    x2 = product / x1;
  }
  return true;
}

Interpolation3 Interpolate3(Extended yMinus, Extended y0, Extended yPlus) {
  Interpolation3 r;
  // Parabola y(x) = a*x^2 + b*x + y0 through the three points.
  const Extended a = (yPlus + yMinus) / 2 - y0;
  const Extended b = (yPlus - yMinus) / 2;
  if (a != 0) {
    r.xe = -b / (2 * a);
    r.ye = (a * r.xe + b) * r.xe + y0;
  } else {
    // A straight line (or a constant) has no extremum.
    r.xe = std::numeric_limits<Extended>::infinity();
    r.ye = y0;
  }
  const Extended d = b * b - 4 * a * y0;
  if (d < 0 || (a == 0 && b == 0)) return r;
  // The roots xe -+ sqrt(d)/(2|a|) are formed without cancellation: with
  // q = -(b + sign(b) sqrt(d))/2 they are q/a and y0/q.
  const Extended q = -(b + std::copysign(std::sqrt(d), b)) / 2;
  if (a == 0) {
    // A line crosses zero once, at -y0/b.
    r.z1 = r.z2 = y0 / q;
    r.count = std::fabs(r.z1) <= 1 ? 1 : 0;
    return r;
  }
  const Extended u = q / a;
  const Extended w = q != 0 ? y0 / q : u;  // q = 0 only for the double root at 0
  r.z1 = std::min(u, w);
  r.z2 = std::max(u, w);
  r.count = (std::fabs(r.z1) <= 1 ? 1 : 0) + (std::fabs(r.z2) <= 1 ? 1 : 0);
  if (r.z1 < -1) r.z1 = r.z2;
  return r;
}

// ---------------------------------------------------------------- vectors

Vector3 PolarToRect(Extended lat_rad, Extended lon_rad, Extended r) {
  const Extended rcb = r * std::cos(lat_rad);
  return {rcb * std::cos(lon_rad), rcb * std::sin(lon_rad), r * std::sin(lat_rad)};
}

void RectToPolar(Extended z, Extended y, Extended x, Extended& r, Extended& lon_rad, Extended& lat_rad) {
  const Extended rho = std::sqrt(x * x + y * y);
  r = std::sqrt(rho * rho + z * z);
  // arccos(x/rho), negated for y < 0, and arcsin(z/r); taken through the
  // arc tangent, which keeps full precision near the axes.
  lon_rad = rho == 0 ? 0 : std::atan2(std::fabs(y), x);
  if (y < 0) lon_rad = -lon_rad;
  lat_rad = r == 0 ? 0 : std::atan2(z, rho);
}

Vector3 PolarToRectD(Extended lon_deg, Extended lat_deg, Extended r) {
  const Extended rcb = r * CosD(lat_deg);
  return {rcb * CosD(lon_deg), rcb * SinD(lon_deg), r * SinD(lat_deg)};
}

void RectToPolarD(Extended z, Extended y, Extended x, Extended& r, Extended& lon_deg, Extended& lat_deg) {
  const Extended rho = std::sqrt(x * x + y * y);
  r = std::sqrt(rho * rho + z * z);
  lon_deg = ArcTan2D(x, y);
  if (lon_deg < 0) lon_deg += 360;
  if (lon_deg >= 360) lon_deg = 0;  // a tiny negative angle rounded up to 360
  lat_deg = ArcTan2D(rho, z);
}

void PlanePolar(Extended a, Extended b, Extended& r, Extended& angle_rad) {
  r = std::sqrt(a * a + b * b);
  // arccos(b/r), negated for a < 0, through the arc tangent as above.
  angle_rad = r == 0 ? 0 : std::atan2(std::fabs(a), b);
  if (a < 0) angle_rad = -angle_rad;
}

void PlaneRotation(Extended& u, Extended& v, Extended angle_rad) {
  Extended r = 0, phi = 0;
  PlanePolar(v, u, r, phi);
  u = r * std::cos(phi + angle_rad);
  v = r * std::sin(phi + angle_rad);
}

Vector3 Cross(const Vector3& a, const Vector3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

Extended Dot(const Vector3& a, const Vector3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

Extended Norm(const Vector3& a) { return std::sqrt(Dot(a, a)); }

// ---------------------------------------------------------------- misc

Sexagesimal SexagesimalSplit(Extended x) {
  Sexagesimal s;
  const Extended ax = std::fabs(x);
  const Extended whole = std::trunc(ax);
  const Extended minutes = (ax - whole) * 60;
  s.degrees = SaturatedInt32(whole);
  s.minutes = SaturatedInt32(std::trunc(minutes));
  s.seconds = (minutes - std::trunc(minutes)) * 60;
  if (x < 0) {
    if (s.degrees != 0) {
      s.degrees = -s.degrees;
    } else if (s.minutes != 0) {
      s.minutes = -s.minutes;
    } else {
      s.seconds = -s.seconds;
    }
  }
  return s;
}

Extended T_EVAL(const TChebSeries& series, Extended t) {
  if (!(series.A <= t && t <= series.B)) {
    ReportKernelError(" T_EVAL : x nicht in [a,b]: " + Str(t, 10, 5) + " " + Str(series.A, 15, 5) + " " +
                      Str(series.B, 10, 5));
  }
  // The record holds at most 14 coefficients; a larger degree uses them all.
  const int32_t n = std::clamp<int32_t>(series.N, 0, 13);
  const Extended xh = (2 * t - series.A - series.B) / (series.B - series.A);
  Extended f1 = 0, f2 = 0;
  for (int32_t j = n; j >= 1; --j) {
    const Extended next = 2 * xh * f1 - f2 + series.c[j];
    f2 = f1;
    f1 = next;
  }
  return xh * f1 - f2 + series.c[0] / 2;
}

void LineIntercept(Extended a, Extended b, Extended c, Extended& p, Extended& q) {
  p = a / (1 - b / c);
  q = -c / p;
}

// ---------------------------------------------------------------- files

std::string ResolvePathCaseInsensitive(const std::string& path) {
  if (path.empty()) return {};
  if (Exists(path)) return path;
  std::string resolved = path.front() == '/' ? "/" : "";
  for (const std::string& part : SplitPath(path)) {
    std::string next = JoinPath(resolved, part);
    if (part != "." && part != ".." && !Exists(next)) {
      const std::string found = FindEntryNoCase(resolved, part);
      if (found.empty()) return {};
      next = JoinPath(resolved, found);
    }
    resolved = std::move(next);
  }
  return Exists(resolved) ? resolved : std::string();
}

bool OpenTextFile(std::ifstream& file, const std::string& name) {
  if (file.is_open()) file.close();
  file.clear();
  std::string resolved = ResolvePathCaseInsensitive(name);
  if (resolved.empty()) resolved = name;
  std::error_code ec;
  if (fs::is_directory(resolved, ec)) {
    file.setstate(std::ios::failbit);
    return false;
  }
  file.open(resolved, std::ios::in);
  return file.is_open() && file.good();
}

bool RenameToBackup(const std::string& fileName, const std::string& extOrName) {
  const std::string source = ResolvePathCaseInsensitive(fileName);
  if (source.empty()) return false;
  const std::string target = BackupName(fileName, extOrName);
  // rename(2) replaces an existing target in one step: the old backup stays
  // complete until the file takes its place, and the file is never deleted.
  return std::rename(source.c_str(), target.c_str()) == 0;
}

}  // namespace orb
