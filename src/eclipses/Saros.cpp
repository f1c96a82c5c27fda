// SPDX-License-Identifier: AGPL-3.0-or-later
#include "eclipses/Saros.h"

#include <cmath>
#include <filesystem>
#include <limits>

#include "core/NumText.h"
#include "core/TimeScales.h"

namespace orb {

namespace {

// The mean lunation of a syzygy: days from the reference syzygy over the
// synodic month with its slow secular change (a in Julian centuries).
struct LunationModel {
  Extended epoch_jd;   // the reference syzygy (lunation 0)
  Extended rate;       // coefficient of a in the synodic month (days)
  Extended quadratic;  // coefficient of a^2 (days)
  Extended offset;     // added to the lunation number before the residue
};
// The new moon of 2000 January 6 and the full moon of 1999 December 22.
constexpr LunationModel kSolarLunation{2451550.09811L, 2.25e-7L, -1.1e-10L, 179};
constexpr LunationModel kLunarLunation{2451535.33L, 1.32e-7L, -1.211e-10L, 1352};

// Series per cycle, and 88, the inverse of -38 modulo 223: the residue
// rises by one from one series to the next.
constexpr int32_t kSeriesPerCycle = 223;
constexpr int32_t kResidueStep = 88;

// Beyond this many days from JD 0 the calendar year no longer fits 32 bits;
// such instants count as the extreme year of their sign.
constexpr Extended kCalendarLimit_days = 1e11L;

// An era rule: the letter applies when the condition on c and the calendar
// year holds; later rules override earlier ones.
struct EraRule {
  char letter;
  bool (*holds)(int32_t c, int32_t year);
};

// Solar eras. "low" c < 180, "high" 180 <= c < 224, "lower" c < 179,
// "upper" c > 178.
constexpr EraRule kSolarEras[] = {
    {'H', [](int32_t c, int32_t y) { return c < 180 && y > -29415; }},
    {'H', [](int32_t c, int32_t y) { return c >= 180 && c < 224 && y > -24935; }},
    {'J', [](int32_t c, int32_t y) { return c < 180 && y > -23915; }},
    {'J', [](int32_t c, int32_t y) { return c >= 180 && c < 224 && y > -18735; }},
    {'K', [](int32_t c, int32_t y) { return c < 180 && y > -17350; }},
    {'K', [](int32_t c, int32_t y) { return c >= 180 && c < 224 && y > -11740; }},
    {'L', [](int32_t c, int32_t y) { return c < 180 && y > -10283; }},
    {'L', [](int32_t c, int32_t y) { return c >= 180 && c < 224 && y > -4417; }},
    {'M', [](int32_t c, int32_t y) { return c < 180 && y > -2875; }},
    {'M', [](int32_t c, int32_t y) { return c >= 180 && c < 224 && y > 2757; }},
    {'N', [](int32_t c, int32_t y) { return c < 180 && y > 3989; }},
    {'N', [](int32_t c, int32_t y) { return c >= 180 && c < 224 && y > 9140; }},
    {'O', [](int32_t c, int32_t y) { return c < 179 && y > 10289 && y < 16290; }},
    {'O', [](int32_t c, int32_t y) { return c > 178 && y > 15163; }},
    {'P', [](int32_t c, int32_t y) { return c < 179 && y > 16290; }},
    {'P', [](int32_t c, int32_t y) { return c > 178 && y > 20724; }},
    {'Q', [](int32_t c, int32_t y) { return c < 179 && y > 21846; }},
    {'Q', [](int32_t c, int32_t y) { return c > 178 && y > 26432; }},
    {'R', [](int32_t c, int32_t y) { return c < 179 && y > 27489; }},
    {'R', [](int32_t c, int32_t y) { return c > 178 && y > 32032; }},
    {'S', [](int32_t c, int32_t y) { return c < 179 && y > 34450; }},
    {'S', [](int32_t c, int32_t y) { return c > 178 && y > 38240; }},
    {'T', [](int32_t c, int32_t y) { return c < 179 && y > 39712; }},
    {'T', [](int32_t c, int32_t y) { return c > 178 && y > 40920; }},
};

// Lunar eras. "few" c < 47, "many" c >= 47.
constexpr EraRule kLunarEras[] = {
    {'k', [](int32_t c, int32_t y) { return c < 47 && y < -14619; }},
    {'k', [](int32_t c, int32_t y) { return c >= 47 && y < -8724; }},
    {'l', [](int32_t c, int32_t y) { return c < 47 && y >= -14619 && y < -7054; }},
    {'l', [](int32_t c, int32_t y) { return c >= 47 && y >= -8638 && y < -1336; }},
    {'m', [](int32_t c, int32_t y) { return c < 47 && y >= -2570 && y < 277; }},
    {'m', [](int32_t c, int32_t y) { return c >= 47 && y >= -1275 && y < 5508; }},
    {'n', [](int32_t c, int32_t y) { return c < 180 && y > 4280 && y < 10537; }},
    {'n', [](int32_t c, int32_t y) { return c >= 180 && y > 9357 && y < 15164; }},
    {'o', [](int32_t c, int32_t y) { return c < 180 && y > 10289 && y < 16290; }},
    {'o', [](int32_t c, int32_t y) { return c > 178 && y > 15163; }},
    {'p', [](int32_t c, int32_t y) { return c < 179 && y > 16290; }},
};

// Calendar year of `jd` (astronomical numbering), saturated far outside the
// 32-bit range of years.
int32_t CalendarYear(Extended jd) {
  if (jd > kCalendarLimit_days) return std::numeric_limits<int32_t>::max();
  if (jd < -kCalendarLimit_days) return std::numeric_limits<int32_t>::min();
  return JDToCalendar(jd).year;
}

// The lunation number of the syzygy at `jd`, rounded to the nearest
// integer, halves to even (NaN when it is not a number).
Extended LunationNumber(Extended jd, const LunationModel& m) {
  const Extended x = jd - m.epoch_jd;
  const Extended a = x / 36525;
  const Extended month_days = kSynodicMonth_days + m.rate * a + m.quadratic * a * a;
  return std::nearbyint(x / month_days);
}

// The smallest c >= 1 for which N + offset + 88 c is divisible by 223; 0
// when N is not a finite number.
int32_t SeriesResidue(Extended N, Extended offset) {
  const Extended r = std::fmod(N + offset, static_cast<Extended>(kSeriesPerCycle));
  if (!std::isfinite(r)) return 0;
  const auto base = static_cast<int32_t>(r);  // exact: an integer in (-223, 223)
  for (int32_t c = 1; c <= kSeriesPerCycle; ++c) {
    if ((base + kResidueStep * c) % kSeriesPerCycle == 0) return c;
  }
  return 0;  // not reached: 88 is invertible modulo 223
}

template <std::size_t n>
char EraLetter(const EraRule (&rules)[n], int32_t c, int32_t year) {
  char letter = '?';
  for (const EraRule& rule : rules) {
    if (rule.holds(c, year)) letter = rule.letter;
  }
  return letter;
}

template <std::size_t n>
SarosDesignation Designation(Extended jd, const LunationModel& model, const EraRule (&rules)[n],
                             char firstEra) {
  SarosDesignation d;
  if (!std::isfinite(jd)) return d;
  d.residue = SeriesResidue(LunationNumber(jd, model), model.offset);
  if (d.residue == 0) return d;
  d.letter = EraLetter(rules, d.residue, CalendarYear(jd));
  d.number = (d.letter - firstEra) * kSeriesPerCycle + d.residue;
  d.text = IntStr(d.residue, 3) + ". " + "Saros" + ", " + "Ära" + " " + d.letter;
  return d;
}

}  // namespace

SarosDesignation SolarSarosDesignation(Extended jd) {
  return Designation(jd, kSolarLunation, kSolarEras, 'M');
}

SarosDesignation LunarSarosDesignation(Extended jd) {
  return Designation(jd, kLunarLunation, kLunarEras, 'm');
}

bool CompanionProgramAvailable(const std::string& directory) {
  const std::string path = directory.empty() ? kCompanionProgram : directory + "/" + kCompanionProgram;
  const std::string found = ResolvePathCaseInsensitive(path);
  std::error_code error;
  return !found.empty() && std::filesystem::is_regular_file(found, error);
}

std::string CompanionCommandLine(Extended jd) { return std::string(kCompanionProgram) + " " + Str(jd, 1, 5); }

}  // namespace orb
