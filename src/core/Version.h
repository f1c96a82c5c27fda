// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// The program's version, set in one place: the project version of the
// top-level CMakeLists.txt.

#include <string>

namespace orb {

// "0.1.0".
std::string ProgramVersion();

}  // namespace orb
