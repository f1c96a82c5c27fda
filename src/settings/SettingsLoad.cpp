// SPDX-License-Identifier: AGPL-3.0-or-later
#include "settings/SettingsLoad.h"

#include <charconv>

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
  c.Schrittweite = static_cast<float>(ReadIniReal(ini, section, "Schrittweite", 10));
  for (const ColumnFlagKey& k : kColumnFlagKeys) c.*k.field = ReadIniFlag(ini, section, k.key, c.*k.field);
  mondTopozentrisch = ReadIniFlag(ini, section, "MondTopozentrisch", mondTopozentrisch);
}

void ReadMainSettings(const IniDocument& ini, TSettings& s) {
  const std::string sec = kMainSection;
  const auto flag = [&](const char* key, bool& field) { field = ReadIniFlag(ini, sec, key, field); };
  const auto real = [&](const char* key, Extended def) { return ReadIniReal(ini, sec, key, def); };
  const auto single = [&](const char* key, float def) { return static_cast<float>(ReadIniReal(ini, sec, key, def)); };

  ReadTableColumns(ini, sec, s.TableColumns, s.MondTopozentrisch);
  LoadCurrentElements(ini, s.CurrentElements);
  flag("Speichern", s.Speichern);
  flag("DatSpeichern", s.DatSpeichern);
  s.OrtsDatName = ReadIniString(ini, sec, "OrtsDatName", "ORTE.DAT");
  s.Ort.Name = Utf8Left(ReadIniString(ini, sec, "Ort.Name", "Ortheim"), kMaxPlaceNameChars);
  s.Ort.Laenge = real("Ort.Laenge", 7.19L);
  s.Ort.Breite = real("Ort.Breite", 51.74L);
  s.GeoFileName = ReadIniString(ini, sec, "GeoFileName", "geo.dat");
  flag("Tabelle", s.Tabelle);
  s.Startdat = real("Startdat", 2455956.0L);
  s.DeltaTab = real("DeltaTab", 28);
  s.TableColumns.Schrittweite = single("Schrittweite", 7);
  s.BasisZeitzone = single("BasisZeitzone", 1);
  flag("AutoSommerzeit", s.AutoSommerzeit);
  flag("AskEtKorr", s.AskEtKorr);
  flag("TDT", s.TDT);
  s.Aequinokt = single("Aequinokt", 2000);
  flag("AequinTag", s.AequinTag);
  flag("Nutation", s.Nutation);
  flag("Aberration", s.Aberration);
  flag("Lichtlaufzeit", s.Lichtlaufzeit);
  s.Objekt = ReadIniInteger(ini, sec, "Objekt", -1);
  s.PlanetNr = ReadIniInteger(ini, sec, "PlanetNr", 1);
  s.DaemmTiefe = single("DaemmTiefe", 18);
  flag("ShowJulDat", s.ShowJulDat);
  flag("RAGrad", s.RAGrad);
  s.GrafikSkalierung = single("GrafikSkalierung", 1);
  flag("NoMinutes", s.NoMinutes);
  flag("NoSeconds", s.NoSeconds);
  flag("Nautisch", s.Nautisch);
  flag("NewDateFormat", s.NewDateFormat);
  s.SpaltenSeparator = Utf8Left(ReadIniString(ini, sec, "SpaltenSeparator", ""), kMaxSeparatorChars);
  s.LRand = single("LRand", 15);
  s.Editor = ReadIniString(ini, sec, "Editor", "notepad.exe");
  flag("SarosVariante", s.SarosVariante);
}

void LoadSettings(const IniDocument& ini, TSettings& s, Extended nowJD) {
  ReadMainSettings(ini, s);
  NormaliseSettings(s, nowJD);
}

}  // namespace orb
