// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// The key vocabulary of the settings file's main section "Astronomieprogramm
// Einstellungen": for every key its field of the settings record, its value
// form, the decimals it is written with, where it stands in the save
// sequence and the values the program can mean. Reading, writing, the
// defaults (those of a fresh TSettings) and the checks of the batch
// program's --set all come from this one table.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "core/NumKernel.h"
#include "settings/IniDocument.h"
#include "settings/Settings.h"

namespace orb {

// Decimals of a real written so that it reads back as the same value (as
// many significant digits as the extended type needs, then trailing zeros
// removed): the table step, which a table adds up to thousands of times.
inline constexpr int kRoundTripDecimals = -1000;

// The field a key feeds, by its value form: a flag ("1"/"0"), an integer,
// a real (extended or single precision) or a text.
using FlagField = bool& (*)(TSettings&);
using IntegerField = int32_t& (*)(TSettings&);
using RealField = Extended& (*)(TSettings&);
using SingleField = float& (*)(TSettings&);
using TextField = std::string& (*)(TSettings&);
using SettingsField = std::variant<FlagField, IntegerField, RealField, SingleField, TextField>;

// Where a key is written in the save sequence: before Speichern is looked at
// (DatSpeichern, Speichern; Startdat only when DatSpeichern is set), only
// when Speichern is set, or not by this table (the table step is written
// with the columns). IfSpeichernAndOn: a flag written only while it is on
// (and removed from the file while it is off), so that files written
// without it stay as they were.
enum class KeySave { Always, IfDatSpeichern, IfSpeichern, WithColumns, IfSpeichernAndOn };

struct SettingsKey {
  const char* key;
  SettingsField field;
  int decimals = 0;                 // reals: decimals written (negative: trailing zeros removed)
  KeySave save = KeySave::IfSpeichern;
  bool read = true;                 // false: written, never read back (NewDateSep)
  Extended min = -1e9L, max = 1e9L; // numbers the program can mean
  std::size_t maxChars = 0;         // texts: characters kept (0: all)
};

// The keys of the main section in the order of the save sequence. The table
// columns and the current element set are written after PlanetNr
// (kColumnsAfterKey), the obsolete key ObjDarstel is removed before
// SpaltenSeparator, the last key.
std::span<const SettingsKey> MainSettingsKeys();
inline constexpr const char* kColumnsAfterKey = "PlanetNr";

// The key of that name (section keys compare without regard to case), or
// null.
const SettingsKey* FindMainSettingsKey(const std::string& key);

// The keys of a TableColumns set (in the main section and in every yearbook
// section) and of the main window, which the main section holds as well.
bool IsColumnsKey(const std::string& key);
bool IsWindowKey(const std::string& key);

// What a settings file holds that the program cannot take: the key and a
// German sentence ("Ort.Breite = 95 liegt nicht zwischen -90 und 90; es
// gilt der Vorgabewert 51.74.").
struct SettingsProblem {
  std::string key;
  std::string text;
};

// Reads every key of the table that `ini` holds into `s` (keys that are
// absent keep what `s` holds). A number whose text holds no digit (an
// integer: that is no whole number), that is not finite or lies outside
// the key's range keeps that value too, and is reported in `problems`.
// Flags that cannot be read keep it silently.
void ReadMainKeys(const IniDocument& ini, TSettings& s, std::vector<SettingsProblem>* problems);

// Writes the key `k` of `s` into `ini`.
void WriteMainKey(IniDocument& ini, const SettingsKey& k, const TSettings& s);

// The German reason why `value` is no value the key can take (a flag that
// is none of 1, 0, TRUE, FALSE; an integer or number that is none or lies
// outside the range), or nothing when it can. The strict counterpart of the
// lenient file reader, for values a user types on the command line.
std::optional<std::string> CheckSettingsValue(const SettingsKey& k, const std::string& value);

// A real as the settings file writes it: fixed point with `decimals`
// decimals; negative: |decimals|, then trailing zeros and a trailing point
// removed; kRoundTripDecimals: enough digits to read back the same value.
std::string FormatSettingsReal(Extended value, int decimals);

}  // namespace orb
