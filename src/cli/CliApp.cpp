// SPDX-License-Identifier: AGPL-3.0-or-later
#include "cli/CliApp.h"

#include <fstream>
#include <functional>
#include <map>
#include <ostream>
#include <sstream>

#include "cli/CliHost.h"
#include "core/KernelReport.h"
#include "core/NumKernel.h"
#include "core/TimeScales.h"
#include "settings/SettingsLoad.h"

namespace orb::cli {
namespace {

constexpr const char* kSettingsFileName = "ORBITELLO.INI";

bool ReadWholeFile(const std::string& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream s;
  s << in.rdbuf();
  text = s.str();
  return true;
}

// A command of the batch program: computes with the loaded settings and
// returns the exit code.
using Command = std::function<int(const CliOptions&, TSettings&, Host&)>;

const std::map<std::string, Command>& Commands() {
  static const std::map<std::string, Command> commands = {};
  return commands;
}

}  // namespace

bool LoadSettingsDocument(const CliOptions& options, IniDocument& ini, std::ostream& err) {
  std::string text;
  if (options.iniPath) {
    const std::string path = ResolvePathCaseInsensitive(*options.iniPath);
    if (path.empty() || !ReadWholeFile(path, text)) {
      err << "Fehler!: Datei " << *options.iniPath << " nicht gefunden\n";
      return false;
    }
  } else if (!options.noIni) {
    const std::string path = ResolvePathCaseInsensitive(kSettingsFileName);
    if (!path.empty()) ReadWholeFile(path, text);
  }
  ini = IniDocument::Parse(text);
  for (const auto& [key, value] : options.sets) ini.Set(kMainSection, key, value);
  return true;
}

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const CliParse parse = ParseCommandLine(args);
  if (parse.help) {
    out << UsageText();
    return kExitOk;
  }
  if (!parse.error.empty()) {
    err << "orbitello32-cli: " << parse.error << "\n\n" << UsageText();
    return kExitUsage;
  }
  const CliOptions& options = parse.options;
  const auto command = Commands().find(options.command);
  if (command == Commands().end()) {
    err << "orbitello32-cli: Der Befehl \"" << options.command
        << "\" ist in dieser Version noch nicht enthalten.\n";
    return kExitFailure;
  }

  IniDocument ini;
  if (!LoadSettingsDocument(options, ini, err)) return kExitFailure;
  TSettings settings;
  LoadSettings(ini, settings, CurrentJD());

  CliHost host(out, err, options.answerYes);
  KernelHostScope kernelScope(host);
  return command->second(options, settings, host);
}

}  // namespace orb::cli
