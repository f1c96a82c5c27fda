// SPDX-License-Identifier: AGPL-3.0-or-later
// The settings file: where it is found, the written value forms, the save
// sequence, the window keys and the safe replacement of the file on disk.
#include "settings/SettingsFile.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <set>
#include <tuple>
#include <vector>

#include "core/TimeScales.h"
#include "settings/SettingsLoad.h"
#include "support/TempDir.h"

namespace orb {
namespace {

// A record with every default, saved by several tests.
const TSettings kDefaults{};
namespace fs = std::filesystem;

// A fixed "now" for the normalisation: 2026-12-08 12:00 UT.
const Extended kNow = CalendarToJD(2026, 12, 8.5L);
const std::string kMain = kMainSection;
const std::string kFailed = "Einstellungen konnten nicht gespeichert werden: ";

// Sets (or, with nullopt, removes) an environment variable for one scope.
class EnvVar {
 public:
  EnvVar(const char* name, std::optional<std::string> value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value) setenv(name, value->c_str(), 1);
    else unsetenv(name);
  }
  ~EnvVar() {
    if (old_) setenv(name_, old_->c_str(), 1);
    else unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

// Lowers the largest file size this process may write, so that a write
// fails as on a full disk (EFBIG instead of ENOSPC; SIGXFSZ is ignored).
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &old_);
    oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = old_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, oldHandler_);
  }

 private:
  rlimit old_{};
  void (*oldHandler_)(int) = nullptr;
};

std::set<std::string> Entries(const fs::path& dir) {
  std::set<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.insert(e.path().filename().string());
  return names;
}

std::string Value(const SettingsFile& f, const std::string& key) {
  return f.Document().Get(kMain, key).value_or("<fehlt>");
}

TEST(SettingsFile, UserConfigDirectory) {
  const EnvVar home("HOME", "/home/sterne");
  {
    const EnvVar xdg("XDG_CONFIG_HOME", "/etc/xdg-sterne/");
    EXPECT_EQ(UserConfigDirectory(), "/etc/xdg-sterne/orbitello32");
  }
  // Unset, empty or relative XDG_CONFIG_HOME: the default ~/.config.
  for (const std::optional<std::string>& value : {std::optional<std::string>(), std::optional<std::string>(""),
                                                 std::optional<std::string>("relativ")}) {
    const EnvVar xdg("XDG_CONFIG_HOME", value);
    EXPECT_EQ(UserConfigDirectory(), "/home/sterne/.config/orbitello32");
  }
}

TEST(SettingsFile, LocatingTheFile) {
  test::TempDir wd;
  const std::string cfg = (wd.path() / "cfg").string();
  const auto locate = [&] { return LocateSettingsFile(wd.path().string() + "/", cfg); };
  // No first file at all: the working directory's file, to be created.
  EXPECT_EQ(locate(), wd.file("ORBITELLO.INI"));
  // A lower-case copy from another system is found; UseWinDir alone names
  // the file of that name in the configuration folder.
  wd.write("orbitello.ini", "[Ini]\nIniFile=  \n");
  EXPECT_EQ(locate(), wd.file("orbitello.ini"));
  wd.write("orbitello.ini", "[Ini]\nUseWinDir=1\n");
  EXPECT_EQ(locate(), cfg + "/ORBITELLO.INI");
  // A bare IniFile name with UseWinDir 1: a file in the configuration folder.
  wd.write("orbitello.ini", "[Ini]\nIniFile=eigene.ini\nUseWinDir=1\n");
  EXPECT_EQ(locate(), cfg + "/eigene.ini");
  // A relative value without UseWinDir: below the working directory, found
  // case-insensitively.
  const std::string target = wd.write("woanders/Eigene.ini", "[Astronomieprogramm Einstellungen]\nOrt.Name=Bonn\n");
  wd.write("orbitello.ini", "[Ini]\nIniFile=WOANDERS/eigene.INI\n");
  EXPECT_EQ(locate(), target);
  // An absolute value names the file itself, whatever UseWinDir says; it is
  // the file whose keys are read.
  wd.write("orbitello.ini", "[Ini]\nIniFile= " + target + " \nUseWinDir=1\n");
  const EnvVar xdg("XDG_CONFIG_HOME", cfg);
  const SettingsFile f = OpenSettingsFile(wd.path().string());
  EXPECT_EQ(f.Path(), target);
  EXPECT_EQ(f.ReadString(kMain, "Ort.Name", "?"), "Bonn");
}

