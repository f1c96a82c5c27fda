// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// Saros series of eclipses from the lunation number of the syzygy: a
// residue c (1 .. 223) names the series within a cycle of 223 series (c
// rises by one from one series to the next), an era letter chosen by the
// calendar year and c names the cycle. Eras "M" (solar) and "m" (lunar) hold
// the series numbered 1 .. 223 in the usual counting (van den Bergh,
// Periodicity and Variation of Solar (and Lunar) Eclipses, 1955, as used in
// Espenak & Meeus' eclipse canons).

#include <cstdint>
#include <string>

#include "core/NumKernel.h"

namespace orb {

struct SarosDesignation {
  int32_t number = 0;   // (letter - "M" or "m") * 223 + c: c - 3122 (solar) or c - 10258 (lunar) for "?"
  int32_t residue = 0;  // c, 1 .. 223
  char letter = '?';    // era letter, "?" when no era applies
  std::string text;     // c right-aligned in three places + ". Saros, Ära " + letter (UTF-8)
};

// The Saros designation of the new moon (solar eclipse) at Julian date jd:
// lunation number N = (jd - 2451550.09811) / (29.530588861 + 2.25e-7 a -
// 1.1e-10 a^2) rounded half to even (a: Julian centuries from that new
// moon), c the smallest c >= 1 with N + 179 + 88 c divisible by 223, the
// letter from the eras "H" .. "T" by the calendar year of jd and c. jd only
// selects the lunation, so any instant within some 14 days of the new moon
// gives the same series. A jd that is not a finite number gives number 0,
// residue 0, letter "?" and an empty text.
SarosDesignation SolarSarosDesignation(Extended jd);
// The Saros designation of the full moon (lunar eclipse) at Julian date jd:
// the same with the full moon of 1999 December 22 (JD 2451535.33), the
// coefficients 1.32e-7 and -1.211e-10, N + 1352 + 88 c, and the eras
// "k" .. "p"; "?" for a syzygy outside the span of every series.
SarosDesignation LunarSarosDesignation(Extended jd);

// The companion program that draws a Saros series picture: offered only when
// its file exists in `directory` (the working directory when empty; the name
// is also found in another case); started with the Julian date of the eclipse.
inline constexpr const char* kCompanionProgram = "Zyklusbild.exe";
bool CompanionProgramAvailable(const std::string& directory);
// "Zyklusbild.exe " + jd with five decimals and a decimal point.
std::string CompanionCommandLine(Extended jd);

}  // namespace orb
