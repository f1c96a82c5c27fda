// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// The outline file of the world map (geo.dat): one point per line,
// latitude then longitude in decimal degrees (north and east positive),
// separated by blanks, anything after the second number ignored; a line
// whose first number is 9999 ends the current outline.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/SafeFile.h"

namespace orb {

// The shipped outline file has about 1 MB in lines of some 20 bytes; far
// bigger files and far longer lines are no outline data.
inline constexpr std::size_t kMaxOutlineBytes = 64u << 20;
inline constexpr std::size_t kMaxOutlineLine = 256;

// The next decimal number after blanks and tabs; `rest` then starts right
// after it. Empty when no number starts there.
std::optional<double> NextDecimalNumber(std::string_view& rest);

// Calls `point(lat, lon)` for each point line of `text` and `end()` for
// each line that ends an outline. Lines longer than kMaxOutlineLine bytes
// and lines without a number are skipped whole; a line with one number
// (other than 9999) is no point.
void ForEachOutlinePoint(std::string_view text, const std::function<void(double lat, double lon)>& point,
                         const std::function<void()>& end);

// The same for the file `geoFile`, read only when it is a regular file of
// at most kMaxOutlineBytes (a FIFO or a device is never opened). Returns
// the outcome of reading it.
FileResult ForEachOutlineLine(const std::string& geoFile, const std::function<void(double lat, double lon)>& point,
                              const std::function<void()>& end);

}  // namespace orb