TEST(SettingsFile, ValuesReadFromDisk) {
  test::TempDir dir;
  // Decimal comma and CR LF line ends as a Windows editor leaves them.
  SettingsFile f = SettingsFile::Open(dir.write(
      "ORBITELLO.INI", "[Astronomieprogramm Einstellungen]\r\nStartdat=2455956,75\r\nNutation=true\r\n"
                       "Aberration=yes\r\n"));
  TSettings s;
  LoadSettings(f, s, kNow);
  EXPECT_EQ(s.Startdat, 2455956.75L);  // same number as "2455956.75", kept by DatSpeichern
  EXPECT_TRUE(s.Nutation);             // "true" upper-cased is "TRUE"
  EXPECT_FALSE(s.Aberration);          // "yes" is no flag value: the default FALSE
  f = SettingsFile::Open(dir.write("ORBITELLO.INI", "[Astronomieprogramm Einstellungen]\nNutation=yes\n"));
  TSettings fresh;
  LoadSettings(f, fresh, kNow);
  EXPECT_TRUE(fresh.Nutation);  // "yes": the default TRUE
}

TEST(SettingsFile, WrittenValueForms) {
  SettingsFile f;
  f.WriteReal(kMain, "DeltaTab", 28, -7);             // "28.0000000" less zeros and point
  f.WriteReal(kMain, "Ort.Laenge", 7.19L, -3);         // "7.190" less the zero
  f.WriteReal(kMain, "Startdat", 2455956.5L, -7);      // "2455956.5000000" less zeros
  f.WriteReal(kMain, "Ort.Breite", 51.74449L, -3);     // rounded to 3 decimals: 51.744
  f.WriteReal(kMain, "BasisZeitzone", -0.0001L, -3);   // "-0.000" is 0, without sign
  f.WriteReal(kMain, "Aequinokt", 1950.5f, -4);        // a single keeps its exact value 1950.5
  f.WriteReal(kMain, "LinkerRand", 15, 1);             // a positive count keeps its zeros
  f.WriteInteger(kMain, "Objekt", -2);
  f.WriteFlag(kMain, "TDT", true);
  f.WriteString(kMain, "Editor", "vi\n[Ini]\r\nIniFile=/etc/passwd");  // line breaks become blanks
  EXPECT_EQ(f.Document().Serialize(),
            "[Astronomieprogramm Einstellungen]\nDeltaTab=28\nOrt.Laenge=7.19\nStartdat=2455956.5\n"
            "Ort.Breite=51.744\nBasisZeitzone=0\nAequinokt=1950.5\nLinkerRand=15.0\nObjekt=-2\nTDT=1\n"
            "Editor=vi [Ini]  IniFile=/etc/passwd\n");
  f.DeleteKey(kMain, "editor");
  EXPECT_FALSE(f.Document().Get(kMain, "Editor").has_value());
  std::string error;
  EXPECT_FALSE(f.Save(error));  // a document without a file
  EXPECT_EQ(error, kFailed + "keine Einstellungsdatei");
}

TEST(SettingsFile, WithoutSpeichernOnlyTheStartDateIsWritten) {
  test::TempDir dir;
  SettingsFile f = SettingsFile::Open(dir.file("ORBITELLO.INI"));
  TSettings s;
  s.Speichern = false;
  s.DeltaTab = 99;  // changed, but not stored
  std::string error;
  ASSERT_TRUE(SaveSettings(f, s, error)) << error;
  // Steps 1 and 2 of the save sequence; Startdat 2455956.0 with -7 decimals is "2455956".
  EXPECT_EQ(test::TempDir::read(f.Path()),
            "[Astronomieprogramm Einstellungen]\nDatSpeichern=1\nStartdat=2455956\nSpeichern=0\n");
}

