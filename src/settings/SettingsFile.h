// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// The settings file "ORBITELLO.INI": where it is found, the typed reads and
// writes of its value forms, the save sequence of the settings record and
// the keys of the main window.
//
// The file is held in memory from opening to the end of the program; writes
// change the document only, Save replaces the file on disk in one step.

#include <cstdint>
#include <string>

#include "settings/IniDocument.h"
#include "settings/Settings.h"

namespace orb {

inline constexpr const char* kSettingsFileName = "ORBITELLO.INI";

// The program's own configuration folder: $XDG_CONFIG_HOME/orbitello32, or
// ~/.config/orbitello32 when XDG_CONFIG_HOME is unset, empty or not an
// absolute path. The folder need not exist.
std::string UserConfigDirectory();

// Locates the settings file called `name` (usually "ORBITELLO.INI"):
// 1. P := `name` when absolute, else workingDir "/" name;
// 2. the key IniFile of section "Ini" of P (trimmed) redirects: with the
//    flag UseWinDir the folder becomes `configDir`; P := the value when it
//    is absolute, else folder "/" value;
// 3. without IniFile, UseWinDir alone gives configDir "/" name.
// Files not found as written are looked up case-insensitively, component by
// component. The file located need not exist.
std::string LocateSettingsFile(const std::string& workingDir, const std::string& configDir,
                               const std::string& name = kSettingsFileName);

class SettingsFile {
 public:
  // A document without a file behind it (batch runs without settings file);
  // Save fails on it.
  SettingsFile() = default;

  // Opens the file at `path`; a file not found as written is looked up
  // case-insensitively. A missing file gives an empty document (reads give
  // the defaults, the first Save creates it). A leading UTF-8 byte-order
  // mark is skipped. An existing file that cannot be read (a folder, a FIFO,
  // a device, no permission, beyond 16 MB), is not in a readable encoding
  // (UTF-16, NUL bytes) or holds control characters other than tab and the
  // line ends (no text: binary data, a file overwritten by other data) also
  // gives an empty document; ReadErrorText then says why, and Save refuses
  // to replace the file, which thus stays as it is.
  static SettingsFile Open(const std::string& path);

  // "Einstellungsdatei <path> kann nicht gelesen werden: <reason>. Sie
  // bleibt, wie sie ist, und wird nicht überschrieben." for an existing
  // file that could not be read; empty otherwise.
  const std::string& ReadErrorText() const { return readErrorText_; }

  const std::string& Path() const { return path_; }
  const IniDocument& Document() const { return doc_; }
  IniDocument& Document() { return doc_; }

  // Typed reads; missing keys give the default (see SettingsLoad.h).
  int32_t ReadInteger(const std::string& section, const std::string& key, int32_t def) const;
  bool ReadFlag(const std::string& section, const std::string& key, bool def) const;
  Extended ReadReal(const std::string& section, const std::string& key, Extended def) const;
  std::string ReadString(const std::string& section, const std::string& key, const std::string& def) const;

  // Typed writes into the document.
  // Integer: decimal text.
  void WriteInteger(const std::string& section, const std::string& key, int32_t value);
  // Flag: "1" or "0".
  void WriteFlag(const std::string& section, const std::string& key, bool value);
  // Real in fixed point with a decimal point. decimals >= 0: exactly that
  // many decimals (15 with 1 gives "15.0"); decimals < 0: |decimals|
  // decimals, then trailing zeros and a trailing point removed (28 with -7
  // gives "28", 7.19 with -3 gives "7.19").
  void WriteReal(const std::string& section, const std::string& key, Extended value, int decimals);
  // String: verbatim, except that line breaks become blanks (a value cannot
  // span lines of the file).
  void WriteString(const std::string& section, const std::string& key, const std::string& value);
  void DeleteKey(const std::string& section, const std::string& key);

  // Writes the whole document to the file by ReplaceFileContents
  // (core/SafeFile.h): the file on disk is always either the old or the new
  // one, a missing folder is created, a symbolic link is followed and the
  // file's permissions are kept; a folder, FIFO or device in the file's
  // place and a write-protected file are refused, and so is a file that
  // could not be read. On failure returns false, leaves the old file
  // untouched and sets `errorText` to "Einstellungen konnten nicht
  // gespeichert werden: " path ": " reason.
  bool Save(std::string& errorText) const;

 private:
  std::string path_;
  IniDocument doc_;
  std::string readErrorReason_;  // why an existing file could not be read, in German
  std::string readErrorText_;    // the same as a whole sentence with the path
};

// LocateSettingsFile with the program's configuration folder, opened.
SettingsFile OpenSettingsFile(const std::string& workingDir);
// The same from the current working directory.
SettingsFile OpenSettingsFile();

// The name of the yearbook section of an object: "Jahrbucheinstellungen "
// followed by its name from PlanetNames ("Sonne", "Mond", "Merkur" ...).
std::string YearbookSectionName(const std::string& objectName);

// Writes the TableColumns keys of `section` in their order: ObjDarstell,
// Schrittweite (real, -7), Wochentag ... Mondalter, MondTopozentrisch.
void WriteTableColumns(SettingsFile& file, const std::string& section, const TTableColumns& columns,
                       bool mondTopozentrisch);

// Reads the main section into `s` and runs the start-up normalisation with
// `nowJD` (JD, UT) as the current instant.
void LoadSettings(const SettingsFile& file, TSettings& s, Extended nowJD);

// The save sequence of the settings record into the document, without
// writing the file: DatSpeichern (and Startdat when set), Speichern; when
// Speichern is set, every other persistent key, the removal of the obsolete
// key ObjDarstel, and SpaltenSeparator.
void WriteSettings(SettingsFile& file, const TSettings& s);

// WriteSettings followed by Save; returns the result of Save.
bool SaveSettings(SettingsFile& file, const TSettings& s, std::string& errorText);

// Fenster_State values.
inline constexpr int32_t kWindowNormal = 0;
inline constexpr int32_t kWindowMinimised = 1;
inline constexpr int32_t kWindowMaximised = 2;

// The main window's keys of the main section. Defaults: the designed
// position and size, not maximised, the built-in fonts, landscape printing
// and a left print margin of 15 mm.
struct WindowSettings {
  int32_t Fenster_X = 100;  // left edge (pixels)
  int32_t Fenster_Y = 100;  // top edge (pixels)
  int32_t Fenster_W = 900;  // width (pixels)
  int32_t Fenster_H = 650;  // height (pixels)
  int32_t Fenster_State = kWindowNormal;
  std::string ScreenFont;   // font text of the text area; empty: built-in font
  std::string PrinterFont;  // font text of printed text; empty: built-in font
  bool PrintLandscape = true;
  float LinkerRand = 15.0f;  // left margin of printed text (mm); read after LRand, so it wins
};

// Reads the window keys (the window takes LinkerRand over into LRand).
WindowSettings ReadWindowSettings(const SettingsFile& file);

// Writes Fenster_State; Fenster_X, _Y, _W, _H only for a normal window (a
// maximised or minimised window keeps its last normal geometry); ScreenFont,
// PrinterFont, PrintLandscape and LinkerRand with one decimal. The window
// calls it only when Speichern is set.
void WriteWindowSettings(SettingsFile& file, const WindowSettings& w);

}  // namespace orb
