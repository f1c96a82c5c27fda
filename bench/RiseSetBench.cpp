// SPDX-License-Identifier: AGPL-3.0-or-later
// Speed of the rise/set search: one day of the Moon's rise, transit and set
// at Ortheim (51.74 N, 7.19 E, zone 1 h), the day moving on each call;
// beside them, the same events from Swiss Ephemeris' swe_rise_trans (one call
// per event, as swetest -rise makes them).
#include <benchmark/benchmark.h>
#include <swephexp.h>

#include "engine/RiseSet.h"

namespace {

void BM_MoonRiseSetDay(benchmark::State& state) {
  double jd = 2451545.5;
  for (auto _ : state) {
    jd += 1;
    const orb::RiseSetResult r = orb::RiseSet(orb::kRiseSetMoon, 51.74, -7.19, 1.0f, jd);
    benchmark::DoNotOptimize(r.rise_h);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_MoonRiseSetDay);

void BM_SunTwilightDay(benchmark::State& state) {
  double jd = 2451545.5;
  for (auto _ : state) {
    jd += 1;
    const orb::RiseSetResult r = orb::RiseSet(orb::TwilightKind(18), 51.74, -7.19, 1.0f, jd);
    benchmark::DoNotOptimize(r.rise_h);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SunTwilightDay);

// Swiss Ephemeris' next event of `kind` for `body` after jd_ut at Ortheim.
double SwissEvent(int body, int32 kind, double jd_ut) {
  double geopos[3] = {7.19, 51.74, 0};
  double t = 0;
  char serr[AS_MAXCH];
  swe_rise_trans(jd_ut, body, nullptr, SEFLG_SWIEPH, kind, geopos, 0, 0, &t, serr);
  return t;
}

void BM_SwissMoonRiseSetDay(benchmark::State& state) {
  (void)orb::RiseSet(orb::kRiseSetMoon, 51.74, -7.19, 1.0f, 2451545.5);  // the ephemeris files
  double jd = 2451545.5;
  for (auto _ : state) {
    jd += 1;
    benchmark::DoNotOptimize(SwissEvent(SE_MOON, SE_CALC_RISE, jd));
    benchmark::DoNotOptimize(SwissEvent(SE_MOON, SE_CALC_MTRANSIT, jd));
    benchmark::DoNotOptimize(SwissEvent(SE_MOON, SE_CALC_SET, jd));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SwissMoonRiseSetDay);

void BM_SwissSunTwilightDay(benchmark::State& state) {
  (void)orb::RiseSet(orb::kRiseSetMoon, 51.74, -7.19, 1.0f, 2451545.5);
  double jd = 2451545.5;
  for (auto _ : state) {
    jd += 1;
    benchmark::DoNotOptimize(SwissEvent(SE_SUN, SE_CALC_RISE | SE_BIT_ASTRO_TWILIGHT, jd));
    benchmark::DoNotOptimize(SwissEvent(SE_SUN, SE_CALC_SET | SE_BIT_ASTRO_TWILIGHT, jd));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SwissSunTwilightDay);

}  // namespace