TEST(SettingsFile, FreshSaveWritesEveryKeyInOrder) {
  test::TempDir dir;
  SettingsFile f = SettingsFile::Open(dir.file("ORBITELLO.INI"));
  std::string error;
  ASSERT_TRUE(SaveSettings(f, kDefaults, error)) << error;
  // The defaults of the record in the save order; reals without trailing
  // zeros (Ort.Laenge 7.19, BasisZeitzone 1, Aequinokt 2000, Schrittweite 7,
  // DaemmTiefe 18, GrafikSkalierung 1, LRand 15); SpaltenSeparator is empty.
  EXPECT_EQ(test::TempDir::read(f.Path()),
            "[Astronomieprogramm Einstellungen]\nDatSpeichern=1\nStartdat=2455956\nSpeichern=1\n"
            "DeltaTab=28\nOrtsDatName=ORTE.DAT\nOrt.Name=Ortheim\nOrt.Laenge=7.19\nOrt.Breite=51.74\n"
            "GeoFileName=geo.dat\nTabelle=0\nBasisZeitzone=1\nAutoSommerzeit=0\nAskEtKorr=0\nTDT=0\n"
            "Aequinokt=2000\nAequinTag=0\nNutation=1\nAberration=0\nLichtlaufzeit=1\nObjekt=-1\nPlanetNr=1\n"
            "ObjDarstell=1\nSchrittweite=7\nWochentag=1\nDatum=1\nUhrzeit=1\nRaDe=1\nStdwDe=0\nEklipKoor=0\n"
            "AzimKoor=0\nAufUntAz=0\nAufKulmUnt=1\nAEDaemm=1\nEntfernung=0\nElongation=1\nHelligkeit=0\n"
            "Durchmesser=0\nPhysEph=0\nMondphase=1\nMondalter=1\nMondTopozentrisch=0\n"
            "ShowJulDat=0\nDaemmTiefe=18\nGrafikSkalierung=1\nRAGrad=0\nNoMinutes=0\nNoSeconds=0\nNautisch=0\n"
            "NewDateFormat=0\nNewDateSep=-\nLRand=15\nSarosVariante=0\nEditor=notepad.exe\nSpaltenSeparator=\n");
  EXPECT_EQ(Entries(dir.path()), std::set<std::string>{"ORBITELLO.INI"});  // no temporary file left
}

// PfadGrenzen, a flag younger than the file layout above, stands in the
// file only while it is on: switched off, the key goes, so that the file is
// as before; read back, it is on again.
TEST(SettingsFile, PathLimitsFlagOnlyWhileOn) {
  test::TempDir dir;
  SettingsFile f = SettingsFile::Open(dir.file("ORBITELLO.INI"));
  std::string error;
  TSettings s = kDefaults;
  s.PfadGrenzen = true;
  ASSERT_TRUE(SaveSettings(f, s, error)) << error;
  EXPECT_EQ(Value(SettingsFile::Open(f.Path()), "PfadGrenzen"), "1");
  TSettings back = kDefaults;
  LoadSettings(SettingsFile::Open(f.Path()), back, kDefaults.Startdat);
  EXPECT_TRUE(back.PfadGrenzen);
  s.PfadGrenzen = false;
  ASSERT_TRUE(SaveSettings(f, s, error)) << error;
  EXPECT_EQ(Value(SettingsFile::Open(f.Path()), "PfadGrenzen"), "<fehlt>");
}

