// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once
// What must hold for every answer of the small-body database that a reader
// (ScanDatabasePage, ReadDatabaseJson) has taken, whatever its bytes:
//  - the status is one of the reader's texts, and says the outcome;
//  - elements: an orbit (q > 0, e >= 0, a >= 0, all finite; the epoch of M0
//    or the perihelion passage set), finite magnitudes, number >= 0, a name
//    of valid UTF-8, no candidates;
//  - candidates: at least one, each key "J " + a link, shown texts and keys
//    of valid UTF-8, and the element set the empty one;
//  - otherwise neither elements nor candidates.
// A violation names the check on standard error and stops the fuzzer with
// a trap.

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "core/NumText.h"
#include "core/OrbitElements.h"
#include "settings/ElementSources.h"

namespace orb::fuzz {

#define ORB_FUZZ_CHECK(condition)                                                        \
  do {                                                                                   \
    if (!(condition)) {                                                                  \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
      __builtin_trap();                                                                  \
    }                                                                                    \
  } while (false)

inline bool IsEmptyRecord(const CometBahnTyp& el) {
  return el.name == "not initialized" && el.number == -1 && el.q == 0 && el.e == 0 && el.TM0 == 0;
}

inline void CheckAnswer(QueryOutcome outcome, const CometBahnTyp& el, const std::vector<ElementHit>& hits,
                        const std::string& status) {
  switch (outcome) {
    case QueryOutcome::kElements:
      ORB_FUZZ_CHECK(status == "Bahndaten OK" && hits.empty());
      ORB_FUZZ_CHECK(std::isfinite(el.q) && el.q > 0 && std::isfinite(el.e) && el.e >= 0 && std::isfinite(el.a) &&
                     el.a >= 0);
      for (Extended x : {el.i, el.AscN, el.PerL, el.M0, el.TM0, el.T0}) ORB_FUZZ_CHECK(std::isfinite(x));
      ORB_FUZZ_CHECK(el.TM0 != 0 || el.T0 != 0);
      ORB_FUZZ_CHECK(std::isfinite(el.mag) && std::isfinite(el.dmag) && std::isfinite(el.diameter));
      ORB_FUZZ_CHECK(el.number >= 0 && IsValidUtf8(el.name));
      ORB_FUZZ_CHECK(el.de == 0 && el.di == 0 && el.dAscN == 0 && el.dPerL == 0);
      break;
    case QueryOutcome::kCandidates:
      ORB_FUZZ_CHECK(!hits.empty() && status == std::to_string(hits.size()) + " Einträge gefunden");
      for (const ElementHit& h : hits)
        ORB_FUZZ_CHECK(h.key.rfind("J ", 0) == 0 && h.key.size() > 2 && IsValidUtf8(h.key) && IsValidUtf8(h.shown));
      ORB_FUZZ_CHECK(IsEmptyRecord(el));
      break;
    case QueryOutcome::kNotFound:
      ORB_FUZZ_CHECK(status == "Eintrag nicht gefunden!" && hits.empty() && IsEmptyRecord(el));
      break;
    case QueryOutcome::kFailed:
      ORB_FUZZ_CHECK(status.rfind("Fehler: ", 0) == 0 && hits.empty() && IsEmptyRecord(el));
      break;
  }
}

}  // namespace orb::fuzz
