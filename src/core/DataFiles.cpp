// SPDX-License-Identifier: AGPL-3.0-or-later
#include "core/DataFiles.h"

#include <filesystem>

#include "core/NumKernel.h"

namespace orb {

const std::string& DataDirectory() {
  static const std::string directory = [] {
    const std::filesystem::path installed = ORBITELLO_INSTALLED_DATA_DIR;
    if (std::filesystem::is_directory(installed)) return installed.string();
    return std::string(ORBITELLO_SOURCE_DATA_DIR);
  }();
  return directory;
}

std::string FindDataFile(const std::string& name) {
  if (name.empty()) return "";
  std::string path = ResolvePathCaseInsensitive(name);
  if (!path.empty()) return path;
  if (std::filesystem::path(name).is_absolute()) return "";
  return ResolvePathCaseInsensitive(DataDirectory() + "/" + name);
}

}  // namespace orb