TEST(SettingsFile, SaveKeepsOtherSectionsAndUnknownKeys) {
  test::TempDir dir;
  SettingsFile f = SettingsFile::Open(dir.write(
      "ORBITELLO.INI",
      "; von Hand\n[Astronomieprogramm Einstellungen]\nObjDarstel=1\nEigenerSchluessel=abc\nDeltaTab=10\n\n"
      "[Komet]\nName=C/1995 O1\n[Jahrbucheinstellungen Mond]\nRaDe=0\n"));
  std::string error;
  ASSERT_TRUE(SaveSettings(f, kDefaults, error)) << error;
  const SettingsFile back = SettingsFile::Open(f.Path());
  const std::string text = test::TempDir::read(f.Path());
  // The obsolete key is gone; the unknown key, the comment and the other
  // sections stay; DeltaTab is replaced in its place (default 28).
  EXPECT_FALSE(back.Document().Get(kMain, "ObjDarstel").has_value());
  EXPECT_EQ(Value(back, "ObjDarstell"), "1");
  EXPECT_EQ(text.rfind("; von Hand\n[Astronomieprogramm Einstellungen]\nEigenerSchluessel=abc\nDeltaTab=28\n", 0), 0u);
  EXPECT_NE(text.find("\n\n[Komet]\nName=C/1995 O1\n[Jahrbucheinstellungen Mond]\nRaDe=0\n"), std::string::npos);
}

TSettings EveryFieldChanged() {
  TSettings s;
  s.Startdat = 2460000.25L;
  s.DeltaTab = 365.5L;
  s.BasisZeitzone = -3.5f;
  s.AutoSommerzeit = s.TDT = s.AskEtKorr = s.AequinTag = s.Aberration = s.MondTopozentrisch = true;
  s.Nutation = s.Lichtlaufzeit = false;
  s.Aequinokt = 1950.5f;
  s.Objekt = kMoon;
  s.PlanetNr = kJupiter;
  s.Ort = {"Bad Münstereifel", -6.123L, 50.567L};
  s.OrtsDatName = "orte/eigene.dat";
  s.GeoFileName = "karte.dat";
  s.DaemmTiefe = 12.5f;
  s.ShowJulDat = s.RAGrad = s.NoMinutes = s.NoSeconds = s.Nautisch = s.NewDateFormat = true;
  s.SpaltenSeparator = "; ";
  s.LRand = 20.5f;
  s.GrafikSkalierung = 1.25f;
  s.Tabelle = s.SarosVariante = true;
  s.Editor = "gedit";
  TTableColumns& c = s.TableColumns;
  for (bool* flag : {&c.ObjDarstell, &c.Wochentag, &c.Datum, &c.Uhrzeit, &c.RaDe, &c.StdwDe, &c.EklipKoor,
                     &c.AzimKoor, &c.AufKulmUnt, &c.AEDaemm, &c.AufUntAz, &c.Entfernung, &c.Elongation,
                     &c.Helligkeit, &c.Durchmesser, &c.Mondphase, &c.Mondalter, &c.PhysEph})
    *flag = !*flag;
  c.Schrittweite = 1.0L / 1440;  // one minute: no finite decimal fraction
  return s;
}

TEST(SettingsFile, RoundTripOfEveryPersistentField) {
  test::TempDir dir;
  SettingsFile f = SettingsFile::Open(dir.file("ORBITELLO.INI"));
  std::string error;
  ASSERT_TRUE(SaveSettings(f, EveryFieldChanged(), error)) << error;
  TSettings back;
  LoadSettings(SettingsFile::Open(f.Path()), back, kNow);
  // Every persistent field has its own key (see the fresh save above) and
  // every changed value is exact in its written decimals; a field that did
  // not come back would be written with its default and differ.
  SettingsFile again;
  WriteSettings(again, back);
  EXPECT_EQ(again.Document().Serialize(), test::TempDir::read(f.Path()));
  // The step reads back exactly: with 7 decimals a minute came back as
  // 0.0006944 day, 3.8 ms short, and a table drifted a second in 260 rows.
  EXPECT_EQ(back.TableColumns.Schrittweite, 1.0L / 1440);
}

