// SPDX-License-Identifier: AGPL-3.0-or-later
#include "settings/SettingsKeys.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "core/NumText.h"
#include "settings/NumberReader.h"
#include "settings/SettingsLoad.h"

namespace orb {
namespace {

// One entry of the table, by value form.
SettingsKey Flag(const char* key, FlagField f, KeySave save = KeySave::IfSpeichern) {
  return SettingsKey{key, f, 0, save};
}
SettingsKey Integer(const char* key, IntegerField f, int32_t min, int32_t max) {
  return SettingsKey{key, f, 0, KeySave::IfSpeichern, true, static_cast<Extended>(min), static_cast<Extended>(max)};
}
SettingsKey Real(const char* key, RealField f, int decimals, Extended min, Extended max,
                 KeySave save = KeySave::IfSpeichern) {
  return SettingsKey{key, f, decimals, save, true, min, max};
}
SettingsKey Single(const char* key, SingleField f, int decimals, Extended min, Extended max) {
  return SettingsKey{key, f, decimals, KeySave::IfSpeichern, true, min, max};
}
SettingsKey Text(const char* key, TextField f, std::size_t maxChars = 0, bool read = true) {
  SettingsKey k{key, f};
  k.maxChars = maxChars;
  k.read = read;
  return k;
}

const std::vector<SettingsKey>& Table() {
  static const std::vector<SettingsKey> keys = {
      Flag("DatSpeichern", [](TSettings& s) -> bool& { return s.DatSpeichern; }, KeySave::Always),
      Real("Startdat", [](TSettings& s) -> Extended& { return s.Startdat; }, -7, -kCalendarLimit_jd,
           kCalendarLimit_jd, KeySave::IfDatSpeichern),
      Flag("Speichern", [](TSettings& s) -> bool& { return s.Speichern; }, KeySave::Always),
      Real("DeltaTab", [](TSettings& s) -> Extended& { return s.DeltaTab; }, -7, -kCalendarLimit_jd, kCalendarLimit_jd),
      Text("OrtsDatName", [](TSettings& s) -> std::string& { return s.OrtsDatName; }),
      Text("Ort.Name", [](TSettings& s) -> std::string& { return s.Ort.Name; }, kMaxPlaceNameChars),
      Real("Ort.Laenge", [](TSettings& s) -> Extended& { return s.Ort.Laenge; }, -3, -360, 360),
      Real("Ort.Breite", [](TSettings& s) -> Extended& { return s.Ort.Breite; }, -3, -90, 90),
      Text("GeoFileName", [](TSettings& s) -> std::string& { return s.GeoFileName; }),
      Flag("Tabelle", [](TSettings& s) -> bool& { return s.Tabelle; }),
      // Zones of the world run from -12 to +14 hours.
      Single("BasisZeitzone", [](TSettings& s) -> float& { return s.BasisZeitzone; }, -3, -14, 14),
      Flag("AutoSommerzeit", [](TSettings& s) -> bool& { return s.AutoSommerzeit; }),
      Flag("AskEtKorr", [](TSettings& s) -> bool& { return s.AskEtKorr; }),
      Flag("TDT", [](TSettings& s) -> bool& { return s.TDT; }),
      // The precession formulas serve some hundred thousand years.
      Single("Aequinokt", [](TSettings& s) -> float& { return s.Aequinokt; }, -4, -100000, 100000),
      Flag("AequinTag", [](TSettings& s) -> bool& { return s.AequinTag; }),
      Flag("Nutation", [](TSettings& s) -> bool& { return s.Nutation; }),
      Flag("Aberration", [](TSettings& s) -> bool& { return s.Aberration; }),
      Flag("Lichtlaufzeit", [](TSettings& s) -> bool& { return s.Lichtlaufzeit; }),
      Integer("Objekt", [](TSettings& s) -> int32_t& { return s.Objekt; }, kArbitrary, kSmallBody),
      Integer("PlanetNr", [](TSettings& s) -> int32_t& { return s.PlanetNr; }, kMercury, kSmallBody),
      // Written with the table columns; the main section reads it once more
      // with its own default.
      Real("Schrittweite", [](TSettings& s) -> Extended& { return s.TableColumns.Schrittweite; }, kRoundTripDecimals,
           -kCalendarLimit_jd, kCalendarLimit_jd, KeySave::WithColumns),
      Flag("ShowJulDat", [](TSettings& s) -> bool& { return s.ShowJulDat; }),
      // A twilight depth takes the event kind 90 + depth of the rise and set
      // search; below -86 degrees that kind would be the Moon's rise and set.
      Single("DaemmTiefe", [](TSettings& s) -> float& { return s.DaemmTiefe; }, -3, -86, 90),
      Single("GrafikSkalierung", [](TSettings& s) -> float& { return s.GrafikSkalierung; }, -4, 0.01L, 100),
      Flag("RAGrad", [](TSettings& s) -> bool& { return s.RAGrad; }),
      Flag("NoMinutes", [](TSettings& s) -> bool& { return s.NoMinutes; }),
      Flag("NoSeconds", [](TSettings& s) -> bool& { return s.NoSeconds; }),
      Flag("Nautisch", [](TSettings& s) -> bool& { return s.Nautisch; }),
      Flag("NewDateFormat", [](TSettings& s) -> bool& { return s.NewDateFormat; }),
      Text("NewDateSep", [](TSettings& s) -> std::string& { return s.NewDateSep; }, 1, false),
      Single("LRand", [](TSettings& s) -> float& { return s.LRand; }, -3, 0, 500),
      Flag("SarosVariante", [](TSettings& s) -> bool& { return s.SarosVariante; }),
      Flag("PfadGrenzen", [](TSettings& s) -> bool& { return s.PfadGrenzen; }, KeySave::IfSpeichernAndOn),
      Text("Editor", [](TSettings& s) -> std::string& { return s.Editor; }),
      Text("SpaltenSeparator", [](TSettings& s) -> std::string& { return s.SpaltenSeparator; }, kMaxSeparatorChars),
  };
  return keys;
}

bool SameKey(const std::string& a, const char* b) {
  const std::size_t n = std::char_traits<char>::length(b);
  if (a.size() != n) return false;
  for (std::size_t i = 0; i < n; ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

// A number as the settings file writes it, for the messages.
std::string NumberText(Extended v) { return FormatSettingsReal(v, -7); }

std::string RangeText(const SettingsKey& k) { return NumberText(k.min) + " und " + NumberText(k.max); }

// The number a key's field holds.
Extended NumberOf(const SettingsKey& k, TSettings& s) {
  if (const auto* f = std::get_if<IntegerField>(&k.field)) return (*f)(s);
  if (const auto* f = std::get_if<RealField>(&k.field)) return (*f)(s);
  if (const auto* f = std::get_if<SingleField>(&k.field)) return (*f)(s);
  return 0;
}

// Whether `text` is a flag value: 1, 0, TRUE or FALSE in any case.
std::optional<bool> FlagValue(const std::string& text) {
  const std::string upper = UpperCaseLatin1(TrimBlanks(text));
  if (upper == "TRUE" || upper == "1") return true;
  if (upper == "FALSE" || upper == "0") return false;
  return std::nullopt;
}

// Whether `text` is a whole number written as such: an optional sign and
// digits, nothing else.
bool IsIntegerText(const std::string& text) {
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  if (i == text.size()) return false;
  return std::all_of(text.begin() + static_cast<std::ptrdiff_t>(i), text.end(),
                     [](char c) { return c >= '0' && c <= '9'; });
}

// Whether `text` is a decimal number and nothing else: a sign, digits with
// one decimal point or comma, an exponent.
bool IsNumberText(const std::string& text) {
  std::size_t i = 0, digits = 0;
  const auto isDigit = [&](std::size_t j) { return j < text.size() && text[j] >= '0' && text[j] <= '9'; };
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  while (isDigit(i)) ++i, ++digits;
  if (i < text.size() && (text[i] == '.' || text[i] == ',')) {
    ++i;
    while (isDigit(i)) ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    if (!isDigit(i)) return false;
    while (isDigit(i)) ++i;
  }
  return i == text.size();
}

}  // namespace

std::span<const SettingsKey> MainSettingsKeys() { return Table(); }

const SettingsKey* FindMainSettingsKey(const std::string& key) {
  for (const SettingsKey& k : Table()) {
    if (SameKey(key, k.key)) return &k;
  }
  return nullptr;
}

bool IsColumnsKey(const std::string& key) {
  if (SameKey(key, "ObjDarstell") || SameKey(key, "Schrittweite") || SameKey(key, "MondTopozentrisch")) return true;
  return std::any_of(std::begin(kColumnFlagKeys), std::end(kColumnFlagKeys),
                     [&](const ColumnFlagKey& k) { return SameKey(key, k.key); });
}

bool IsWindowKey(const std::string& key) {
  static constexpr std::array<const char*, 9> kWindowKeys = {"Fenster_X", "Fenster_Y",   "Fenster_W",
                                                             "Fenster_H", "Fenster_State", "ScreenFont",
                                                             "PrinterFont", "PrintLandscape", "LinkerRand"};
  return std::any_of(kWindowKeys.begin(), kWindowKeys.end(), [&](const char* k) { return SameKey(key, k); });
}

void ReadMainKeys(const IniDocument& ini, TSettings& s, std::vector<SettingsProblem>* problems) {
  for (const SettingsKey& k : Table()) {
    if (!k.read) continue;
    const std::optional<std::string> text = ini.Get(kMainSection, k.key);
    if (!text) continue;
    if (const auto* f = std::get_if<FlagField>(&k.field)) {
      (*f)(s) = ReadIniFlag(ini, kMainSection, k.key, (*f)(s));
      continue;
    }
    if (const auto* f = std::get_if<TextField>(&k.field)) {
      (*f)(s) = k.maxChars > 0 ? Utf8Left(*text, k.maxChars) : *text;
      continue;
    }
    // A text that holds no number would read as 0 (an integer: as the
    // default) without a word; Startdat = 0 is a day in 4713 BC.
    const bool integer = std::holds_alternative<IntegerField>(k.field);
    const std::string shown = TrimBlanks(*text);
    const bool noNumber = integer ? !IsIntegerText(shown) : std::none_of(shown.begin(), shown.end(), [](char c) {
      return c >= '0' && c <= '9';
    });
    Extended value = integer ? (noNumber ? 0 : std::strtold(shown.c_str(), nullptr)) : ParseNumber(*text);
    if (noNumber || !std::isfinite(value) || value < k.min || value > k.max) {
      if (problems != nullptr) {
        const std::string why = noNumber && integer           ? " ist keine ganze Zahl"
                                : noNumber || !std::isfinite(value) ? " ist keine Zahl"
                                                                    : " liegt nicht zwischen " + RangeText(k);
        const std::string what =
            shown.empty() ? std::string(k.key) + " ist leer" : std::string(k.key) + " = " + shown + why;
        problems->push_back({k.key, what + "; es gilt der Wert " + NumberText(NumberOf(k, s)) + "."});
      }
      continue;
    }
    if (const auto* f = std::get_if<IntegerField>(&k.field)) (*f)(s) = static_cast<int32_t>(value);
    if (const auto* f = std::get_if<RealField>(&k.field)) (*f)(s) = value;
    if (const auto* f = std::get_if<SingleField>(&k.field)) (*f)(s) = static_cast<float>(value);
  }
}

void WriteMainKey(IniDocument& ini, const SettingsKey& k, const TSettings& s) {
  // The accessors hand out references; here they are only read.
  TSettings& record = const_cast<TSettings&>(s);
  std::string text;
  if (const auto* f = std::get_if<FlagField>(&k.field)) {
    text = (*f)(record) ? "1" : "0";
  } else if (const auto* f = std::get_if<IntegerField>(&k.field)) {
    text = std::to_string((*f)(record));
  } else if (const auto* f = std::get_if<RealField>(&k.field)) {
    text = FormatSettingsReal((*f)(record), k.decimals);
  } else if (const auto* f = std::get_if<SingleField>(&k.field)) {
    text = FormatSettingsReal((*f)(record), k.decimals);
  } else {
    text = (*std::get_if<TextField>(&k.field))(record);
  }
  ini.Set(kMainSection, k.key, text);
}

std::optional<std::string> CheckSettingsValue(const SettingsKey& k, const std::string& value) {
  const std::string text = TrimBlanks(value);
  if (std::holds_alternative<TextField>(k.field)) return std::nullopt;
  if (std::holds_alternative<FlagField>(k.field)) {
    if (FlagValue(text)) return std::nullopt;
    return std::string(k.key) + " erwartet 1 oder 0 (TRUE oder FALSE), nicht \"" + value + "\".";
  }
  const bool integer = std::holds_alternative<IntegerField>(k.field);
  if (integer ? !IsIntegerText(text) : !IsNumberText(text)) {
    return std::string(k.key) + " erwartet " + (integer ? "eine ganze Zahl" : "eine Zahl") + ", nicht \"" + value +
           "\".";
  }
  const Extended number = ParseNumber(text);
  if (!std::isfinite(number)) return std::string(k.key) + " = " + text + " ist keine endliche Zahl.";
  if (number < k.min || number > k.max) {
    return std::string(k.key) + " = " + text + " liegt nicht zwischen " + RangeText(k) + ".";
  }
  return std::nullopt;
}

std::string FormatSettingsReal(Extended value, int decimals) {
  int places = decimals < 0 ? -decimals : decimals;
  if (decimals == kRoundTripDecimals) {
    // Significant digits that read back the same value, counted from the
    // first digit of the number.
    const int digits = std::numeric_limits<Extended>::max_digits10;
    const int magnitude = value == 0 ? 0 : static_cast<int>(std::floor(std::log10(std::fabs(value))));
    places = std::clamp(digits - 1 - magnitude, 0, 400);
  }
  if (!std::isfinite(value)) return "0";
  const int length = std::snprintf(nullptr, 0, "%.*Lf", places, value);
  if (length <= 0) return "0";
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  std::snprintf(text.data(), text.size(), "%.*Lf", places, value);
  text.resize(static_cast<std::size_t>(length));
  if (decimals < 0 && text.find('.') != std::string::npos) {
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
  }
  return text == "-0" ? "0" : text;
}

}  // namespace orb
