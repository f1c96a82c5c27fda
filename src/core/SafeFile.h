// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// Reading and writing whole files safely. Every file the program writes
// (the settings file, pictures, texts and lists) goes through
// ReplaceFileContents or ReplaceFileBy:
//  - the new content is written to a temporary file beside the target,
//    made durable and renamed over the target, so that the file on disk is
//    always either the old or the complete new one; on failure the
//    temporary file is removed and the old file stays as it was;
//  - a symbolic link is followed: the file it names is replaced and the
//    link stays; the replaced file keeps its permissions (and its owner
//    where the system allows);
//  - an existing target that is not a regular file (a folder, a FIFO, a
//    device, a socket; also behind a link) is refused and left alone;
//  - a file without any write permission bit is refused as write-protected,
//    also for the superuser, and so is a file this process may not write.
//
// Reads take regular files only (a FIFO or a device is never opened for
// reading) and stop at a size bound.

#include <cerrno>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace orb {

// The outcome of a file operation: 0 and no reason on success, else the
// errno of the failed step and the reason in German ("Keine Berechtigung").
struct FileResult {
  int error = 0;
  std::string reason;

  bool ok() const { return error == 0; }
  static FileResult Success() { return {}; }
  // The result of an errno, with its German reason (FileErrorReason).
  static FileResult Failure(int err);
};

// The reason of a failed file operation in German, by errno.
std::string FileErrorReason(int err);

// The reasons of the refusals of a target (FileResult::reason).
inline constexpr const char* kNotRegularReason = "Keine gewöhnliche Datei";
inline constexpr const char* kWriteProtectedReason = "Die Datei ist schreibgeschützt";
inline constexpr const char* kFolderMissingReason = "Das Verzeichnis existiert nicht";

struct ReplaceOptions {
  // Creates a missing folder (with its parents) for the file; without it a
  // missing folder fails.
  bool createFolders = false;
};

// Replaces the file at `path` by `bytes` (or creates it), following the
// rules above.
FileResult ReplaceFileContents(const std::string& path, std::string_view bytes, const ReplaceOptions& options = {});

// The same for content that another writer produces by file name (a
// printer's PDF): after the target has passed its checks, `fill` is called
// with the name of an empty temporary file beside the target, which it
// fills (it may truncate and rewrite it); a failure of `fill` is returned
// as it is. Then the temporary file takes the target's place by the same
// rules.
FileResult ReplaceFileBy(const std::string& path, const std::function<FileResult(const std::string& tempPath)>& fill,
                         const ReplaceOptions& options = {});

// Whether the file at `path` could be replaced: the checks of
// ReplaceFileContents on the existing target (a missing target passes).
FileResult CheckReplaceable(const std::string& path);

// Reads the regular file at `path` whole into `bytes`. Errors: ENOENT or
// ENOTDIR when it does not exist, EISDIR for a folder, EINVAL (reason
// kNotRegularReason) for anything else that is not a regular file, EFBIG
// when it holds more than `maxBytes` bytes; `bytes` is then empty.
FileResult ReadRegularFile(const std::string& path, std::string& bytes, std::size_t maxBytes);

// Whether a read error means that the file is simply not there.
inline bool IsMissingFile(int err) { return err == ENOENT || err == ENOTDIR; }

}  // namespace orb
