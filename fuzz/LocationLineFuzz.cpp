// SPDX-License-Identifier: AGPL-3.0-or-later
// Fuzz target: one line of a location list (any bytes), converted for the
// list as the place dialog shows it and read into a place as a choice does.
//
// Checked beyond the sanitizers: the shown text is valid UTF-8 (a line
// that is not is converted byte by byte), and the place name is at most 25
// characters.

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/NumText.h"
#include "settings/LocationList.h"

namespace {

// Whether `s` is well-formed UTF-8 by its lead and continuation bytes.
bool ValidUtf8(const std::string& s) {
  for (std::size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    const std::size_t n = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : 4;
    if (n == 4 || (n > 0 && i + n >= s.size())) return false;
    for (std::size_t k = 1; k <= n; ++k) {
      if ((static_cast<unsigned char>(s[i + k]) >> 6) != 2) return false;
    }
    i += n + 1;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string shown = orb::LocationLineText(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!ValidUtf8(shown)) __builtin_trap();
  const orb::LocationPlace place = orb::ReadLocationLine(shown);
  if (orb::Utf8Length(place.Name) > orb::kMaxPlaceNameChars) __builtin_trap();
  return 0;
}
