// SPDX-License-Identifier: AGPL-3.0-or-later
#include "core/SafeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <system_error>

namespace orb {
namespace fs = std::filesystem;

namespace {

// The temporary file's name keeps at most this many bytes of the target's
// name, so that a target with a name of the longest allowed length still
// gets a temporary file.
constexpr std::size_t kTempNameStem = 64;

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

FileResult WriteAll(int fd, std::string_view bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return FileResult::Failure(n < 0 ? errno : EIO);
    done += static_cast<std::size_t>(n);
  }
  return {};
}

void SyncFolder(const fs::path& dir) {
  const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  (void)fsync(fd);
  close(fd);
}

// The checks of an existing target; `existing` receives its status, and
// stays empty when there is no file yet.
FileResult CheckTarget(const std::string& path, std::optional<struct stat>& existing) {
  existing.reset();
  if (path.empty()) return FileResult::Failure(ENOENT);
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return errno == ENOENT ? FileResult{} : FileResult::Failure(errno);
  if (S_ISDIR(st.st_mode)) return FileResult::Failure(EISDIR);
  if (!S_ISREG(st.st_mode)) return {EINVAL, kNotRegularReason};
  // By the mode bits, so that the protection holds for the superuser too.
  if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return {EACCES, kWriteProtectedReason};
  if (faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0) return FileResult::Failure(errno);
  existing = st;
  return {};
}

// The folder that receives the file, created when asked for.
FileResult PrepareFolder(const fs::path& dir, bool create) {
  struct stat st {};
  if (stat(dir.c_str(), &st) == 0) return S_ISDIR(st.st_mode) ? FileResult{} : FileResult::Failure(ENOTDIR);
  if (errno != ENOENT) return FileResult::Failure(errno);
  if (!create) return {ENOENT, kFolderMissingReason};
  std::error_code ec;
  fs::create_directories(dir, ec);
  return ec ? FileResult::Failure(ec.value()) : FileResult{};
}

// A new hidden file beside `target`: private while it replaces an existing
// file (it takes that file's permissions before the rename), with the usual
// permissions of a new file (0666 less the umask) otherwise.
FileResult CreateTempBeside(const fs::path& dir, const fs::path& target, bool replacing, std::string& tempPath,
                            int& fd) {
  static std::atomic<unsigned> counter{0};
  const std::string stem = target.filename().string().substr(0, kTempNameStem);
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string name =
        "." + stem + "." + std::to_string(getpid()) + "." + std::to_string(counter++) + ".tmp";
    tempPath = (dir / name).string();
    fd = open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, replacing ? 0600 : 0666);
    if (fd >= 0) return {};
    if (errno != EEXIST) return FileResult::Failure(errno);
  }
  return FileResult::Failure(EEXIST);
}

// Gives the filled temporary file the owner and permissions of the file it
// replaces and makes it durable.
FileResult FinishTemp(int fd, const std::optional<struct stat>& existing) {
  if (existing) {
    // The owner first: a change of owner may clear set-id bits that the
    // permissions then restore. Neither may fail the save: an ordinary
    // user cannot give a file away, and the content is what matters.
    (void)!fchown(fd, existing->st_uid, existing->st_gid);
    (void)!fchmod(fd, existing->st_mode & 07777);
  }
  return fsync(fd) != 0 ? FileResult::Failure(errno) : FileResult{};
}

// The whole replacement; `fill` writes the content, given the open
// temporary file and its name. With `reopen`, the descriptor is closed
// before `fill` and the file opened again afterwards (for writers that open
// the file themselves).
FileResult Replace(const std::string& path, const ReplaceOptions& options, bool reopen,
                   const std::function<FileResult(int fd, const std::string& tempPath)>& fill) {
  std::optional<struct stat> existing;
  if (FileResult r = CheckTarget(path, existing); !r.ok()) return r;
  const fs::path target = FollowLinks(path);
  if (target.filename().empty()) return FileResult::Failure(EISDIR);
  const fs::path dir = target.has_parent_path() ? target.parent_path() : fs::path(".");
  if (FileResult r = PrepareFolder(dir, options.createFolders); !r.ok()) return r;

  std::string tempPath;
  int fd = -1;
  if (FileResult r = CreateTempBeside(dir, target, existing.has_value(), tempPath, fd); !r.ok()) return r;
  if (reopen) {
    close(fd);
    fd = -1;
  }
  FileResult result = fill(fd, tempPath);
  if (result.ok() && reopen) {
    fd = open(tempPath.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    struct stat st {};
    if (fd < 0) result = FileResult::Failure(errno);
    else if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) result = {EINVAL, kNotRegularReason};
  }
  if (result.ok()) result = FinishTemp(fd, existing);
  if (fd >= 0 && close(fd) != 0 && result.ok()) result = FileResult::Failure(errno);
  if (result.ok() && std::rename(tempPath.c_str(), target.c_str()) != 0) result = FileResult::Failure(errno);
  if (!result.ok()) {
    unlink(tempPath.c_str());
    return result;
  }
  SyncFolder(dir);
  return {};
}

}  // namespace

