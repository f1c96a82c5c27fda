// SPDX-License-Identifier: AGPL-3.0-or-later
// Fuzz target: one line of a comet element list, as the comet dialog hands
// it to the parser (any bytes, any length), then the element set through
// the settings file and back as at the end and the start of the program.
//
// Checked beyond the sanitizers: the name is at most 43 characters and has
// no blanks at its ends; the epoch of M0 is kept; number and diameter are 0.

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/NumText.h"
#include "core/OrbitElements.h"
#include "settings/CurrentElements.h"
#include "settings/IniDocument.h"
#include "settings/SettingsFile.h"

namespace {

constexpr orb::Extended kKeptEpoch = 2451545.0L;

bool BlankAtAnEnd(const std::string& s) {
  return !s.empty() && (static_cast<unsigned char>(s.front()) <= ' ' || static_cast<unsigned char>(s.back()) <= ' ');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string line(reinterpret_cast<const char*>(data), size);
  orb::CometBahnTyp el = orb::EmptyCometElements();
  el.TM0 = kKeptEpoch;
  el.diameter = 10;
  orb::ParseCometLine(line, el);
  if (orb::Utf8Length(el.name) > 43 || BlankAtAnEnd(el.name)) __builtin_trap();
  if (el.TM0 != kKeptEpoch || el.number != 0 || el.diameter != 0) __builtin_trap();

  orb::SettingsFile file;
  orb::SaveCurrentElements(file, el);
  orb::CometBahnTyp back;
  orb::LoadCurrentElements(orb::IniDocument::Parse(file.Document().Serialize()), back);
  if (el.name.empty() != back.name.empty()) __builtin_trap();
  return 0;
}
