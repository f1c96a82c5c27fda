// SPDX-License-Identifier: AGPL-3.0-or-later
// Fuzz target: the lenient number reader that reads every real number of
// the program from a text (settings file, element files, edit fields), read
// to the end of the text as a line of numbers is read.
//
// Checked beyond the sanitizers: every read consumes at least one character
// of a text that is not empty (so a loop over a line ends), and the text
// only ever gets shorter.

#include <cstddef>
#include <cstdint>
#include <string>

#include "settings/NumberReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  while (!text.empty()) {
    const std::size_t before = text.size();
    (void)orb::ReadNumber(text);
    if (text.size() >= before) __builtin_trap();
  }
  (void)orb::ParseNumber(std::string(reinterpret_cast<const char*>(data), size));
  (void)orb::UpperCaseLatin1(std::string(reinterpret_cast<const char*>(data), size));
  return 0;
}