FileResult FileResult::Failure(int err) { return {err, FileErrorReason(err)}; }

std::string FileErrorReason(int err) {
  switch (err) {
    case 0: return {};
    case EACCES:
    case EPERM: return "Keine Berechtigung";
    case ENOENT: return "Datei oder Verzeichnis nicht gefunden";
    case ENOTDIR: return "Ist kein Verzeichnis";
    case EISDIR: return "Ist ein Verzeichnis";
    case EINVAL: return kNotRegularReason;
    case ENOSPC: return "Auf dem Datenträger ist kein Speicherplatz mehr frei";
    case EDQUOT: return "Das Speicherplatzkontingent ist erschöpft";
    case EFBIG: return "Datei zu groß";
    case EROFS: return "Das Dateisystem ist nur lesbar";
    case EIO: return "Eingabe-/Ausgabefehler";
    case ENAMETOOLONG: return "Der Dateiname ist zu lang";
    case ELOOP: return "Zu viele Ebenen symbolischer Verknüpfungen";
    case EEXIST: return "Die Datei existiert bereits";
    case EBUSY: return "Die Datei ist in Gebrauch";
    case EMFILE:
    case ENFILE: return "Zu viele offene Dateien";
    default: return "Systemfehler " + std::to_string(err);
  }
}

FileResult CheckReplaceable(const std::string& path) {
  std::optional<struct stat> existing;
  return CheckTarget(path, existing);
}

FileResult ReplaceFileContents(const std::string& path, std::string_view bytes, const ReplaceOptions& options) {
  return Replace(path, options, false, [bytes](int fd, const std::string&) { return WriteAll(fd, bytes); });
}

FileResult ReplaceFileBy(const std::string& path, const std::function<FileResult(const std::string& tempPath)>& fill,
                         const ReplaceOptions& options) {
  return Replace(path, options, true, [&fill](int, const std::string& tempPath) { return fill(tempPath); });
}

FileResult ReadRegularFile(const std::string& path, std::string& bytes, std::size_t maxBytes) {
  bytes.clear();
  // The kind is checked before the file is opened: opening a FIFO waits for
  // a writer, and opening some devices has effects of its own.
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return FileResult::Failure(errno);
  if (S_ISDIR(st.st_mode)) return FileResult::Failure(EISDIR);
  if (!S_ISREG(st.st_mode)) return {EINVAL, kNotRegularReason};
  if (static_cast<std::uintmax_t>(st.st_size) > maxBytes) return FileResult::Failure(EFBIG);
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return FileResult::Failure(errno);
  // The path may have been replaced between the two looks.
  FileResult result;
  if (fstat(fd, &st) != 0) result = FileResult::Failure(errno);
  else if (!S_ISREG(st.st_mode)) result = {EINVAL, kNotRegularReason};
  else bytes.reserve(std::min(static_cast<std::size_t>(st.st_size), maxBytes));
  char buf[65536];
  while (result.ok()) {
    const ssize_t n = read(fd, buf, sizeof buf);
    if (n == 0) break;
    if (n < 0) {
      if (errno != EINTR) result = FileResult::Failure(errno);
      continue;
    }
    // A file that grows while it is read is held to the bound as well.
    if (static_cast<std::size_t>(n) > maxBytes - bytes.size()) result = FileResult::Failure(EFBIG);
    else bytes.append(buf, static_cast<std::size_t>(n));
  }
  close(fd);
  if (!result.ok()) bytes.clear();
  return result;
}

}  // namespace orb
