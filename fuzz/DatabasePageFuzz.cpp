// SPDX-License-Identifier: AGPL-3.0-or-later
// Fuzz target: the scanner of the small-body database's HTML answer page
// (any bytes, any length), with relative candidate links resolved against
// a query URL; and the reduction of the whole input to a line's text.
//
// Checked beyond the sanitizers: the answer checks of DatabaseAnswerChecks.h
// (no candidate key with a line break in it); a line's text has no tag
// left ("<"), no line break and no blank at its ends.

#include <cstddef>
#include <cstdint>
#include <string>

#include "DatabaseAnswerChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace orb;
  const std::string page(reinterpret_cast<const char*>(data), size);
  CometBahnTyp el;
  std::vector<ElementHit> hits{{"stale", "C stale"}};
  std::string status;
  const QueryOutcome outcome = ScanDatabasePage(page, "http://127.0.0.1/cgi-bin/sbdb.cgi?sstr=x", el, hits, status);
  fuzz::CheckAnswer(outcome, el, hits, status);
  for (const ElementHit& h : hits) ORB_FUZZ_CHECK(h.key.find_first_of("\r\n") == std::string::npos);

  const std::string text = HtmlLineText(page);
  ORB_FUZZ_CHECK(text.find_first_of("<\r\n") == std::string::npos);
  ORB_FUZZ_CHECK(text.empty() ||
                 (static_cast<unsigned char>(text.front()) > ' ' && static_cast<unsigned char>(text.back()) > ' '));
  return 0;
}
