// SPDX-License-Identifier: AGPL-3.0-or-later
#include "cli/CliSettings.h"

#include <cctype>
#include <cmath>

#include "core/NumText.h"
#include "core/TimeScales.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsLoad.h"

namespace orb::cli {
namespace {

bool SameKey(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

// The value of the last --set of `key`, if any.
const std::string* SetValue(const KeyValues& sets, const std::string& key) {
  const std::string* value = nullptr;
  for (const auto& [k, v] : sets) {
    if (SameKey(k, key)) value = &v;
  }
  return value;
}

// Reads digits from text[i]; false when there are none.
bool Digits(const std::string& text, std::size_t& i, std::size_t minCount, std::size_t maxCount, int32_t& value) {
  const std::size_t start = i;
  value = 0;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9' && i - start < maxCount) {
    value = value * 10 + (text[i] - '0');
    ++i;
  }
  return i - start >= minCount;
}

bool Expect(const std::string& text, std::size_t& i, char c) {
  if (i >= text.size() || text[i] != c) return false;
  ++i;
  return true;
}

// The calendar names the day: it reads back as itself.
bool RealDay(const LocalDateTime& t) {
  if (t.month < 1 || t.month > 12 || t.day < 1 || t.day > 31) return false;
  const CalendarDate back = JDToCalendar(CalendarToJD(t.year, t.month, t.day + 0.5L));
  return back.year == t.year && back.month == t.month && static_cast<int32_t>(back.day) == t.day;
}

// The zone of a local instant (JD of the local clock reading): the base
// zone, 0 with TDT, with automatic summer time the zone the summer-time
// rule gives for that instant.
float ZoneOf(const TSettings& s, Extended localJD) {
  if (s.TDT) return 0;
  float zone = s.BasisZeitzone;
  if (!s.AutoSommerzeit) return zone;
  for (int i = 0; i < 2; ++i) SummerTime(zone, s.BasisZeitzone, localJD - zone / 24.0L);
  return zone;
}

}  // namespace

std::optional<LocalDateTime> ParseLocalDateTime(const std::string& value) {
  const std::string text = TrimBlanks(value);
  LocalDateTime t;
  std::size_t i = 0;
  const bool negative = i < text.size() && text[i] == '-';
  if (negative || (i < text.size() && text[i] == '+')) ++i;
  if (!Digits(text, i, 1, 6, t.year) || !Expect(text, i, '-')) return std::nullopt;
  if (negative) t.year = -t.year;
  if (!Digits(text, i, 2, 2, t.month) || !Expect(text, i, '-') || !Digits(text, i, 2, 2, t.day)) return std::nullopt;
  if (i < text.size()) {
    if (text[i] != 'T' && text[i] != ' ') return std::nullopt;
    ++i;
    if (!Digits(text, i, 2, 2, t.hour) || !Expect(text, i, ':') || !Digits(text, i, 2, 2, t.minute)) {
      return std::nullopt;
    }
    if (i < text.size()) {
      int32_t seconds = 0;
      if (!Expect(text, i, ':') || !Digits(text, i, 2, 2, seconds)) return std::nullopt;
      t.second = seconds;
      if (i < text.size()) return std::nullopt;
    }
  }
  if (!RealDay(t) || t.hour > 23 || t.minute > 59 || t.second > 59) return std::nullopt;
  return t;
}

std::optional<std::string> CheckSets(KeyValues& sets) {
  for (auto& [key, value] : sets) {
    key = TrimBlanks(key);
    const SettingsKey* k = FindMainSettingsKey(key);
    if (k == nullptr) {
      if (IsColumnsKey(key) || IsWindowKey(key)) continue;
      return "Unbekannter Schlüssel \"" + key + "\" in --set (Schlüssel des Abschnitts "
             "\"Astronomieprogramm Einstellungen\", z. B. Startdat, Objekt, Ort.Breite).";
    }
    if (SameKey(key, "Startdat") && ParseLocalDateTime(value)) continue;
    if (std::optional<std::string> error = CheckSettingsValue(*k, value)) {
      if (SameKey(key, "Startdat")) {
        return "Startdat erwartet ein julianisches Datum (z. B. 2460409.5) oder Datum und Uhrzeit "
               "(2024-04-08, 2024-04-08T13:00 oder \"2024-04-08 13:00:00\"), nicht \"" + value + "\".";
      }
      return *error;
    }
  }
  const std::string* objekt = SetValue(sets, "Objekt");
  if (objekt != nullptr && SetValue(sets, "PlanetNr") == nullptr) {
    const int32_t kind = static_cast<int32_t>(std::lround(static_cast<double>(std::stold(TrimBlanks(*objekt)))));
    if (kind >= kMercury && kind <= kSmallBody) sets.emplace_back("PlanetNr", std::to_string(kind));
  }
  return std::nullopt;
}

std::optional<Extended> StartDateFromCalendar(const KeyValues& sets, const IniDocument& ini) {
  const std::string* value = SetValue(sets, "Startdat");
  if (value == nullptr) return std::nullopt;
  const std::optional<LocalDateTime> t = ParseLocalDateTime(*value);
  if (!t) return std::nullopt;
  TSettings s;
  ReadMainSettings(ini, s);
  const Extended local = CalendarToJD(t->year, t->month, t->day + (t->hour + t->minute / 60.0L + t->second / 3600) / 24);
  return local - ZoneOf(s, local) / 24.0L;
}

}  // namespace orb::cli
