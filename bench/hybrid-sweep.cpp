// SPDX-License-Identifier: AGPL-3.0-or-later
// The types of all solar eclipses that the ephemeris files cover, against
// Swiss Ephemeris' global eclipse search (swe_sol_eclipse_when_glob): the
// phase list's type (FindSolarEclipse) and the path's global type
// (SetUpSolarEclipse with a 10-minute step, GlobalEclipseType), each beside
// the type that greatest eclipse alone gives (SolarPhaseOfAxis) and that the
// half-minute samples alone give (without the ends of the central phase),
// so that the hybrids found at the ends of the path show up as changes.
// Swiss Ephemeris computes with our deltaT, so both sides compare geometry.
//
//   hybrid-sweep                      the whole range of the files
//   hybrid-sweep FROM_JD TO_JD        eclipses with greatest eclipse in
//                                     [FROM_JD, TO_JD) (UT), for chunks
//   hybrid-sweep ... --list           also every eclipse whose type changed
//
// Not a benchmark: it runs for some minutes and prints counts and lists.
#include <swephexp.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <utility>

#include "core/NumKernel.h"
#include "core/TimeScales.h"
#include "eclipses/EclipseCommand.h"
#include "eclipses/SolarEclipse.h"
#include "engine/PlanetaryTheory.h"

namespace {

using orb::Extended;

// Whether the theory has the Sun and the Moon at `jd` (dynamical time) from
// the ephemeris files rather than from the analytical fallback.
bool FilesCover(double jd) {
  for (const int32_t body : {orb::theory::kCodeSunSearch, orb::theory::kCodeMoon}) {
    if (!std::isfinite(orb::theory::_planetinfo(jd, body, orb::theory::kQtyLongitude, 1, 0, 0))) return false;
    if (orb::theory::LastEphemerisSource() != orb::theory::EphemerisSource::JplFiles) return false;
  }
  return true;
}

// The edge of the files' range between a covered and an uncovered date, to
// a hundredth of a day.
double RangeEdge(double covered, double outside) {
  while (std::fabs(outside - covered) > 0.01) {
    const double middle = (covered + outside) / 2;
    (FilesCover(middle) ? covered : outside) = middle;
  }
  return covered;
}

std::string DateText(double jd) {
  const orb::CalendarDate d = orb::JDToCalendar(jd);
  char text[48];
  std::snprintf(text, sizeof text, "%5d-%02d-%02d", d.year, d.month, static_cast<int>(d.day));
  return text;
}

// Swiss Ephemeris' type bits as our phase code.
int32_t CodeOfSwissType(int32 flags) {
  if (flags & SE_ECL_HYBRID) return orb::kHybridEclipse;
  if (flags & SE_ECL_TOTAL) return (flags & SE_ECL_CENTRAL) ? orb::kTotalEclipse : orb::kNonCentralTotal;
  if (flags & SE_ECL_ANNULAR) return (flags & SE_ECL_CENTRAL) ? orb::kAnnularEclipse : orb::kNonCentralAnnular;
  if (flags & SE_ECL_PARTIAL) return orb::kPartialEclipse;
  return orb::kNoEclipse;
}

bool IsCentral(int32_t code) { return code == orb::kAnnularEclipse || code == orb::kTotalEclipse; }

// The global type from the half-minute samples alone: the largest code, 6
// when a central code follows the other one.
int32_t SampledType(const orb::SolarEclipseContext& c) {
  const Extended halfMinute_cy = 0.5L / (1440.0L * 36525);
  const Extended deltaT_cy = c.deltaT_s / 3.15576e9L;
  int32_t largest = orb::kNoEclipse, lastCentral = orb::kNoEclipse;
  bool hybrid = false;
  for (int64_t i = 0;; ++i) {
    const Extended t = c.tableStart + i * halfMinute_cy;
    if (!(t + deltaT_cy <= c.intervalEnd)) break;
    const int32_t code = orb::CentralLinePoint(c, t).code;
    largest = std::max(largest, code);
    if (!IsCentral(code)) continue;
    if (lastCentral != orb::kNoEclipse && code != lastCentral) hybrid = true;
    lastCentral = code;
  }
  return hybrid ? orb::kHybridEclipse : largest;
}

// l2 where the shadow axis enters (-1) or leaves (+1) the Earth, bisected
// on the axis distance from greatest eclipse `jd` (UT); NaN when the axis
// misses the Earth there.
double L2AtLimb(double jd, double deltaT_days, int direction) {
  const auto distance = [&](double t, double& l2) {
    const orb::BesselianPoint p = orb::BesselianElements(t, deltaT_days);
    l2 = static_cast<double>(p.l2);
    return static_cast<double>(std::sqrt(p.x * p.x + p.y * p.y));
  };
  double l2 = 0, inside = jd, outside = jd;
  if (!(distance(jd, l2) < 1)) return NAN;
  do {
    inside = outside;
    outside += direction * 10.0 / 1440;
  } while (distance(outside, l2) < 1 && std::fabs(outside - jd) < 0.3);
  while (std::fabs(outside - inside) > 1e-6) {
    const double middle = (inside + outside) / 2;
    (distance(middle, l2) < 1 ? inside : outside) = middle;
  }
  distance(inside, l2);
  return l2;
}

struct Counts {
  int eclipses = 0, unmatchedA = 0, unmatchedB = 0;
  int swissHybrids = 0, hybridsA = 0, hybridsB = 0, hybridsBothAgree = 0;
  int missedA = 0, missedB = 0, extraA = 0, extraB = 0, aAgainstB = 0;
  std::map<std::pair<int, int>, int> changesA, changesB;  // (before, after) -> count
  std::map<std::pair<int, int>, int> swissA, swissB;      // (Swiss, ours) -> count
};

void PrintMatrix(const char* title, const std::map<std::pair<int, int>, int>& m) {
  std::printf("%s\n", title);
  for (const auto& [key, n] : m) std::printf("  %d -> %d: %d\n", key.first, key.second, n);
}

}  // namespace

