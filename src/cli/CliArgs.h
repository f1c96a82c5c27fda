// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// Command line of the batch program orbitello32-cli:
//
//   orbitello32-cli [--ini PATH | --no-ini] [--set KEY=VALUE]... [--min-coverage PERCENT]
//                   [--picture FILE.bmp|FILE.png] [--export FILE.geojson|FILE.kml]
//                   [--answer yes|no] COMMAND
//   COMMAND: table | yearbook | phases | lunar-eclipses | solar-eclipses | eclipse-path
//            | eclipse-places | elements | convert --frame equ|ecl|hor --first TEXT --second TEXT
//              [--equinox YEAR | --equinox-of-date]

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace orb::cli {

struct CliOptions {
  std::optional<std::string> iniPath;  // --ini PATH
  bool noIni = false;                  // --no-ini
  std::vector<std::pair<std::string, std::string>> sets;  // --set KEY=VALUE, in order
  std::optional<double> minCoverage_percent;              // --min-coverage
  std::optional<std::string> picture;                     // --picture FILE
  std::optional<std::string> exportPath;                  // --export FILE (eclipse-path)
  std::optional<bool> answerYes;                          // --answer yes|no
  std::string command;
  // convert
  std::string frame;                 // equ | ecl | hor
  std::optional<std::string> first, second;  // the two coordinates as typed (may hold no number)
  std::optional<std::string> equinox;        // --equinox YEAR (a number)
  bool equinoxOfDate = false;          // --equinox-of-date
};

// The result of parsing: the options, or a German error text (usage error).
struct CliParse {
  CliOptions options;
  std::string error;  // empty on success
  bool help = false;     // --help / -h
  bool version = false;  // --version
};

// Parses argv[1..argc-1].
CliParse ParseCommandLine(const std::vector<std::string>& args);

// The German usage text.
std::string UsageText();

// The commands this build of the program knows.
const std::vector<std::string>& KnownCommands();

}  // namespace orb::cli
