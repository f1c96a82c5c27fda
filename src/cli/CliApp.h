// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "cli/CliArgs.h"
#include "settings/IniDocument.h"
#include "settings/Settings.h"

namespace orb::cli {

// Exit codes of the batch program.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;  // the computation could not be done (message on stderr)
inline constexpr int kExitUsage = 2;    // usage error (with the usage text on stderr)

// Runs the batch program with the arguments (without the program name).
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The settings document the options name: none with --no-ini, the file of
// --ini, otherwise ORBITELLO.INI found by the program's rule (working
// directory, then the section "Ini" of that file); every --set then
// overrides one key of the main section. False (with a message on `err`)
// when a file named by --ini does not exist. The batch program never writes
// the settings file.
bool LoadSettingsDocument(const CliOptions& options, IniDocument& ini, std::ostream& err);

}  // namespace orb::cli
