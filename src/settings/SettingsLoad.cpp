// SPDX-License-Identifier: AGPL-3.0-or-later
#include "settings/SettingsLoad.h"

#include <charconv>
#include <cmath>

#include "core/NumText.h"
#include "settings/CurrentElements.h"
#include "settings/NumberReader.h"

namespace orb {

int32_t ReadIniInteger(const IniDocument& ini, const std::string& section, const std::string& key,
                       int32_t def) {
  const auto text = ini.Get(section, key);
  if (!text || text->empty()) return def;
  const char* first = text->data();
  const char* last = first + text->size();
  if (*first == '+') ++first;
  int32_t value = 0;
  const auto [ptr, ec] = std::from_chars(first, last, value);
  if (ec != std::errc() || ptr != last) return def;
  return value;
}

bool ReadIniFlag(const IniDocument& ini, const std::string& section, const std::string& key, bool def) {
  const auto text = ini.Get(section, key);
  if (!text) return def;
  const std::string upper = UpperCaseLatin1(*text);
  if (upper == "TRUE" || upper == "1") return true;
  if (upper == "FALSE" || upper == "0") return false;
  return def;
}

Extended ReadIniReal(const IniDocument& ini, const std::string& section, const std::string& key,
                     Extended def) {
  const auto text = ini.Get(section, key);
  if (!text) return def;
  return ParseNumber(*text);
}

std::string ReadIniString(const IniDocument& ini, const std::string& section, const std::string& key,
                          const std::string& def) {
  return ini.Get(section, key).value_or(def);
}

void ReadTableColumns(const IniDocument& ini, const std::string& section, TTableColumns& c,
                      bool& mondTopozentrisch) {
  c.ObjDarstell = ReadIniFlag(ini, section, "ObjDarstell", c.ObjDarstell);
  const Extended step = ReadIniReal(ini, section, "Schrittweite", kColumnsDefaultStep_days);
  c.Schrittweite = std::isfinite(step) ? step : kColumnsDefaultStep_days;
  for (const ColumnFlagKey& k : kColumnFlagKeys) c.*k.field = ReadIniFlag(ini, section, k.key, c.*k.field);
  mondTopozentrisch = ReadIniFlag(ini, section, "MondTopozentrisch", false);
}

void ReadMainSettings(const IniDocument& ini, TSettings& s, std::vector<SettingsProblem>* problems) {
  ReadTableColumns(ini, kMainSection, s.TableColumns, s.MondTopozentrisch);
  // The main section's step: its own default, not the columns' 10.
  s.TableColumns.Schrittweite = TSettings{}.TableColumns.Schrittweite;
  LoadCurrentElements(ini, s.CurrentElements);
  if (const std::string why = CurrentElementsProblem(ini, s.CurrentElements); !why.empty()) {
    // A body without a usable orbit is no body: no table computes it, and
    // its keys stay in the file as they are (no set is written back).
    if (problems != nullptr) {
      problems->push_back({kCometSection, "Die Bahnelemente von " + s.CurrentElements.name +
                                              " im Abschnitt [Komet] sind unbrauchbar: " + why +
                                              ". Es ist kein Komet und kein Kleinplanet eingestellt."});
    }
    s.CurrentElements = CometBahnTyp{};
  }
  ReadMainKeys(ini, s, problems);
  if (problems != nullptr && !ini.CutLastLine().empty()) {
    problems->push_back({{}, "Die Einstellungsdatei endet mitten in der Zeile \"" + ini.CutLastLine() +
                                 "\"; sie ist wohl abgeschnitten. Was danach stand, fehlt; dafür gelten die "
                                 "Vorgabewerte."});
  }
}

void LoadSettings(const IniDocument& ini, TSettings& s, Extended nowJD, std::vector<SettingsProblem>* problems) {
  ReadMainSettings(ini, s, problems);
  NormaliseSettings(s, nowJD);
}

}  // namespace orb
