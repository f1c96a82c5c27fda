// SPDX-License-Identifier: AGPL-3.0-or-later
// Fuzz target: the reader of the small-body database's JSON answers (any
// bytes, any length).
//
// Checked beyond the sanitizers: the answer checks of DatabaseAnswerChecks.h;
// every candidate's key asks the configured server for its designation,
// percent-encoded (no blank, no control character in the link).

#include <cstddef>
#include <cstdint>
#include <string>

#include "DatabaseAnswerChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace orb;
  const std::string json(reinterpret_cast<const char*>(data), size);
  ElementSourceSettings s;
  s.SbdbServer = "http://127.0.0.1:8";
  CometBahnTyp el;
  std::vector<ElementHit> hits{{"stale", "C stale"}};
  std::string status;
  const QueryOutcome outcome = ReadDatabaseJson(json, s, el, hits, status);
  fuzz::CheckAnswer(outcome, el, hits, status);
  const std::string prefix = "J " + s.SbdbServer + "/sbdb.api?sstr=";
  for (const ElementHit& h : hits) {
    ORB_FUZZ_CHECK(h.key.rfind(prefix, 0) == 0);
    for (char c : h.key.substr(2)) ORB_FUZZ_CHECK(static_cast<unsigned char>(c) > ' ');
  }
  return 0;
}
