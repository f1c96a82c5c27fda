// SPDX-License-Identifier: AGPL-3.0-or-later
// Speed of the local circumstances of solar eclipses at Ortheim (51.74 N,
// 7.19 E): one eclipse new moon after the other (fits, contact scan,
// contacts 2 and 3, angles, visibility), and the whole command "Sonnen-
// finsternis ohne Grafik" in list mode over the 1000 years 1600-2600, the
// run that bench/local-eclipses-vs-swetest.sh times beside swetest.
#include <benchmark/benchmark.h>

#include <cstddef>
#include <string>
#include <vector>

#include "core/Host.h"
#include "core/TimeScales.h"
#include "eclipses/EclipseCommand.h"
#include "eclipses/LocalEclipse.h"
#include "eclipses/SolarEclipse.h"
#include "engine/PlanetaryTheory.h"
#include "settings/Settings.h"

namespace {

// 1600 January 1 and 2600 January 1, 0h UT (Gregorian).
constexpr orb::Extended kFrom_jd = 2305447.5L;
constexpr orb::Extended kSpan_days = 365244;

// A host that keeps no lines and counts the contact tables (one "1. Kontakt"
// row per eclipse reported).
class CountingHost : public orb::Host {
 public:
  void AddLine(const std::string& line) override {
    ++lines_;
    if (line.rfind("1. Kontakt", 0) == 0) ++eclipses;
  }
  std::size_t LineCount() const override { return lines_; }
  void ProcessMessages() override {}
  orb::MsgResult MessageBox(orb::MsgKind, const std::string&, const std::string&, orb::MsgResult goOn) override {
    return goOn;
  }
  bool InputBox(const std::string&, const std::string&, std::string&) override { return true; }
  void Beep() override {}
  void EnableStop(bool) override {}
  void Progress(const std::string&) override {}

  std::size_t eclipses = 0;

 private:
  std::size_t lines_ = 0;
};

orb::TSettings Ortheim() {
  orb::TSettings s = orb::DefaultSettings();
  s.Ort.Name = "Ortheim";
  s.Ort.Laenge = 7.19L;
  s.Ort.Breite = 51.74L;
  s.Zeitzone = 1;
  return s;
}

// The eclipse new moons of 2001-2020 (about 50), found once.
std::vector<orb::Extended> EclipseNewMoons() {
  std::vector<orb::Extended> moons;
  orb::Extended jd = 2451910.5L;  // 2001 January 1
  while (jd < 2459215.5L) {       // 2021 January 1
    orb::NextEclipseNewMoon(jd, +1, false);
    moons.push_back(jd);
    jd += 20;
  }
  return moons;
}

void BM_LocalCircumstances(benchmark::State& state) {
  orb::theory::_planetinfo(2451545.0, 1000, 1, 1, 1, 1);
  const orb::TSettings s = Ortheim();
  const std::vector<orb::Extended> moons = EclipseNewMoons();
  std::size_t i = 0;
  for (auto _ : state) {
    const orb::Extended jd = moons[i++ % moons.size()];
    orb::LocalEclipse c;
    orb::PrepareLocalEclipse(c, orb::JulianCenturies(jd), orb::DeltaT(jd, false).days * 86400.0L);
    orb::LocalCircumstances(s, s.Zeitzone, c);
    benchmark::DoNotOptimize(c.T4);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LocalCircumstances);

void BM_LocalEclipses1000Years(benchmark::State& state) {
  orb::theory::_planetinfo(2451545.0, 1000, 1, 1, 1, 1);
  std::size_t eclipses = 0;
  for (auto _ : state) {
    orb::TSettings s = Ortheim();
    s.Tabelle = true;
    s.Startdat = kFrom_jd;
    s.DeltaTab = kSpan_days;
    CountingHost host;
    orb::LocalEclipseReport report(0);
    orb::TRunContext run(s);
    orb::SolarEclipseCommand(s, run, host, report, false, false, 0);
    eclipses = host.eclipses;
  }
  state.counters["eclipses"] = static_cast<double>(eclipses);
}
BENCHMARK(BM_LocalEclipses1000Years)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
