// SPDX-License-Identifier: AGPL-3.0-or-later
#include "engine/PlanetaryTheory.h"

#include <swephexp.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <mutex>
#include <optional>
#include <string>

#include "core/Constants.h"

namespace orb::theory {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
// A full turn in the double precision of Swiss Ephemeris' results.
constexpr double kTurn_rad = static_cast<double>(kTwoPi);
// Speed of light in AU per day (c = 299792458 m/s, au = 149597870700 m, IAU 2012).
constexpr double kLight_auPerDay = 299792458.0 * kSecondsPerDay / 149597870700.0;
// Constant of aberration, Meeus chapter 23.
constexpr double kAberration_rad = 20.49552 * kArcsecToRad;
// Longest folder text Swiss Ephemeris takes (AS_MAXCH - 1 - 13); longer ones
// it silently replaces by its built-in folder.
constexpr std::size_t kMaxEphePathBytes = AS_MAXCH - 1 - 13;
constexpr const char* kDefaultEphePath = ORBITELLO_DEFAULT_EPHE_PATH;

using Vec3 = std::array<double, 3>;

// The adapter's state: the folder of the files, which source the last
// computation used, the last error text.
struct TheoryState {
  std::string ephePath = kDefaultEphePath;
  uint64_t pathGeneration = 1;  // counts the folders set; each thread applies the current one
  bool sourceKnown = false;
  EphemerisSource lastSource = EphemerisSource::JplFiles;
  std::string lastError;
  std::string fallbackReason;  // a damaged file's error, when the analytical ephemeris stood in
  bool rangeKnown = false;
  bool rangeValid = false;
  double rangeFirst_jd = 0, rangeLast_jd = 0;
};

TheoryState& State() {
  static TheoryState state;
  return state;
}

// The adapter's state is global; one lock serialises every call of the
// adapter, so that the window's thread may ask (the About box) while a
// computation runs on another. Recursive: the entry points call each other.
std::recursive_mutex& TheoryMutex() {
  static std::recursive_mutex mutex;
  return mutex;
}

// Swiss Ephemeris keeps its folder, open files and caches per thread
// (thread-local storage): each thread applies the folder itself, once per
// change of the folder.
thread_local uint64_t t_appliedPathGeneration = 0;

void EnsurePathApplied() {
  TheoryState& state = State();
  if (t_appliedPathGeneration != state.pathGeneration) {
    swe_set_ephe_path(state.ephePath.c_str());
    t_appliedPathGeneration = state.pathGeneration;
  }
}

// A body code taken apart: the Swiss Ephemeris planet number and what kind of
// body it is.
struct BodyId {
  int swissIpl;
  bool isSun;
  bool isMoon;
};

std::optional<BodyId> DecodeBody(int32_t code) {
  if (code < 1000 || code >= 1040) return std::nullopt;  // variants 0 and 1 only
  switch ((code - 1000) % 20) {
    case kBodySun:
      return BodyId{SE_SUN, true, false};
    case kBodyMercury:
      return BodyId{SE_MERCURY, false, false};
    case kBodyVenus:
      return BodyId{SE_VENUS, false, false};
    case kBodyMars:
      return BodyId{SE_MARS, false, false};
    case kBodyJupiter:
      return BodyId{SE_JUPITER, false, false};
    case kBodySaturn:
      return BodyId{SE_SATURN, false, false};
    case kBodyUranus:
      return BodyId{SE_URANUS, false, false};
    case kBodyNeptune:
      return BodyId{SE_NEPTUNE, false, false};
    case kBodyPluto:
      return BodyId{SE_PLUTO, false, false};
    case kBodyMoon:
      return BodyId{SE_MOON, false, true};
    default:
      return std::nullopt;
  }
}

using Switches = Corrections;

// One computation: collects which ephemeris Swiss Ephemeris used and the
// first error.
struct CalcContext {
  bool usedAnalytical = false;
  std::string error;

