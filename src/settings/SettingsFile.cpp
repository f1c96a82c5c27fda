// SPDX-License-Identifier: AGPL-3.0-or-later
#include "settings/SettingsFile.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "core/NumKernel.h"
#include "core/NumText.h"
#include "core/SafeFile.h"
#include "settings/CurrentElements.h"
#include "settings/SettingsLoad.h"

namespace orb {
namespace fs = std::filesystem;

namespace {

constexpr const char* kSaveFailed = "Einstellungen konnten nicht gespeichert werden: ";
constexpr const char* kReadFailed = " kann nicht gelesen werden: ";
constexpr const char* kKeptUnchanged = ". Sie bleibt, wie sie ist, und wird nicht überschrieben.";
// Far beyond any settings file; a bigger file is not taken for one.
constexpr std::size_t kMaxSettingsBytes = 16u << 20;

// Why the text of a settings file cannot be taken as such, or "". The
// program reads UTF-8 and single-byte text; a UTF-16 file (as some editors
// save it) would read as one garbled section.
std::string EncodingProblem(const std::string& text) {
  if (text.rfind("\xFF\xFE", 0) == 0 || text.rfind("\xFE\xFF", 0) == 0)
    return "Die Datei ist in UTF-16 gespeichert; bitte als UTF-8 speichern";
  if (text.find('\0') != std::string::npos)
    return "Die Datei enthält Nullbytes (UTF-16 ohne Kennung oder keine Textdatei)";
  // Other control characters than tab and the line ends make no settings
  // file (a picture or a program named by mistake, or a file overwritten by
  // other data); saving into it would destroy what it is. A DOS end-of-file
  // mark (Ctrl-Z) may end the text.
  const std::size_t length = text.size() - (text.ends_with('\x1A') ? 1 : 0);
  for (std::size_t i = 0; i < length; ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if ((c < 0x20 && c != '\t' && c != '\n' && c != '\r') || c == 0x7F) {
      const auto line = 1 + std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(i), '\n');
      return "Die Datei enthält Steuerzeichen (Zeile " + std::to_string(line) +
             "); sie ist keine Textdatei oder beschädigt";
    }
  }
  return {};
}

bool IsAbsolute(const std::string& path) { return !path.empty() && path.front() == '/'; }

std::string WithoutTrailingSlash(std::string dir) {
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  return dir;
}

std::string JoinDir(const std::string& dir, const std::string& name) {
  if (dir.empty()) return name;
  return dir.back() == '/' ? dir + name : dir + "/" + name;
}

// The path as found on disk (case-insensitive lookup), or as written when
// nothing matches.
std::string AsFound(const std::string& path) {
  const std::string found = ResolvePathCaseInsensitive(path);
  return found.empty() ? path : found;
}

std::string HomeDirectory() {
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] != '\0') return WithoutTrailingSlash(home);
  const passwd* pw = getpwuid(getuid());
  if (pw != nullptr && pw->pw_dir != nullptr && pw->pw_dir[0] != '\0') return WithoutTrailingSlash(pw->pw_dir);
  return ".";
}

}  // namespace

std::string UserConfigDirectory() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg != nullptr && IsAbsolute(xdg)) return JoinDir(WithoutTrailingSlash(xdg), "orbitello32");
  return JoinDir(HomeDirectory(), ".config/orbitello32");
}

std::string LocateSettingsFile(const std::string& workingDir, const std::string& configDir,
                               const std::string& name) {
  std::string dir = WithoutTrailingSlash(workingDir);
  const SettingsFile first = SettingsFile::Open(IsAbsolute(name) ? name : JoinDir(dir, name));
  const std::string iniFile = TrimBlanks(first.ReadString(kIniSection, "IniFile", ""));
  const bool useWinDir = first.ReadFlag(kIniSection, "UseWinDir", false);
  if (!iniFile.empty()) {
    if (useWinDir) dir = WithoutTrailingSlash(configDir);
    return AsFound(IsAbsolute(iniFile) ? iniFile : JoinDir(dir, iniFile));
  }
  if (useWinDir) return AsFound(JoinDir(WithoutTrailingSlash(configDir), name));
  return first.Path();
}

SettingsFile SettingsFile::Open(const std::string& path) {
  SettingsFile file;
  file.path_ = AsFound(path);
  std::string text;
  const FileResult read = ReadRegularFile(file.path_, text, kMaxSettingsBytes);
  if (read.ok()) file.readErrorReason_ = EncodingProblem(text);
  else if (!IsMissingFile(read.error)) file.readErrorReason_ = read.reason;
  if (!file.readErrorReason_.empty()) {
    file.readErrorText_ = "Einstellungsdatei " + file.path_ + kReadFailed + file.readErrorReason_ + kKeptUnchanged;
  } else if (read.ok()) {
    file.doc_ = IniDocument::Parse(text);
  }
  return file;
}

int32_t SettingsFile::ReadInteger(const std::string& section, const std::string& key, int32_t def) const {
  return ReadIniInteger(doc_, section, key, def);
}

bool SettingsFile::ReadFlag(const std::string& section, const std::string& key, bool def) const {
  return ReadIniFlag(doc_, section, key, def);
}

Extended SettingsFile::ReadReal(const std::string& section, const std::string& key, Extended def) const {
  return ReadIniReal(doc_, section, key, def);
}

std::string SettingsFile::ReadString(const std::string& section, const std::string& key,
                                     const std::string& def) const {
  return ReadIniString(doc_, section, key, def);
}

void SettingsFile::WriteInteger(const std::string& section, const std::string& key, int32_t value) {
  doc_.Set(section, key, std::to_string(value));
}

