// SPDX-License-Identifier: AGPL-3.0-or-later
// Speed of the planetary theory adapter: one table row (all quantities of
// Mars, apparent place) and one quantity of the Sun, as the Chebyshev fits
// ask it. The date moves on every call (by 0.731 d, wrapping after 4000
// days) so that Swiss Ephemeris' cache of the last place never serves a call.
// Beside them, the same work done by Swiss Ephemeris' own calls as swetest
// makes them for a row of "-fTPADR=": the apparent place of Mars and its
// magnitude.
#include <benchmark/benchmark.h>
#include <swephexp.h>

#include "engine/PlanetaryTheory.h"

namespace {

constexpr double kStart_jd = 2451545.0;  // J2000
constexpr double kStep_days = 0.731;
constexpr double kSpan_days = 4000.0;

double NextDate(double jd) {
  jd += kStep_days;
  return jd > kStart_jd + kSpan_days ? jd - kSpan_days : jd;
}

void BM_CalcPlanetMars(benchmark::State& state) {
  double jd = kStart_jd;
  double ra, dec, delta, r, elong, x, mag, diam, lon, lat;
  for (auto _ : state) {
    jd = NextDate(jd);
    const int32_t status = orb::theory::_calcplanet(jd, 1000 + orb::theory::kBodyMars, &ra, &dec, &delta, &r,
                                                    &elong, &x, &mag, &diam, &lon, &lat, 1, 1, 1, 1);
    benchmark::DoNotOptimize(status);
    benchmark::DoNotOptimize(ra);
    benchmark::DoNotOptimize(mag);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CalcPlanetMars);

void BM_PlanetInfoSun(benchmark::State& state) {
  double jd = kStart_jd;
  for (auto _ : state) {
    jd = NextDate(jd);
    benchmark::DoNotOptimize(
        orb::theory::_planetinfo(jd, orb::theory::kCodeSunSearch, orb::theory::kQtyRightAscension, 1, 1, 1));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PlanetInfoSun);

void BM_SwissMarsPlaceAndMagnitude(benchmark::State& state) {
  (void)orb::theory::_planetinfo(kStart_jd, orb::theory::kCodeSun, orb::theory::kQtyDistance, 1, 1, 1);  // files
  double jd = kStart_jd;
  double xx[6], attr[20];
  char serr[AS_MAXCH];
  for (auto _ : state) {
    jd = NextDate(jd);
    benchmark::DoNotOptimize(swe_calc(jd, SE_MARS, SEFLG_SWIEPH | SEFLG_EQUATORIAL, xx, serr));
    benchmark::DoNotOptimize(swe_pheno(jd, SE_MARS, SEFLG_SWIEPH, attr, serr));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SwissMarsPlaceAndMagnitude);

}  // namespace