  bool Fail(const std::string& text) {
    if (error.empty()) error = text;
    return false;
  }
};

// Records the outcome of one Swiss Ephemeris call (return flag `ret`).
bool CheckSwiss(CalcContext& ctx, int32 ret, const char* serr) {
  if (ret == ERR) return ctx.Fail(std::string("Swiss Ephemeris: ") + serr);
  if (ret & SEFLG_MOSEPH) ctx.usedAnalytical = true;
  return true;
}

// A Swiss Ephemeris call `call(ephemerisFlag, serr)` with the files; when a
// file is damaged (Swiss Ephemeris refuses the date although the file
// exists), once more with the analytical ephemeris, as Swiss Ephemeris
// itself does for a missing file. A date outside both stays an error with
// the files' reason.
template <typename Call>
bool SwissWithFallback(CalcContext& ctx, Call call) {
  char serr[AS_MAXCH] = "";
  const int32 ret = call(SEFLG_SWIEPH, serr);
  if (ret != ERR) return CheckSwiss(ctx, ret, serr);
  const std::string fileError = serr;
  if (fileError.find("damaged") == std::string::npos) return CheckSwiss(ctx, ret, serr);
  char serr2[AS_MAXCH] = "";
  const int32 ret2 = call(SEFLG_MOSEPH, serr2);
  if (ret2 == ERR) return CheckSwiss(ctx, ret, serr);
  State().fallbackReason = fileError;
  ctx.usedAnalytical = true;
  return true;
}

// Rectangular vector (AU) from swe_calc with SEFLG_XYZ and `flags`.
bool SwissVector(CalcContext& ctx, double jd_tt, int ipl, int32 flags, Vec3& out) {
  double xx[6] = {};
  const bool ok = SwissWithFallback(ctx, [&](int32 ephemeris, char* serr) {
    return swe_calc(jd_tt, ipl, ephemeris | SEFLG_XYZ | flags, xx, serr);
  });
  if (!ok) return false;
  out = {xx[0], xx[1], xx[2]};
  return true;
}

// A geocentric place as rectangular vectors (AU) in the ecliptic and in the
// equator of date (true or mean, as the nutation switch says).
struct Place {
  Vec3 ecl;
  Vec3 equ;
};

// Both frames of one Swiss Ephemeris place. The second call is served from
// Swiss Ephemeris' cache of the last place of the body (same date and flags).
bool SwissPlace(CalcContext& ctx, double jd_tt, int ipl, int32 flags, Place& out) {
  return SwissVector(ctx, jd_tt, ipl, flags, out.ecl) &&
         SwissVector(ctx, jd_tt, ipl, flags | SEFLG_EQUATORIAL, out.equ);
}

double Dot(const Vec3& a, const Vec3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
double Norm(const Vec3& a) { return std::sqrt(Dot(a, a)); }
Vec3 Scale(const Vec3& a, double f) { return {a[0] * f, a[1] * f, a[2] * f}; }

Vec3 Cross(const Vec3& a, const Vec3& b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

Vec3 Unit(const Vec3& a) { return Scale(a, 1.0 / Norm(a)); }

// Angle between two directions, radians, accurate near 0 and pi as well.
double AngleBetween(const Vec3& a, const Vec3& b) { return std::atan2(Norm(Cross(a, b)), Dot(a, b)); }

// An angle reduced into [0, 2pi).
double Wrap2Pi(double a_rad) {
  double w = std::fmod(a_rad, kTurn_rad);
  if (w < 0.0) w += kTurn_rad;
  if (w >= kTurn_rad) w = 0.0;
  return w;
}

struct Polar {
  double lon_rad;  // [0, 2pi)
  double lat_rad;
  double dist_au;
};

Polar ToPolar(const Vec3& v) {
  return {Wrap2Pi(std::atan2(v[1], v[0])), std::atan2(v[2], std::hypot(v[0], v[1])), Norm(v)};
}

int32 NutationFlag(const Switches& sw) { return sw.nutation ? 0 : SEFLG_NONUT; }

// True (geometric) place at jd_tt: no light time, aberration or deflection.
bool GeometricPlace(CalcContext& ctx, double jd_tt, const BodyId& body, int32 nutFlag, Place& out) {
  return SwissPlace(ctx, jd_tt, body.swissIpl, nutFlag | SEFLG_TRUEPOS, out);
}

// The Moon's geocentric distance (AU) at t - tau, tau = distance / c. The
// barycentric difference of the astrometric place is longer by the Earth's
// orbital motion during tau (up to about 37 km), which is no distance of the
// Moon from the Earth. A length does not depend on the frame (`frameFlags`):
// the mean equator of J2000 spares Swiss Ephemeris the precession and the
// nutation of the retarded date, another frame serves a caller who wants
// the retarded place in it next (Swiss Ephemeris keeps the last place).
bool MoonDistance(CalcContext& ctx, double jd_tt, const BodyId& body, int32 frameFlags, double& dist_au) {
  const int32 flags = frameFlags | SEFLG_TRUEPOS;
  Vec3 now{};
  if (!SwissVector(ctx, jd_tt, body.swissIpl, flags, now)) return false;
  Vec3 retarded{};
  if (!SwissVector(ctx, jd_tt - Norm(now) / kLight_auPerDay, body.swissIpl, flags, retarded)) return false;
  dist_au = Norm(retarded);
  return true;
}

// Gives both vectors of a Moon place the geocentric light-time distance.
bool UseMoonDistance(CalcContext& ctx, double jd_tt, const BodyId& body, Place& place) {
  double dist_au = 0;
  if (!MoonDistance(ctx, jd_tt, body, SEFLG_J2000 | SEFLG_NONUT, dist_au)) return false;
  place.ecl = Scale(Unit(place.ecl), dist_au);
  place.equ = Scale(Unit(place.equ), dist_au);
  return true;
}

// Place with light time, without aberration and deflection: Swiss
// Ephemeris' astrometric place (barycentric body at t - tau minus the Earth
// at t) for every body, the Moon included. The annual aberration then moves
// the Sun and the Moon alike, so their relative geometry without aberration
// (eclipses, lunar phases) is the apparent one. The Moon's distance is its
// geocentric distance at t - tau (see MoonDistance).
bool LightTimePlace(CalcContext& ctx, double jd_tt, const BodyId& body, int32 nutFlag, Place& out) {
  if (!SwissPlace(ctx, jd_tt, body.swissIpl, nutFlag | SEFLG_NOABERR | SEFLG_NOGDEFL, out)) return false;
  return !body.isMoon || UseMoonDistance(ctx, jd_tt, body, out);
}

// Apparent place: light time, aberration and deflection.
bool FullApparentPlace(CalcContext& ctx, double jd_tt, const BodyId& body, int32 nutFlag, Place& out) {
  return SwissPlace(ctx, jd_tt, body.swissIpl, nutFlag, out);
}

// The direction of `geometric` moved by the displacement from `lightTime` to
// `apparent` (aberration and deflection), renormalised; length of `geometric`.
Vec3 AddDisplacement(const Vec3& geometric, const Vec3& apparent, const Vec3& lightTime) {
  const Vec3 g = Unit(geometric);
  const Vec3 a = Unit(apparent);
  const Vec3 l = Unit(lightTime);
  const Vec3 moved{g[0] + a[0] - l[0], g[1] + a[1] - l[1], g[2] + a[2] - l[2]};
  return Scale(Unit(moved), Norm(geometric));
}

// The place of a body with the three switches. Swiss Ephemeris' own "true
// position" drops aberration and deflection as well, so the combination
// without light time but with aberration adds the aberration displacement at
// the light-time place to the geometric place.
bool BodyPlace(CalcContext& ctx, double jd_tt, const BodyId& body, const Switches& sw, Place& out) {
  const int32 nut = NutationFlag(sw);
  if (sw.lightTime && sw.aberration) {
    if (!FullApparentPlace(ctx, jd_tt, body, nut, out)) return false;
    return !body.isMoon || UseMoonDistance(ctx, jd_tt, body, out);
  }
  if (sw.lightTime) return LightTimePlace(ctx, jd_tt, body, nut, out);
  if (!sw.aberration) return GeometricPlace(ctx, jd_tt, body, nut, out);
  Place geo{};
  Place app{};
  Place lt{};
  if (!GeometricPlace(ctx, jd_tt, body, nut, geo) || !FullApparentPlace(ctx, jd_tt, body, nut, app) ||
      !LightTimePlace(ctx, jd_tt, body, nut, lt)) {
    return false;
  }
  out.ecl = AddDisplacement(geo.ecl, app.ecl, lt.ecl);
  out.equ = AddDisplacement(geo.equ, app.equ, lt.equ);
  return true;
}

// Heliocentric distance (AU) of a body at jd_tt, geometric.
bool HeliocentricDistance(CalcContext& ctx, double jd_tt, const BodyId& body, double& r_au) {
  Vec3 helio{};
  if (!SwissVector(ctx, jd_tt, body.swissIpl, SEFLG_HELCTR | SEFLG_TRUEPOS, helio)) return false;
  r_au = Norm(helio);
  return true;
}

// Swiss Ephemeris' planetary phenomena: attr[1] illuminated fraction,
// attr[3] apparent diameter (degrees), attr[4] visual magnitude. For the
// Moon the geometric place, whose distance is within 0.2 km of the light-time
// distance used here (the barycentric light-time distance is 34 km longer).
bool Phenomena(CalcContext& ctx, double jd_tt, const BodyId& body, const Switches& sw,
               std::array<double, 20>& attr) {
  int32 flags = NutationFlag(sw);
  if (body.isMoon || !sw.lightTime) flags |= SEFLG_TRUEPOS;
  if (!sw.aberration) flags |= SEFLG_NOABERR | SEFLG_NOGDEFL;
  attr.fill(0.0);
  return SwissWithFallback(ctx, [&](int32 ephemeris, char* serr) {
    return swe_pheno(jd_tt, body.swissIpl, ephemeris | flags, attr.data(), serr);
  });
}

// Signed elongation (radians) of a body from the Sun, from the ecliptic
// vectors of both: the angle between them, positive when the body lies east
// of the Sun.
double SignedElongation(const Vec3& body_ecl, const Vec3& sun_ecl) {
  const double angle_rad = AngleBetween(body_ecl, sun_ecl);
  const double eastward = sun_ecl[0] * body_ecl[1] - sun_ecl[1] * body_ecl[0];  // ~ sin(lon - lonSun)
  return eastward < 0.0 ? -angle_rad : angle_rad;
}

// Everything _calcplanet gives, before it goes out through the pointers.
struct PlanetResult {
  Polar equ;
  Polar ecl;
  double helio_au;
  double elong_rad;
  std::array<double, 20> pheno;
};

constexpr BodyId kSunId{SE_SUN, true, false};
constexpr BodyId kMoonId{SE_MOON, false, true};

bool ComputePlanet(CalcContext& ctx, double jd_tt, const BodyId& body, const Switches& sw, const Extras& wanted,
                   PlanetResult& out) {
  // The phenomena first: their geocentric place fills Swiss Ephemeris' cache
  // for the apparent place asked next (about a tenth faster).
  Place place{};
  if (wanted.phenomena && !Phenomena(ctx, jd_tt, body, sw, out.pheno)) return false;
  if (!BodyPlace(ctx, jd_tt, body, sw, place)) return false;
  out.equ = ToPolar(place.equ);
  out.ecl = ToPolar(place.ecl);
  if (body.isSun) {
    out.helio_au = 0.0;
    out.elong_rad = 0.0;
    return true;
  }
  if (wanted.elongation) {
    Place sun{};
    if (!BodyPlace(ctx, jd_tt, kSunId, sw, sun)) return false;
    out.elong_rad = SignedElongation(place.ecl, sun.ecl);
  }
  if (!wanted.heliocentric) return true;
  const double tau_days = sw.lightTime ? out.equ.dist_au / kLight_auPerDay : 0.0;
  return HeliocentricDistance(ctx, jd_tt - tau_days, body, out.helio_au);
}

bool ValidSwitch(int32_t s) { return s == 0 || s == 1; }

// Checks the common arguments; on failure ctx holds the reason.
std::optional<BodyId> CheckArguments(CalcContext& ctx, double jd_tt, int32_t code, int32_t lightTime,
                                     int32_t aberration, int32_t nutation) {
  const std::optional<BodyId> body = DecodeBody(code);
  if (!body) {
    ctx.Fail("Unbekannter Körpercode " + std::to_string(code));
    return std::nullopt;
  }
  if (!ValidSwitch(lightTime) || !ValidSwitch(aberration) || !ValidSwitch(nutation)) {
    ctx.Fail("Schalter für Lichtlaufzeit, Aberration und Nutation müssen 0 oder 1 sein");
    return std::nullopt;
  }
  if (!std::isfinite(jd_tt)) {
    ctx.Fail("Julianisches Datum ist keine endliche Zahl");
    return std::nullopt;
  }
  return body;
}

// Ends a computation: records the source used, or the error.
bool Finish(const CalcContext& ctx) {
  TheoryState& state = State();
  if (!ctx.error.empty()) {
    state.lastError = ctx.error;
    return false;
  }
  state.lastError.clear();
  state.lastSource = ctx.usedAnalytical ? EphemerisSource::Analytical : EphemerisSource::JplFiles;
  state.sourceKnown = true;
  return true;
}

void Put(double* out, double value) {
  if (out != nullptr) *out = value;
}

// Finds out which source the files in the current folder give, by computing
// the Sun at J2000; keeps the last error text as it was.
void ProbeSource() {
  TheoryState& state = State();
  if (state.sourceKnown) return;
  const std::string keptError = state.lastError;
  (void)_planetinfo(kJ2000, kCodeSun, kQtyDistance, 1, 1, 1);
  state.lastError = keptError;
}

}  // namespace

int32_t TableBodyCode(int32_t objectKind) {
  if (objectKind == -1) return kCodeSun;
  if (objectKind == 0) return kCodeMoon;
  if (objectKind == 1 || objectKind == 2) return 1000 + objectKind;
  if (objectKind >= 3 && objectKind <= 8) return 1001 + objectKind;
  return -1;
}

BodyPosition Position(double jd_tt, int32_t body, const Corrections& corrections, const Extras& extras) {
  const std::lock_guard<std::recursive_mutex> lock(TheoryMutex());
  EnsurePathApplied();
  CalcContext ctx;
  BodyPosition p;
  const std::optional<BodyId> id = DecodeBody(body);
  if (!id) ctx.Fail("Unbekannter Körpercode " + std::to_string(body));
  if (ctx.error.empty() && !std::isfinite(jd_tt)) ctx.Fail("Julianisches Datum ist keine endliche Zahl");
  PlanetResult res{};
  if (ctx.error.empty()) ComputePlanet(ctx, jd_tt, *id, corrections, extras, res);
  if (!Finish(ctx)) return p;
  p.ra_rad = res.equ.lon_rad;
  p.dec_rad = res.equ.lat_rad;
  p.lon_rad = res.ecl.lon_rad;
  p.lat_rad = res.ecl.lat_rad;
  p.delta_au = res.equ.dist_au;
  if (extras.heliocentric) p.r_au = res.helio_au;
  if (extras.elongation) p.elong_rad = res.elong_rad;
  if (extras.phenomena) {
    p.illuminated = id->isSun ? 1.0 : res.pheno[1];
    p.mag = res.pheno[4];
    p.diam_arcsec = res.pheno[3] * 3600.0;
  }
  p.ok = true;
  return p;
}

double _planetinfo(double jd_tt, int32_t body, int32_t quantity, int32_t lightTime, int32_t aberration,
                   int32_t nutation) {
  const std::lock_guard<std::recursive_mutex> lock(TheoryMutex());
  CalcContext ctx;
  const std::optional<BodyId> id = CheckArguments(ctx, jd_tt, body, lightTime, aberration, nutation);
  const bool knownQuantity = quantity == kQtyRightAscension || quantity == kQtyDeclination ||
                             quantity == kQtyDistance || quantity == kQtyLongitude ||
                             quantity == kQtyLatitude;
  if (id && !knownQuantity) ctx.Fail("Unbekannte Größe " + std::to_string(quantity) + " für _planetinfo");
  // One quantity: only its frame is turned into polar coordinates.
  EnsurePathApplied();
  Place place{};
  if (ctx.error.empty()) BodyPlace(ctx, jd_tt, *id, Corrections{lightTime == 1, aberration == 1, nutation == 1}, place);
  if (!Finish(ctx)) return kNaN;
  switch (quantity) {
    case kQtyRightAscension:
      return ToPolar(place.equ).lon_rad;
    case kQtyDeclination:
      return ToPolar(place.equ).lat_rad;
    case kQtyDistance:
      return Norm(place.equ);
    case kQtyLongitude:
      return ToPolar(place.ecl).lon_rad;
    default:
      return ToPolar(place.ecl).lat_rad;
  }
}

int32_t _calcplanet(double jd_tt, int32_t body, double* ra, double* dec, double* delta, double* r,
                    double* elong, double* x, double* mag, double* diam, double* lon, double* lat,
                    int32_t lightTime, int32_t aberration, int32_t nutation, int32_t one) {
  const std::lock_guard<std::recursive_mutex> lock(TheoryMutex());
  CalcContext ctx;
  const std::optional<BodyId> id = CheckArguments(ctx, jd_tt, body, lightTime, aberration, nutation);
  if (id && one != 1) ctx.Fail("Letztes Argument von _calcplanet muss 1 sein");
  BodyPosition p;
  if (ctx.error.empty()) {
    // Only what one of the outputs needs: the phenomena are the dearest part.
    const Extras extras{x != nullptr || mag != nullptr || diam != nullptr, elong != nullptr, r != nullptr};
    p = Position(jd_tt, body, Corrections{lightTime == 1, aberration == 1, nutation == 1}, extras);
  } else {
    State().lastError = ctx.error;
  }
  if (!p.ok) {
    for (double* out : {ra, dec, delta, r, elong, x, mag, diam, lon, lat}) Put(out, kNaN);
    return -1;
  }
  Put(ra, p.ra_rad);
  Put(dec, p.dec_rad);
  Put(delta, p.delta_au);
  Put(r, p.r_au);
  Put(elong, p.elong_rad);
  Put(x, p.illuminated);
  Put(mag, p.mag);
  Put(diam, p.diam_arcsec);
  Put(lon, p.lon_rad);
  Put(lat, p.lat_rad);
  return 0;
}

void _aberrat_aux(double jd_tt, double* lon, double* lat, double sunLon, int32_t flag) {
  const std::lock_guard<std::recursive_mutex> lock(TheoryMutex());
  if (lon == nullptr || lat == nullptr) {
    State().lastError = "_aberrat_aux ohne Koordinaten aufgerufen";
    return;
  }
  if (flag != 0 || !std::isfinite(jd_tt) || !std::isfinite(*lon) || !std::isfinite(*lat) ||
      !std::isfinite(sunLon)) {
    State().lastError = flag != 0 ? "Unbekannter Schalter " + std::to_string(flag) + " für _aberrat_aux"
                                  : "_aberrat_aux mit ungültiger Zahl aufgerufen";
    *lon = kNaN;
    *lat = kNaN;
    return;
  }
  // Meeus 23.2: e and the longitude of perihelion pi of the Earth's orbit.
  const double t = (jd_tt - kJ2000) / kDaysPerCentury;
  const double e = 0.016708634 - t * (0.000042037 + t * 0.0000001267);
  const double perihelion_rad = (102.93735 + t * (1.71946 + t * 0.00046)) * kDegToRad;
  const double l = *lon;
  const double b = *lat;
  const double cosLat = std::cos(b);
  const double dLat_rad =
      -kAberration_rad * std::sin(b) * (std::sin(sunLon - l) - e * std::sin(perihelion_rad - l));
  if (std::fabs(cosLat) >= 1e-12) {
    const double dLon_rad =
        (-kAberration_rad * std::cos(sunLon - l) + e * kAberration_rad * std::cos(perihelion_rad - l)) /
        cosLat;
    *lon = Wrap2Pi(l + dLon_rad);
  } else {
    *lon = Wrap2Pi(l);
  }
  *lat = b + dLat_rad;
  State().lastError.clear();
}

void _cmoon200(double jd_tt, double* x, double* y, double* z, double* lon, double* dist, double* lat) {
  const std::lock_guard<std::recursive_mutex> lock(TheoryMutex());
  EnsurePathApplied();
  CalcContext ctx;
  Place place{};
  double dist_au = 0;
  if (!std::isfinite(jd_tt)) {
    ctx.Fail("Julianisches Datum ist keine endliche Zahl");
  } else if (MoonDistance(ctx, jd_tt, kMoonId, SEFLG_NONUT, dist_au)) {
    // As a lunar theory gives it: the geocentric geometric place at t - tau,
    // mean equinox of date.
    GeometricPlace(ctx, jd_tt - dist_au / kLight_auPerDay, kMoonId, SEFLG_NONUT, place);
  }
  if (!Finish(ctx)) {
    for (double* out : {x, y, z, lon, dist, lat}) Put(out, kNaN);
    return;
  }
  const Polar polar = ToPolar(place.ecl);
  Put(x, place.ecl[0]);
  Put(y, place.ecl[1]);
  Put(z, place.ecl[2]);
  Put(lon, polar.lon_rad);
  Put(dist, polar.dist_au);
  Put(lat, polar.lat_rad);
}

bool SetEphemerisPath(const std::string& path) {
  const std::lock_guard<std::recursive_mutex> lock(TheoryMutex());
  TheoryState& state = State();
  if (path.size() > kMaxEphePathBytes) {
    state.lastError =
        "Pfad der Ephemeridendateien ist länger als " + std::to_string(kMaxEphePathBytes) + " Bytes";
    return false;
  }
  state.ephePath = path.empty() ? std::string(kDefaultEphePath) : path;
  ++state.pathGeneration;
  EnsurePathApplied();
  state.sourceKnown = false;
  state.rangeKnown = false;
  state.fallbackReason.clear();
  state.lastError.clear();
  return true;
}

const std::string& EphemerisPath() { return State().ephePath; }

void ReleaseThreadState() {
  const std::lock_guard<std::recursive_mutex> lock(TheoryMutex());
  if (t_appliedPathGeneration == 0) return;  // this thread never computed
  swe_close();
  t_appliedPathGeneration = 0;
}

EphemerisSource LastEphemerisSource() {
  const std::lock_guard<std::recursive_mutex> lock(TheoryMutex());
  EnsurePathApplied();
  ProbeSource();
  return State().lastSource;
}

std::string EphemerisDescription() {
  const std::lock_guard<std::recursive_mutex> lock(TheoryMutex());
  EnsurePathApplied();
  ProbeSource();
  const TheoryState& state = State();
  if (state.lastSource == EphemerisSource::Analytical) {
    std::string text = "Swiss Ephemeris, analytische Ephemeride (Moshier)";
    if (!state.fallbackReason.empty()) text += ", da eine Ephemeridendatei beschädigt ist: " + state.fallbackReason;
    return text;
  }
  double start_jd = 0.0;
  double end_jd = 0.0;
  int denum = 0;
  const char* file = swe_get_current_file_data(0, &start_jd, &end_jd, &denum);
  if (file == nullptr) file = swe_get_current_file_data(1, &start_jd, &end_jd, &denum);
  std::string folder = state.ephePath;
  if (file != nullptr) folder = std::filesystem::path(file).lexically_normal().parent_path().string();
  const std::string de = denum > 0 ? " (DE" + std::to_string(denum) + ")" : "";
  return "Swiss Ephemeris, JPL-Dateien" + de + " in " + folder;
}

namespace {

// Whether the Sun and the Moon can be computed at `jd_tt`.
bool Covered(double jd_tt) {
  return std::isfinite(_planetinfo(jd_tt, kCodeSun, kQtyDistance, 1, 0, 1)) &&
         std::isfinite(_planetinfo(jd_tt, kCodeMoon, kQtyDistance, 1, 0, 1));
}

// The last covered day from J2000 in `direction` (+1 or -1): steps that
// double from 1000 days until a date is not covered (or 1e8 days are
// reached), then bisection to a day.
double CoverageEnd(int direction) {
  constexpr double kLimit_days = 1e8;
  double inside = 0, outside = 1000;
  while (outside < kLimit_days && Covered(kJ2000 + direction * outside)) {
    inside = outside;
    outside *= 2;
  }
  if (outside >= kLimit_days) return kJ2000 + direction * inside;
  while (outside - inside > 1) {
    const double middle = std::floor((inside + outside) / 2);
    if (Covered(kJ2000 + direction * middle)) {
      inside = middle;
    } else {
      outside = middle;
    }
  }
  return kJ2000 + direction * inside;
}

}  // namespace

bool EphemerisRange(double& first_jd, double& last_jd) {
  const std::lock_guard<std::recursive_mutex> lock(TheoryMutex());
  EnsurePathApplied();
  TheoryState& state = State();
  if (!state.rangeKnown) {
    const std::string keptError = state.lastError;
    state.rangeValid = Covered(kJ2000);
    if (state.rangeValid) {
      state.rangeFirst_jd = CoverageEnd(-1);
      state.rangeLast_jd = CoverageEnd(+1);
    }
    state.rangeKnown = true;
    state.lastError = keptError;
  }
  first_jd = state.rangeFirst_jd;
  last_jd = state.rangeLast_jd;
  return state.rangeValid;
}

const std::string& FallbackReason() { return State().fallbackReason; }

const std::string& LastError() { return State().lastError; }

}  // namespace orb::theory
