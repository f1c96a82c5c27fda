// SPDX-License-Identifier: AGPL-3.0-or-later
#include "settings/SettingsFile.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "core/NumKernel.h"
#include "core/NumText.h"
#include "settings/CurrentElements.h"
#include "settings/SettingsLoad.h"

namespace orb {
namespace fs = std::filesystem;

namespace {

constexpr const char* kSaveFailed = "Einstellungen konnten nicht gespeichert werden: ";

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

// The reason of a failed file operation in German.
std::string ErrorReason(int err) {
  switch (err) {
    case EACCES: return "Keine Berechtigung";
    case EPERM: return "Die Operation ist nicht erlaubt";
    case ENOENT: return "Datei oder Verzeichnis nicht gefunden";
    case ENOTDIR: return "Ist kein Verzeichnis";
    case EISDIR: return "Ist ein Verzeichnis";
    case EINVAL: return "Keine gewöhnliche Datei";
    case ENOSPC: return "Auf dem Gerät ist kein Speicherplatz mehr verfügbar";
    case EDQUOT: return "Der zugewiesene Speicherplatz ist erschöpft";
    case EFBIG: return "Datei zu groß";
    case EROFS: return "Das Dateisystem ist nur lesbar";
    case EIO: return "Eingabe-/Ausgabefehler";
    case ENAMETOOLONG: return "Der Dateiname ist zu lang";
    case EEXIST: return "Die Datei existiert bereits";
    default: return "Systemfehler " + std::to_string(err);
  }
}

// Reads a regular file whole. Returns 0, or the errno: ENOENT or ENOTDIR
// when it does not exist, EISDIR for a folder, EINVAL for anything else
// that is not a regular file (a FIFO is never waited on).
int ReadWholeFile(const std::string& path, std::string& text) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return errno;
  struct stat st {};
  int err = fstat(fd, &st) != 0 ? errno : 0;
  if (err == 0 && !S_ISREG(st.st_mode)) err = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
  char buf[65536];
  while (err == 0) {
    const ssize_t n = read(fd, buf, sizeof buf);
    if (n == 0) break;
    if (n < 0 && errno != EINTR) err = errno;
    if (n > 0) text.append(buf, static_cast<std::size_t>(n));
  }
  close(fd);
  return err;
}

// The file a symbolic link (chain) finally names; the path itself otherwise.
fs::path FollowLinks(fs::path path) {
  std::error_code ec;
  for (int hop = 0; hop < 40 && fs::is_symlink(fs::symlink_status(path, ec)); ++hop) {
    const fs::path target = fs::read_symlink(path, ec);
    if (ec) break;
    path = target.is_absolute() ? target : path.parent_path() / target;
  }
  return path;
}

int WriteAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return n < 0 ? errno : EIO;
    done += static_cast<std::size_t>(n);
  }
  return 0;
}

// Creates a new hidden file beside `target` (mode 0666 less the umask).
int CreateTempBeside(const fs::path& dir, const fs::path& target, std::string& tempPath, int& fd) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string name = "." + target.filename().string() + "." + std::to_string(getpid()) + "." +
                             std::to_string(counter++) + ".tmp";
    tempPath = (dir / name).string();
    fd = open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) return 0;
    if (errno != EEXIST) return errno;
  }
  return EEXIST;
}

// Fills the temporary file, gives it the permissions of the file it
// replaces and makes it durable before the rename.
int FillTemp(int fd, const fs::path& target, const std::string& text) {
  if (const int err = WriteAll(fd, text); err != 0) return err;
  struct stat st {};
  if (stat(target.c_str(), &st) == 0) (void)fchmod(fd, st.st_mode & 07777);
  return fsync(fd) != 0 ? errno : 0;
}

void SyncFolder(const fs::path& dir) {
  const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  (void)fsync(fd);
  close(fd);
}

// Replaces the file at `path` by `text` through a temporary file and a
// rename. Returns 0 or the errno of the step that failed.
int ReplaceFile(const std::string& path, const std::string& text) {
  const fs::path target = FollowLinks(path);
  const fs::path dir = target.has_parent_path() ? target.parent_path() : fs::path(".");
  std::error_code ec;
  if (!fs::exists(dir, ec) && !fs::create_directories(dir, ec) && ec) return ec.value();
  std::string tempPath;
  int fd = -1;
  if (const int err = CreateTempBeside(dir, target, tempPath, fd); err != 0) return err;
  int err = FillTemp(fd, target, text);
  if (close(fd) != 0 && err == 0) err = errno;
  if (err == 0 && std::rename(tempPath.c_str(), target.c_str()) != 0) err = errno;
  if (err != 0) {
    unlink(tempPath.c_str());
    return err;
  }
  SyncFolder(dir);
  return 0;
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
  const int err = ReadWholeFile(file.path_, text);
  if (err == 0) {
    file.doc_ = IniDocument::Parse(text);
  } else if (err != ENOENT && err != ENOTDIR) {
    file.readError_ = err;
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
  const int err = readError_ != 0 ? readError_ : ReplaceFile(path_, doc_.Serialize());
  if (err == 0) return true;
  errorText = kSaveFailed + path_ + ": " + ErrorReason(err);
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
