// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// Reading the settings record from the settings file's key vocabulary.

#include <string>
#include <vector>

#include "settings/IniDocument.h"
#include "settings/Settings.h"
#include "settings/SettingsKeys.h"

namespace orb {

inline constexpr const char* kMainSection = "Astronomieprogramm Einstellungen";
inline constexpr const char* kIniSection = "Ini";
inline constexpr const char* kCometSection = "Komet";
inline constexpr const char* kAsteroidFilesSection = "AsteroidFiles";
inline constexpr const char* kYearbookSectionPrefix = "Jahrbucheinstellungen ";

// Typed reads with the file's value forms. Missing keys give the default.
// Integer: decimal text; malformed text gives the default.
int32_t ReadIniInteger(const IniDocument& ini, const std::string& section, const std::string& key,
                       int32_t def);
// Flag: "TRUE" or "1" (any case) is true, "FALSE" or "0" false, anything
// else the default.
bool ReadIniFlag(const IniDocument& ini, const std::string& section, const std::string& key, bool def);
// Real: the lenient number reader; a text without digits gives 0.
Extended ReadIniReal(const IniDocument& ini, const std::string& section, const std::string& key,
                     Extended def);
// String: stored verbatim.
std::string ReadIniString(const IniDocument& ini, const std::string& section, const std::string& key,
                          const std::string& def);

// The column flags of TableColumns after ObjDarstell and Schrittweite, in
// the order in which the settings file holds their keys.
struct ColumnFlagKey {
  const char* key;
  bool TTableColumns::*field;
};
inline constexpr ColumnFlagKey kColumnFlagKeys[] = {
    {"Wochentag", &TTableColumns::Wochentag},     {"Datum", &TTableColumns::Datum},
    {"Uhrzeit", &TTableColumns::Uhrzeit},         {"RaDe", &TTableColumns::RaDe},
    {"StdwDe", &TTableColumns::StdwDe},           {"EklipKoor", &TTableColumns::EklipKoor},
    {"AzimKoor", &TTableColumns::AzimKoor},       {"AufUntAz", &TTableColumns::AufUntAz},
    {"AufKulmUnt", &TTableColumns::AufKulmUnt},   {"AEDaemm", &TTableColumns::AEDaemm},
    {"Entfernung", &TTableColumns::Entfernung},   {"Elongation", &TTableColumns::Elongation},
    {"Helligkeit", &TTableColumns::Helligkeit},   {"Durchmesser", &TTableColumns::Durchmesser},
    {"PhysEph", &TTableColumns::PhysEph},         {"Mondphase", &TTableColumns::Mondphase},
    {"Mondalter", &TTableColumns::Mondalter},
};

// The step of a TableColumns set whose section has none (the yearbook
// sections; the main section reads its step once more with the default 7).
inline constexpr Extended kColumnsDefaultStep_days = 10;

// Reads the TableColumns keys of `section` into `columns` (the step with the
// default 10; a step that is no finite number keeps it) and the key
// MondTopozentrisch into `mondTopozentrisch` (off when the section has none,
// so that one yearbook section's flag never carries over to the next).
void ReadTableColumns(const IniDocument& ini, const std::string& section, TTableColumns& columns,
                      bool& mondTopozentrisch);

// Reads every key of the main section into `s`, and the current element set
// of the section "Komet" after the table columns (without the
// normalisation). Keys that are absent keep the values `s` holds (the
// defaults of a fresh record); numbers that are no number or lie outside
// what the program can mean keep them too and are listed in `problems`
// (when given). An element set that describes no orbit
// (CurrentElementsProblem) is listed and not taken: `s` then holds none.
// A text that ends inside a line (IniDocument::CutLastLine, a file cut
// off) is listed last.
void ReadMainSettings(const IniDocument& ini, TSettings& s, std::vector<SettingsProblem>* problems = nullptr);

// ReadMainSettings followed by the start-up normalisation with `nowJD` as
// the computer's current instant.
void LoadSettings(const IniDocument& ini, TSettings& s, Extended nowJD,
                  std::vector<SettingsProblem>* problems = nullptr);

}  // namespace orb