TEST(SettingsFile, WindowKeys) {
  SettingsFile f;
  WindowSettings w = ReadWindowSettings(f);  // no keys: the designed values
  EXPECT_EQ(std::tie(w.Fenster_X, w.Fenster_Y, w.Fenster_W, w.Fenster_H, w.Fenster_State),
            std::make_tuple(100, 100, 900, 650, kWindowNormal));
  EXPECT_TRUE(w.PrintLandscape);
  EXPECT_EQ(w.LinkerRand, 15.0f);
  WriteWindowSettings(f, w);
  // Empty fonts mean the built-in ones; LinkerRand has exactly one decimal.
  EXPECT_EQ(f.Document().Serialize(),
            "[Astronomieprogramm Einstellungen]\nFenster_State=0\nFenster_X=100\nFenster_Y=100\n"
            "Fenster_W=900\nFenster_H=650\nScreenFont=\nPrinterFont=\nPrintLandscape=1\nLinkerRand=15.0\n");
  // A maximised window stores its state and keeps the last normal geometry.
  w = {0, 0, 1920, 1080, kWindowMaximised, "Courier New,10,0000,clWindowText", "", false, 12.5f};
  WriteWindowSettings(f, w);
  EXPECT_EQ(std::make_tuple(Value(f, "Fenster_State"), Value(f, "Fenster_W"), Value(f, "ScreenFont")),
            std::make_tuple("2", "900", w.ScreenFont));
  // LinkerRand 12.5 wins over LRand 20 for the print margin.
  f.WriteReal(kMain, "LRand", 20, -3);
  TSettings s;
  LoadSettings(f, s, kNow);
  EXPECT_EQ(s.LRand, 20.0f);
  EXPECT_EQ(ReadWindowSettings(f).LinkerRand, 12.5f);
}

TEST(SettingsFile, YearbookColumnsGoToTheirSection) {
  SettingsFile f;
  WriteTableColumns(f, YearbookSectionName("Mond"), TTableColumns{}, true);
  EXPECT_EQ(f.Document().Get("Jahrbucheinstellungen Mond", "MondTopozentrisch").value_or("?"), "1");
  EXPECT_FALSE(f.Document().HasSection(kMain));
}

TEST(SettingsFile, SaveCreatesTheConfigurationFolder) {
  test::TempDir wd;
  const EnvVar xdg("XDG_CONFIG_HOME", (wd.path() / "cfg").string());
  wd.write("ORBITELLO.INI", "[Ini]\nUseWinDir=1\n");
  SettingsFile f = OpenSettingsFile(wd.path().string());
  ASSERT_EQ(f.Path(), wd.file("cfg/orbitello32/ORBITELLO.INI"));
  f.WriteString(kMain, "Ort.Name", "Bonn");
  std::string error;
  ASSERT_TRUE(f.Save(error)) << error;
  EXPECT_EQ(test::TempDir::read(f.Path()), "[Astronomieprogramm Einstellungen]\nOrt.Name=Bonn\n");
  EXPECT_EQ(Entries(wd.path() / "cfg/orbitello32"), std::set<std::string>{"ORBITELLO.INI"});
}

TEST(SettingsFile, FullDiskKeepsTheOldFile) {
  test::TempDir dir;
  const std::string old = "[Astronomieprogramm Einstellungen]\nOrt.Name=Bonn\n";
  SettingsFile f = SettingsFile::Open(dir.write("ORBITELLO.INI", old));
  f.WriteString(kMain, "Editor", std::string(20000, 'x'));  // beyond the 4096-byte limit below
  std::string error;
  {
    const FileSizeLimit limit(4096);
    EXPECT_FALSE(f.Save(error));
  }
  EXPECT_EQ(error, kFailed + f.Path() + ": Datei zu groß");  // EFBIG
  EXPECT_EQ(test::TempDir::read(f.Path()), old);
  EXPECT_EQ(Entries(dir.path()), std::set<std::string>{"ORBITELLO.INI"});
}

