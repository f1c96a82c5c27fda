// SPDX-License-Identifier: AGPL-3.0-or-later
// Fuzz target: the record reader of the minor-planet element files.
//
// Input layout: bytes 0-1 the minor-planet number n (signed 16-bit,
// little-endian), byte 2 the length L of the name-list line, the next L
// bytes that line, and the rest the whole ".AST" file. Shorter inputs fill
// the missing parts with zeros and empty texts.
//
// Checked beyond the sanitizers: a failure leaves the element set as it was
// and gives a reason; a success gives an ellipse (0 < a finite, 0 <= e < 1,
// q > 0) of a minor planet with number n and a name.

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/OrbitElements.h"
#include "settings/CurrentElements.h"

namespace {

orb::CometBahnTyp Sentinel() {
  orb::CometBahnTyp el = orb::EmptyCometElements();
  el.name = "1P/Halley";
  el.a = 17.8L;
  el.e = 0.967L;
  el.q = 0.587L;
  el.T0 = 2446470.9589L;
  el.mag = 5.5f;
  return el;
}

bool SameAsSentinel(const orb::CometBahnTyp& el) {
  const orb::CometBahnTyp s = Sentinel();
  return el.name == s.name && el.a == s.a && el.e == s.e && el.q == s.q && el.T0 == s.T0 && el.mag == s.mag &&
         el.number == s.number && el.asteroid == s.asteroid && el.TM0 == s.TM0 && el.M0 == s.M0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string in(reinterpret_cast<const char*>(data), size);
  const auto byte = [&in](std::size_t k) { return k < in.size() ? static_cast<unsigned char>(in[k]) : 0u; };
  const int32_t number = static_cast<int16_t>(static_cast<uint16_t>(byte(0) | byte(1) << 8));
  const std::size_t listStart = in.size() < 3 ? in.size() : 3;
  const std::string listText = in.substr(listStart, byte(2));
  const std::string bytes = in.substr(listStart + listText.size());

  orb::CometBahnTyp el = Sentinel();
  std::string error;
  if (!orb::ParseAsteroidRecord(bytes, number, listText, el, error)) {
    if (!SameAsSentinel(el) || error.empty()) __builtin_trap();
    return 0;
  }
  const bool ellipse = el.a > 0 && el.a < 1e300L && el.e >= 0 && el.e < 1 && el.q > 0;
  if (!ellipse || !el.asteroid || el.number != number || el.name.empty() || !error.empty()) __builtin_trap();
  return 0;
}
