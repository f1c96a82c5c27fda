// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

#include <filesystem>
#include <string>

namespace orb::test {

// A fresh temporary folder, removed with everything in it at the end of the
// scope. Tests that touch files work only inside such a folder.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // Path of `name` inside the folder.
  std::string file(const std::string& name) const { return (path_ / name).string(); }
  // Writes `content` to `name` inside the folder and returns its path.
  std::string write(const std::string& name, const std::string& content) const;
  // Reads a whole file.
  static std::string read(const std::string& path);

 private:
  std::filesystem::path path_;
};

// Makes `dir` the working directory for one scope.
class WorkingDirectory {
 public:
  explicit WorkingDirectory(const std::filesystem::path& dir) : old_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir);
  }
  ~WorkingDirectory() { std::filesystem::current_path(old_); }
  WorkingDirectory(const WorkingDirectory&) = delete;
  WorkingDirectory& operator=(const WorkingDirectory&) = delete;

 private:
  std::filesystem::path old_;
};

}  // namespace orb::test