TEST(SettingsFile, UnreadableFileIsNeverReplaced) {
  // A file in the settings file's place that cannot be read as one: the
  // defaults are read, the reason is told, and the save must not replace
  // what it could not read. A FIFO must not make the opening wait for a
  // writer.
  const std::string section = "[Astronomieprogramm Einstellungen]\r\nOrt.Name=Bonn\r\n";
  std::string utf16le = "\xFF\xFE", utf16be = "\xFE\xFF", noMark;
  for (char c : section) {
    utf16le += {c, '\0'};
    utf16be += {'\0', c};
    noMark += {c, '\0'};
  }
  struct Case {
    const char* what;
    std::function<void(const std::string& path)> make;
    std::string reason;
    std::function<bool(const std::string& path)> unchanged;
  };
  const auto holds = [](const std::string& text) {
    return [text](const std::string& path) { return test::TempDir::read(path) == text; };
  };
  const auto writes = [](const std::string& text) {
    return [text](const std::string& path) { std::ofstream(path, std::ios::binary) << text; };
  };
  const std::vector<Case> cases = {
      {"FIFO", [](const std::string& path) { ASSERT_EQ(mkfifo(path.c_str(), 0600), 0); },
       "Keine gewöhnliche Datei", [](const std::string& path) { return fs::is_fifo(path); }},
      {"folder", [](const std::string& path) { fs::create_directory(path); }, "Ist ein Verzeichnis",
       [](const std::string& path) { return fs::is_directory(path); }},
      {"UTF-16 little-endian", writes(utf16le), "Die Datei ist in UTF-16 gespeichert; bitte als UTF-8 speichern",
       holds(utf16le)},
      {"UTF-16 big-endian", writes(utf16be), "Die Datei ist in UTF-16 gespeichert; bitte als UTF-8 speichern",
       holds(utf16be)},
      {"UTF-16 without mark", writes(noMark),
       "Die Datei enthält Nullbytes (UTF-16 ohne Kennung oder keine Textdatei)", holds(noMark)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    test::TempDir dir;
    const std::string path = dir.file("ORBITELLO.INI");
    c.make(path);
    SettingsFile f = SettingsFile::Open(path);
    EXPECT_EQ(f.ReadErrorText(), "Einstellungsdatei " + path + " kann nicht gelesen werden: " + c.reason +
                                  ". Sie bleibt, wie sie ist, und wird nicht überschrieben.");
    EXPECT_EQ(f.ReadString(kMain, "Ort.Name", "Standard"), "Standard");
    std::string error;
    EXPECT_FALSE(SaveSettings(f, kDefaults, error));
    EXPECT_EQ(error, kFailed + path + ": " + c.reason);
    EXPECT_TRUE(c.unchanged(path));
    EXPECT_EQ(Entries(dir.path()), std::set<std::string>{"ORBITELLO.INI"});
  }
}

TEST(SettingsFile, Utf8ByteOrderMarkIsSkipped) {
  // Windows editors save UTF-8 with a byte-order mark before the first
  // section header; the section must still be found.
  test::TempDir dir;
  SettingsFile f = SettingsFile::Open(
      dir.write("ORBITELLO.INI", "\xEF\xBB\xBF[Astronomieprogramm Einstellungen]\r\nOrt.Name=M\xC3\xBCnster\r\n"));
  EXPECT_EQ(f.ReadErrorText(), "");
  TSettings s;
  LoadSettings(f, s, kNow);
  EXPECT_EQ(s.Ort.Name, "Münster");
  std::string error;
  ASSERT_TRUE(f.Save(error)) << error;
  EXPECT_EQ(test::TempDir::read(f.Path()), "[Astronomieprogramm Einstellungen]\nOrt.Name=Münster\n");
}

TEST(SettingsFile, SaveKeepsPermissionsAndLinks) {
  test::TempDir dir;
  const std::string real = dir.write("echt.ini", "[Ini]\n");
  fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  fs::create_symlink("echt.ini", dir.path() / "ORBITELLO.INI");
  SettingsFile f = SettingsFile::Open(dir.file("ORBITELLO.INI"));
  f.WriteFlag(kMain, "TDT", true);
  std::string error;
  ASSERT_TRUE(f.Save(error)) << error;
  EXPECT_TRUE(fs::is_symlink(dir.path() / "ORBITELLO.INI"));
  EXPECT_EQ(test::TempDir::read(real), "[Ini]\n[Astronomieprogramm Einstellungen]\nTDT=1\n");
  EXPECT_EQ(fs::status(real).permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(Entries(dir.path()), (std::set<std::string>{"ORBITELLO.INI", "echt.ini"}));
}

}  // namespace
}  // namespace orb
