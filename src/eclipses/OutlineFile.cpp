// SPDX-License-Identifier: AGPL-3.0-or-later
#include "eclipses/OutlineFile.h"

#include <charconv>
#include <system_error>

namespace orb {
namespace {

// The first number of a line that ends an outline.
constexpr double kEndOfOutline = 9999;

}  // namespace

std::optional<double> NextDecimalNumber(std::string_view& rest) {
  while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t')) rest.remove_prefix(1);
  double value = 0;
  const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), value);
  if (error != std::errc()) return std::nullopt;
  rest.remove_prefix(static_cast<std::size_t>(end - rest.data()));
  return value;
}

void ForEachOutlinePoint(std::string_view text, const std::function<void(double lat, double lon)>& point,
                         const std::function<void()>& end) {
  std::string_view rest = text;
  while (!rest.empty()) {
    const std::size_t newline = rest.find('\n');
    std::string_view line = rest.substr(0, newline);
    rest.remove_prefix(newline == std::string_view::npos ? rest.size() : newline + 1);
    if (line.size() > kMaxOutlineLine) continue;
    const std::optional<double> lat = NextDecimalNumber(line);
    if (!lat) continue;
    if (*lat == kEndOfOutline) {
      end();
      continue;
    }
    if (const std::optional<double> lon = NextDecimalNumber(line)) point(*lat, *lon);
  }
}

FileResult ForEachOutlineLine(const std::string& geoFile, const std::function<void(double lat, double lon)>& point,
                              const std::function<void()>& end) {
  std::string text;
  const FileResult read = ReadRegularFile(geoFile, text, kMaxOutlineBytes);
  if (read.ok()) ForEachOutlinePoint(text, point, end);
  return read;
}

}  // namespace orb
