// SPDX-License-Identifier: AGPL-3.0-or-later
#include "settings/LocationList.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <utility>

#include "core/DataFiles.h"
#include "core/NumText.h"
#include "settings/NumberReader.h"

namespace orb {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The German letters of the DOS code page and their Latin-1 bytes.
constexpr std::array<std::pair<unsigned char, unsigned char>, 8> kDosToLatin1 = {{
    {0x84, 0xE4},  // ä
    {0x94, 0xF6},  // ö
    {0x81, 0xFC},  // ü
    {0xE1, 0xDF},  // ß
    {0x8E, 0xC4},  // Ä
    {0x99, 0xD6},  // Ö
    {0x9A, 0xDC},  // Ü
    {0xB4, 0x5F},  // _
}};

// The zone abbreviations of the list and their hours east of Greenwich.
constexpr std::array<std::pair<std::string_view, float>, 6> kZoneNames = {{
    {"MEZ", 1},
    {"EST", -5},
    {"CST", -6},
    {"MST", -7},
    {"PST", -8},
    {"HST", -10},
}};

std::string_view WithoutByteOrderMark(std::string_view bytes) {
  if (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark) bytes.remove_prefix(kByteOrderMark.size());
  return bytes;
}

// Calls `line(raw)` for every line of `bytes` (split at line feeds; the
// empty piece after a final line feed is no line).
template <typename LineFn>
void ForEachLine(std::string_view bytes, LineFn line) {
  while (!bytes.empty()) {
    const std::size_t newline = bytes.find('\n');
    line(bytes.substr(0, newline));
    bytes.remove_prefix(newline == std::string_view::npos ? bytes.size() : newline + 1);
  }
}

// A number of the line; one that overflowed to infinity reads as missing.
Extended NextNumber(std::string& rest) {
  const Extended value = ReadNumber(rest);
  return std::isfinite(value) ? value : 0;
}

// The sort key of one code point: upper case, Latin-1 letters with accents
// as their base letters (DIN 5007 "ä = a"), "ß" and "æ" as two letters.
void AppendSortKey(std::u32string& key, char32_t c) {
  if (c >= U'a' && c <= U'z') {
    key += static_cast<char32_t>(c - U'a' + U'A');
    return;
  }
  if (c < 0xC0 || c > 0xFF || c == 0xD7 || c == 0xF7) {
    key += c;
    return;
  }
  // U+00C0..U+00FF, upper and lower case alike.
  static constexpr std::string_view kBase = "AAAAAA?CEEEEIIIIDNOOOOO?OUUUUY??";
  const std::size_t index = (c - 0xC0) & 0x1F;
  if (index == 0x06) {  // Æ æ
    key += U"AE";
  } else if (c == 0xDF) {  // ß
    key += U"SS";
  } else if (c == 0xDE || c == 0xFE) {  // Þ þ
    key += U"TH";
  } else if (c == 0xFF) {  // ÿ
    key += U'Y';
  } else {
    key += static_cast<char32_t>(kBase[index]);
  }
}

// The sort key of a UTF-8 text (an invalid byte stands for itself).
std::u32string SortKey(const std::string& text) {
  std::u32string key;
  key.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    std::size_t extra = 0;
    char32_t cp = c;
    if (c >= 0xF0) extra = 3, cp = c & 0x07;
    else if (c >= 0xE0) extra = 2, cp = c & 0x0F;
    else if (c >= 0xC0) extra = 1, cp = c & 0x1F;
    if (i + extra >= text.size()) extra = 0, cp = c;
    for (std::size_t k = 1; k <= extra; ++k) cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
    AppendSortKey(key, cp);
    i += extra + 1;
  }
  return key;
}

}  // namespace

std::string LocationLineText(std::string_view raw) {
  if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
  std::string line(raw);
  if (IsValidUtf8(line)) return line;
  for (char& byte : line) {
    for (const auto& [dos, latin1] : kDosToLatin1) {
      if (static_cast<unsigned char>(byte) == dos) {
        byte = static_cast<char>(latin1);
        break;
      }
    }
  }
  return Latin1ToUtf8(line);
}

std::string LocationListText(std::string_view bytes) {
  bytes = WithoutByteOrderMark(bytes);
  std::string text;
  text.reserve(bytes.size());
  bool first = true;
  ForEachLine(bytes, [&](std::string_view raw) {
    if (!first) text += '\n';
    first = false;
    text += LocationLineText(raw);
  });
  if (!bytes.empty() && bytes.back() == '\n') text += '\n';
  return text;
}

