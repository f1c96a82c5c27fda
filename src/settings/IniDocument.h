// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// An initialisation file in memory: sections of key=value lines. Section and
// key names compare case-insensitively (ASCII); the order of sections and
// keys is kept, so writing a file back changes only what was changed.
// Lines that are neither a section header nor a key=value pair (comments,
// blank lines) are kept in place.

#include <optional>
#include <string>
#include <vector>

namespace orb {

class IniDocument {
 public:
  // Parses the text of an initialisation file (UTF-8; a line that is not
  // valid UTF-8 is read as Latin-1). CR LF and LF line ends are accepted; a
  // leading UTF-8 byte-order mark and a final DOS end-of-file mark (Ctrl-Z)
  // are skipped (Serialize writes neither).
  static IniDocument Parse(const std::string& text);

  // The text of the document, lines ended by "\n".
  std::string Serialize() const;

  // The value of `key` in `section`, trimmed of blanks and of one pair of
  // enclosing double quotes; empty optional when the key is absent.
  std::optional<std::string> Get(const std::string& section, const std::string& key) const;

  // Sets `key` in `section`, adding the section and key at their ends when
  // absent. A value with leading or trailing blanks is enclosed in double
  // quotes so that it reads back unchanged; line breaks in it become blanks.
  void Set(const std::string& section, const std::string& key, const std::string& value);

  // Removes `key` from `section` (nothing happens when it is absent).
  void Remove(const std::string& section, const std::string& key);

  bool HasSection(const std::string& section) const;

  // The last line of the parsed text when the text ended inside it: no
  // line end follows it and it is neither a section header, nor a
  // key=value pair, nor a comment ("Ort.Lae" of a file cut off there);
  // empty otherwise. A cut inside a value cannot be told from a value.
  const std::string& CutLastLine() const { return cutLastLine_; }

 private:
  struct Line {
    std::string key;    // empty for a line that is not key=value
    std::string value;  // raw value text after "="
    std::string raw;    // the whole line for other lines
  };
  struct Section {
    std::string name;  // empty for lines before the first section header
    std::vector<Line> lines;
  };

  Section* FindSection(const std::string& name);
  const Section* FindSection(const std::string& name) const;

  std::vector<Section> sections_;
  std::string cutLastLine_;
};

}  // namespace orb