void SettingsFile::WriteFlag(const std::string& section, const std::string& key, bool value) {
  doc_.Set(section, key, value ? "1" : "0");
}

void SettingsFile::WriteReal(const std::string& section, const std::string& key, Extended value, int decimals) {
  doc_.Set(section, key, FormatSettingsReal(value, decimals));
}

void SettingsFile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
  std::string oneLine = value;
  for (char& c : oneLine)
    if (c == '\n' || c == '\r') c = ' ';
  doc_.Set(section, key, oneLine);
}

void SettingsFile::DeleteKey(const std::string& section, const std::string& key) { doc_.Remove(section, key); }

bool SettingsFile::Save(std::string& errorText) const {
  if (path_.empty()) {
    errorText = std::string(kSaveFailed) + "keine Einstellungsdatei";
    return false;
  }
  // A file that exists but could not be read is never replaced: its keys
  // are not in the document and would be lost.
  if (!readErrorReason_.empty()) {
    errorText = kSaveFailed + path_ + ": " + readErrorReason_;
    return false;
  }
  ReplaceOptions options;
  options.createFolders = true;
  const FileResult written = ReplaceFileContents(path_, doc_.Serialize(), options);
  if (written.ok()) return true;
  errorText = kSaveFailed + path_ + ": " + written.reason;
  return false;
}

SettingsFile OpenSettingsFile(const std::string& workingDir) {
  return SettingsFile::Open(LocateSettingsFile(workingDir, UserConfigDirectory()));
}

SettingsFile OpenSettingsFile() {
  std::error_code ec;
  const fs::path cwd = fs::current_path(ec);
  return OpenSettingsFile(ec ? std::string(".") : cwd.string());
}

std::string YearbookSectionName(const std::string& objectName) { return kYearbookSectionPrefix + objectName; }

void WriteTableColumns(SettingsFile& file, const std::string& section, const TTableColumns& c,
                       bool mondTopozentrisch) {
  file.WriteFlag(section, "ObjDarstell", c.ObjDarstell);
  file.WriteReal(section, "Schrittweite", c.Schrittweite, kRoundTripDecimals);
  for (const ColumnFlagKey& k : kColumnFlagKeys) file.WriteFlag(section, k.key, c.*k.field);
  file.WriteFlag(section, "MondTopozentrisch", mondTopozentrisch);
}

void LoadSettings(const SettingsFile& file, TSettings& s, Extended nowJD) {
  LoadSettings(file.Document(), s, nowJD);
}

void WriteSettings(SettingsFile& file, const TSettings& s) {
  IniDocument& ini = file.Document();
  for (const SettingsKey& k : MainSettingsKeys()) {
    if (k.save == KeySave::WithColumns) continue;
    if (k.save == KeySave::IfDatSpeichern && !s.DatSpeichern) continue;
    if (k.save == KeySave::IfSpeichern && !s.Speichern) break;
    if (k.save == KeySave::IfSpeichernAndOn) {
      if (!s.Speichern) break;
      if (const auto* f = std::get_if<FlagField>(&k.field); f != nullptr && !(*f)(const_cast<TSettings&>(s))) {
        file.DeleteKey(kMainSection, k.key);
        continue;
      }
    }
    if (std::string(k.key) == "SpaltenSeparator") file.DeleteKey(kMainSection, "ObjDarstel");
    WriteMainKey(ini, k, s);
    if (std::string(k.key) == kColumnsAfterKey) {
      WriteTableColumns(file, kMainSection, s.TableColumns, s.MondTopozentrisch);
      SaveCurrentElements(file, s.CurrentElements);
    }
  }
}

bool SaveSettings(SettingsFile& file, const TSettings& s, std::string& errorText) {
  WriteSettings(file, s);
  return file.Save(errorText);
}

WindowSettings ReadWindowSettings(const SettingsFile& file) {
  const std::string sec = kMainSection;
  WindowSettings w;
  w.Fenster_X = file.ReadInteger(sec, "Fenster_X", w.Fenster_X);
  w.Fenster_Y = file.ReadInteger(sec, "Fenster_Y", w.Fenster_Y);
  w.Fenster_W = file.ReadInteger(sec, "Fenster_W", w.Fenster_W);
  w.Fenster_H = file.ReadInteger(sec, "Fenster_H", w.Fenster_H);
  w.Fenster_State = file.ReadInteger(sec, "Fenster_State", w.Fenster_State);
  w.ScreenFont = file.ReadString(sec, "ScreenFont", w.ScreenFont);
  w.PrinterFont = file.ReadString(sec, "PrinterFont", w.PrinterFont);
  w.PrintLandscape = file.ReadFlag(sec, "PrintLandscape", w.PrintLandscape);
  w.LinkerRand = static_cast<float>(file.ReadReal(sec, "LinkerRand", w.LinkerRand));
  return w;
}

void WriteWindowSettings(SettingsFile& file, const WindowSettings& w) {
  const std::string sec = kMainSection;
  file.WriteInteger(sec, "Fenster_State", w.Fenster_State);
  if (w.Fenster_State == kWindowNormal) {
    file.WriteInteger(sec, "Fenster_X", w.Fenster_X);
    file.WriteInteger(sec, "Fenster_Y", w.Fenster_Y);
    file.WriteInteger(sec, "Fenster_W", w.Fenster_W);
    file.WriteInteger(sec, "Fenster_H", w.Fenster_H);
  }
  file.WriteString(sec, "ScreenFont", w.ScreenFont);
  file.WriteString(sec, "PrinterFont", w.PrinterFont);
  file.WriteFlag(sec, "PrintLandscape", w.PrintLandscape);
  file.WriteReal(sec, "LinkerRand", w.LinkerRand, 1);
}

}  // namespace orb
