// SPDX-License-Identifier: AGPL-3.0-or-later
#include "settings/IniDocument.h"

#include <algorithm>
#include <cctype>
#include <sstream>
#include <string_view>

#include "core/NumText.h"

namespace orb {
namespace {

bool EqualNoCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

std::string Trim(const std::string& s) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  std::size_t b = 0, e = s.size();
  while (b < e && blank(s[b])) ++b;
  while (e > b && blank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

}  // namespace

IniDocument IniDocument::Parse(const std::string& text) {
  IniDocument doc;
  doc.sections_.push_back(Section{});
  // A UTF-8 byte-order mark, as some editors put it first, is no part of
  // the first line (it would hide the first section header).
  constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
  std::string body = text.starts_with(kUtf8Bom) ? text.substr(kUtf8Bom.size()) : text;
  // Nor is the end-of-file mark (Ctrl-Z) that DOS editors put last.
  if (body.ends_with('\x1A')) body.pop_back();
  const bool endsInLine = !body.empty() && body.back() != '\n';
  std::istringstream in(body);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!IsValidUtf8(line)) line = Latin1ToUtf8(line);
    const std::string t = Trim(line);
    if (t.size() >= 2 && t.front() == '[' && t.back() == ']') {
      doc.sections_.push_back(Section{Trim(t.substr(1, t.size() - 2)), {}});
      continue;
    }
    const std::size_t eq = line.find('=');
    if (eq != std::string::npos && t.front() != ';' && !Trim(line.substr(0, eq)).empty()) {
      doc.sections_.back().lines.push_back(Line{Trim(line.substr(0, eq)), line.substr(eq + 1), {}});
    } else {
      doc.sections_.back().lines.push_back(Line{{}, {}, line});
      doc.cutLastLine_ = endsInLine && !t.empty() && t.front() != ';' && in.peek() == EOF ? t : std::string();
    }
  }
  return doc;
}

std::string IniDocument::Serialize() const {
  std::string out;
  for (const Section& s : sections_) {
    if (!s.name.empty()) out += "[" + s.name + "]\n";
    for (const Line& l : s.lines) out += (l.key.empty() ? l.raw : l.key + "=" + l.value) + "\n";
  }
  return out;
}

IniDocument::Section* IniDocument::FindSection(const std::string& name) {
  for (Section& s : sections_)
    if (!s.name.empty() && EqualNoCase(s.name, name)) return &s;
  return nullptr;
}

const IniDocument::Section* IniDocument::FindSection(const std::string& name) const {
  for (const Section& s : sections_)
    if (!s.name.empty() && EqualNoCase(s.name, name)) return &s;
  return nullptr;
}

bool IniDocument::HasSection(const std::string& section) const { return FindSection(section) != nullptr; }

std::optional<std::string> IniDocument::Get(const std::string& section, const std::string& key) const {
  const Section* s = FindSection(section);
  if (s == nullptr) return std::nullopt;
  for (const Line& l : s->lines) {
    if (l.key.empty() || !EqualNoCase(l.key, key)) continue;
    std::string v = Trim(l.value);
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
    return v;
  }
  return std::nullopt;
}

void IniDocument::Set(const std::string& section, const std::string& key, const std::string& rawValue) {
  // A value is one line: a line break in it would start new keys or sections.
  std::string value = rawValue;
  for (char& c : value)
    if (c == '\n' || c == '\r') c = ' ';
  std::string stored = value;
  const bool needsQuotes = !value.empty() && (Trim(value) != value ||
                                              (value.size() >= 2 && value.front() == '"' && value.back() == '"'));
  if (needsQuotes) stored = "\"" + value + "\"";
  Section* s = FindSection(section);
  if (s == nullptr) {
    sections_.push_back(Section{section, {}});
    s = &sections_.back();
  }
  for (Line& l : s->lines) {
    if (!l.key.empty() && EqualNoCase(l.key, key)) {
      l.value = stored;
      return;
    }
  }
  // New keys go after the last key=value line, before trailing blank lines.
  auto pos = s->lines.end();
  while (pos != s->lines.begin() && std::prev(pos)->key.empty() && Trim(std::prev(pos)->raw).empty()) --pos;
  s->lines.insert(pos, Line{key, stored, {}});
}

void IniDocument::Remove(const std::string& section, const std::string& key) {
  Section* s = FindSection(section);
  if (s == nullptr) return;
  std::erase_if(s->lines, [&](const Line& l) { return !l.key.empty() && EqualNoCase(l.key, key); });
}

}  // namespace orb