int main(int argc, char** argv) {
  bool list = false;
  double from = NAN, to = NAN;
  int numbers = 0;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--list") == 0) {
      list = true;
    } else if (numbers < 2) {
      (numbers++ == 0 ? from : to) = std::atof(argv[i]);
    }
  }

  // The files' range; our searches look up to some 40 days beyond an eclipse
  // and deltaT reaches 1.7 days at the ends, so the sweep keeps 60 days away.
  const double first = RangeEdge(2451545.0, -2e6), last = RangeEdge(2451545.0, 5e6);
  std::printf("ephemeris files cover JD %.2f (%s) to JD %.2f (%s), dynamical time\n", first,
              DateText(first).c_str(), last, DateText(last).c_str());
  if (!std::isfinite(from)) from = first + 60;
  if (!std::isfinite(to)) to = last - 60;
  std::printf("sweep: greatest eclipse from JD %.2f (%s) to JD %.2f (%s), UT\n", from, DateText(from).c_str(), to,
              DateText(to).c_str());

  const auto start = std::chrono::steady_clock::now();
  Counts n;
  char serr[AS_MAXCH] = "";
  for (double t = from;;) {
    const double deltaT_days = orb::DeltaT(t, false).days;
    swe_set_delta_t_userdef(deltaT_days);
    double tret[10] = {};
    const int32 flags = swe_sol_eclipse_when_glob(t, SEFLG_SWIEPH, 0, tret, 0, serr);
    if (flags <= 0) {
      std::printf("Swiss Ephemeris stops at JD %.2f: %s\n", t, serr);
      break;
    }
    if (tret[0] >= to) break;
    t = tret[0] + 20;
    ++n.eclipses;
    const int32_t swiss = CodeOfSwissType(flags);
    if (swiss == orb::kHybridEclipse) ++n.swissHybrids;

    // (a) the phase list from 5 days before: the nearest new moon is the
    // eclipse's.
    orb::BesselRec rec;
    const int32_t a = orb::FindSolarEclipse(+1, false, rec, tret[0] - 5);
    const bool matchedA = a != orb::kNoEclipse && std::fabs(static_cast<double>(rec.JD - rec.deltaT) - tret[0]) < 1;
    const int32_t aBefore =
        matchedA ? orb::SolarPhaseOfAxis(std::sqrt(rec.x * rec.x + rec.y * rec.y), rec.l1, rec.l2, rec.f2) : 0;
    // (b) the path from 2 days before.
    orb::SolarEclipseContext c;
    const bool setUp = orb::SetUpSolarEclipse(c, tret[0] - 2, +1, 10.0L / 1440, false);
    const bool matchedB = setUp && std::fabs(static_cast<double>(orb::JDFromCenturies(c.conjunction)) - tret[0]) < 0.5;
    const int32_t b = matchedB ? orb::GlobalEclipseType(c) : 0;
    const int32_t bBefore = matchedB ? SampledType(c) : 0;

    if (!matchedA) {
      ++n.unmatchedA;
      std::printf("  %s not found by FindSolarEclipse (code %d at JD %.2f)\n", DateText(tret[0]).c_str(), a,
                  static_cast<double>(rec.JD));
    }
    if (!matchedB) {
      ++n.unmatchedB;
      std::printf("  %s not found by SetUpSolarEclipse\n", DateText(tret[0]).c_str());
    }
    ++n.swissA[{swiss, a}];
    ++n.swissB[{swiss, b}];
    if (a != b) ++n.aAgainstB;
    if (a == orb::kHybridEclipse) ++n.hybridsA;
    if (b == orb::kHybridEclipse) ++n.hybridsB;
    if (a == orb::kHybridEclipse && b == orb::kHybridEclipse && swiss == orb::kHybridEclipse) ++n.hybridsBothAgree;
    if (aBefore != a) ++n.changesA[{aBefore, a}];
    if (bBefore != b) ++n.changesB[{bBefore, b}];

    const bool missA = swiss == orb::kHybridEclipse && a != orb::kHybridEclipse;
    const bool missB = swiss == orb::kHybridEclipse && b != orb::kHybridEclipse;
    const bool extraA = swiss != orb::kHybridEclipse && a == orb::kHybridEclipse;
    const bool extraB = swiss != orb::kHybridEclipse && b == orb::kHybridEclipse;
    n.missedA += missA;
    n.missedB += missB;
    n.extraA += extraA;
    n.extraB += extraB;
    const bool otherChange = (aBefore != a && !(IsCentral(aBefore) && a == orb::kHybridEclipse)) ||
                             (bBefore != b && !(IsCentral(bBefore) && b == orb::kHybridEclipse));
    const bool changed = aBefore != a || bBefore != b;
    if (missA || missB || extraA || extraB || otherChange || (list && changed) || a != b) {
      const Extended D = std::sqrt(rec.x * rec.x + rec.y * rec.y);
      const double vertex = D < 1 ? static_cast<double>(rec.l2 - std::sqrt(1 - D * D) * orb::TanD(rec.f2)) : NAN;
      const double dT = rec.deltaT, jd = static_cast<double>(rec.JD) - dT;
      std::printf(
          "  %s Swiss %d  (a) %d (before %d)  (b) %d (before %d)  gamma %+.5f  l2 %+.6f  umbra below the axis "
          "%+.6f  l2 at the ends %+.6f %+.6f%s%s%s%s%s\n",
          DateText(tret[0]).c_str(), swiss, a, aBefore, b, bBefore, rec.gamma, static_cast<double>(rec.l2), vertex,
          L2AtLimb(jd, dT, -1), L2AtLimb(jd, dT, +1), missA ? "  missed (a)" : "", missB ? "  missed (b)" : "",
          extraA ? "  extra (a)" : "", extraB ? "  extra (b)" : "", otherChange ? "  OTHER CHANGE" : "");
    }
  }
  swe_set_delta_t_userdef(SE_DELTAT_AUTOMATIC);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  std::printf("eclipses (Swiss Ephemeris): %d; not matched: (a) %d, (b) %d\n", n.eclipses, n.unmatchedA,
              n.unmatchedB);
  std::printf("hybrids: Swiss %d, (a) phase list %d, (b) path %d, all three %d\n", n.swissHybrids, n.hybridsA,
              n.hybridsB, n.hybridsBothAgree);
  std::printf("Swiss hybrids missed: (a) %d, (b) %d; hybrids Swiss does not have: (a) %d, (b) %d\n", n.missedA,
              n.missedB, n.extraA, n.extraB);
  std::printf("(a) and (b) disagree: %d\n", n.aAgainstB);
  PrintMatrix("(a) type changes, before -> after:", n.changesA);
  PrintMatrix("(b) type changes, before -> after:", n.changesB);
  PrintMatrix("Swiss -> (a):", n.swissA);
  PrintMatrix("Swiss -> (b):", n.swissB);
  std::printf("run time %.1f s\n", seconds);
  return 0;
}
