// SPDX-License-Identifier: AGPL-3.0-or-later
// orbitello32-cli: the batch program. It computes what the main window's
// commands compute and writes the lines of the text area to standard output.

#include <iostream>
#include <string>
#include <vector>

#include "cli/CliApp.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return orb::cli::RunCli(args, std::cout, std::cerr);
}
