// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

#include <string>

namespace orb {

// The folder of the shipped data files (location list, world map): the
// installed data directory, or the source tree's data/ folder in a build
// that is not installed.
const std::string& DataDirectory();

// The path of a data file named by the settings: as given (looked up
// case-insensitively), then in the data directory; empty when it is found
// in neither.
std::string FindDataFile(const std::string& name);

}  // namespace orb
