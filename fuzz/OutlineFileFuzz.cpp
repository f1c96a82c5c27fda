// SPDX-License-Identifier: AGPL-3.0-or-later
// Fuzz target: the outline file of the world map (any bytes), walked as the
// map walks it: points and ends of outlines.
//
// Checked beyond the sanitizers: no point carries the end mark 9999 as its
// latitude, and there are never more points and ends than lines.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "eclipses/OutlineFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::size_t lines = 1, events = 0;
  for (const char c : text) lines += c == '\n';
  orb::ForEachOutlinePoint(
      text,
      [&](double lat, double) {
        if (lat == 9999) __builtin_trap();
        ++events;
      },
      [&] { ++events; });
  if (events > lines) __builtin_trap();
  return 0;
}
