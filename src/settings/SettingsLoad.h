// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// Reading the settings record from the settings file's key vocabulary.

#include <string>

#include "settings/IniDocument.h"
#include "settings/Settings.h"

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

// Reads the TableColumns keys of `section` into `columns` (the step with the
// default 10) and the key MondTopozentrisch into `mondTopozentrisch`.
void ReadTableColumns(const IniDocument& ini, const std::string& section, TTableColumns& columns,
                      bool& mondTopozentrisch);

// Reads every key of the main section into `s`, and the current element set
// of the section "Komet" after the table columns, in the order of the
// settings file's load sequence (without the normalisation). Keys that are
// absent keep the values `s` holds (the defaults of a fresh record).
void ReadMainSettings(const IniDocument& ini, TSettings& s);

// ReadMainSettings followed by the start-up normalisation with `nowJD` as
// the computer's current instant.
void LoadSettings(const IniDocument& ini, TSettings& s, Extended nowJD);

}  // namespace orb
