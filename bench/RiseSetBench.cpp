// SPDX-License-Identifier: AGPL-3.0-or-later
// Speed of the rise/set search: one day of the Moon's rise, transit and set
// at Ortheim (51.74 N, 7.19 E, zone 1 h), the day moving on each call.
#include <benchmark/benchmark.h>

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

}  // namespace