LocationPlace ReadLocationLine(const std::string& line) {
  LocationPlace place;
  // Columns 1-33 are "Name, Land"; a comma further right belongs to a
  // number ("51,74") and never to the name.
  const std::string head = Utf8Left(line, kLocationNameColumns);
  place.Name = Utf8Left(TrimBlanks(head.substr(0, head.find(','))), kMaxPlaceNameChars);

  std::string rest = line.substr(head.size());
  place.Breite = NextNumber(rest);
  rest = TrimBlanks(rest);
  if (rest.rfind('S', 0) == 0) place.Breite = -place.Breite;
  place.Laenge = NextNumber(rest);
  rest = TrimBlanks(rest);
  if (rest.rfind('W', 0) == 0) place.Laenge = -place.Laenge;
  // rest is now "E 1", "W EST", "E -3.5": letter, blank, zone.
  const std::string zoneText = Utf8Mid(rest, 3, 3);
  const Extended zone = NextNumber(rest);
  place.Zeitzone = std::fabs(zone) <= std::numeric_limits<float>::max() ? static_cast<float>(zone) : 0.0f;
  for (const auto& [name, hours] : kZoneNames) {
    if (zoneText == name) place.Zeitzone = hours;
  }
  return place;
}

std::string LocationLineProblem(const std::string& line) {
  const auto hasDigit = [](const std::string& text) {
    return std::any_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
  };
  const std::string head = Utf8Left(line, kLocationNameColumns);
  std::string rest = line.substr(head.size());
  if (!hasDigit(rest)) return "die Breite fehlt";
  (void)ReadNumber(rest);
  if (!hasDigit(rest)) return "die Länge fehlt";
  // A missing zone reads as 0, a zone of its own (London, Accra).
  const LocationPlace place = ReadLocationLine(line);
  const auto outside = [](Extended x, Extended limit) { return !(std::fabs(x) <= limit); };
  if (outside(place.Breite, 90)) return "die Breite liegt nicht zwischen -90 und 90 Grad";
  if (outside(place.Laenge, 360)) return "die Länge liegt nicht zwischen -360 und 360 Grad";
  if (outside(place.Zeitzone, 14)) return "die Zeitzone liegt nicht zwischen -14 und 14 Stunden";
  return {};
}

bool LocationLineLess(const std::string& a, const std::string& b) {
  const std::u32string ka = SortKey(a), kb = SortKey(b);
  if (ka != kb) return ka < kb;
  return a < b;
}

std::vector<std::string> SearchLocationList(const std::string& fileName, const std::string& text) {
  std::vector<std::string> found;
  const std::string path = FindDataFile(fileName);
  std::string bytes;
  if (path.empty() || !ReadRegularFile(path, bytes, kMaxLocationListBytes).ok()) return found;
  const std::string wanted = UpperCaseLatin1(text);
  ForEachLine(WithoutByteOrderMark(bytes), [&](std::string_view raw) {
    std::string line = LocationLineText(raw);
    if (UpperCaseLatin1(line).find(wanted) != std::string::npos) found.push_back(std::move(line));
  });
  // Sort by precomputed keys: a search for a single letter may list the
  // whole file.
  std::vector<std::pair<std::u32string, std::string>> keyed;
  keyed.reserve(found.size());
  for (std::string& line : found) keyed.emplace_back(SortKey(line), std::move(line));
  std::sort(keyed.begin(), keyed.end());
  for (std::size_t i = 0; i < keyed.size(); ++i) found[i] = std::move(keyed[i].second);
  return found;
}

FileResult ReadLocationListText(const std::string& fileName, std::string& text) {
  text.clear();
  const std::string path = FindDataFile(fileName);
  if (path.empty()) return FileResult::Failure(ENOENT);
  std::string bytes;
  FileResult read = ReadRegularFile(path, bytes, kMaxLocationListBytes);
  if (!read.ok()) return read;
  if (bytes.find('\0') != std::string::npos) {
    // Saving such a text again would not give the file back.
    FileResult refused = FileResult::Failure(EINVAL);
    refused.reason = "Die Datei enthält Nullbytes (UTF-16 oder keine Textdatei)";
    return refused;
  }
  text = LocationListText(bytes);
  return read;
}

std::string LocationListSaveTarget(const std::string& fileName) {
  const std::string asGiven = ResolvePathCaseInsensitive(fileName);
  return asGiven.empty() ? fileName : asGiven;
}

void ApplyLocation(TSettings& s, const LocationPlace& place) {
  s.Ort.Name = place.Name;
  s.Ort.Breite = place.Breite;
  s.Ort.Laenge = place.Laenge;
  s.BasisZeitzone = place.Zeitzone;
  s.Zeitzone = place.Zeitzone;
  if (s.TDT) s.Zeitzone = 0;
  ApplyAutoSummerTime(s);
}

}  // namespace orb
