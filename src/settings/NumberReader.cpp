// SPDX-License-Identifier: AGPL-3.0-or-later
#include "settings/NumberReader.h"

#include <cctype>
#include <cstdlib>

namespace orb {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsDecimalMark(char c) { return c == ',' || c == '.'; }

// Skips what cannot start a number; returns false when nothing is left.
bool SkipToNumber(std::string& text) {
  for (;;) {
    std::size_t i = 0;
    while (i < text.size() && !IsDigit(text[i]) && !IsDecimalMark(text[i]) && text[i] != '-') ++i;
    text.erase(0, i);
    if (text.empty()) return false;
    const char next = text.size() > 1 ? text[1] : '\0';
    if (IsDecimalMark(text[0])) {
      if (IsDigit(next)) {
        text.insert(0, 1, '0');
        return true;
      }
      text.erase(0, 1);
      continue;
    }
    if (text[0] == '-') {
      const char after = text.size() > 2 ? text[2] : '\0';
      if (IsDigit(next)) return true;
      if (IsDecimalMark(next) && IsDigit(after)) {
        text.insert(1, 1, '0');
        return true;
      }
      text.erase(0, 1);
      continue;
    }
    return true;  // a digit
  }
}

// Length of the number at the start of `text` (which starts with a digit or
// "-" and a digit); the decimal mark found, if any, is reported in `mark`.
std::size_t NumberLength(const std::string& text, std::size_t& markPos) {
  std::size_t i = 0;
  markPos = std::string::npos;
  if (text[i] == '-') ++i;
  while (i < text.size() && IsDigit(text[i])) ++i;
  if (i < text.size() && IsDecimalMark(text[i])) {
    markPos = i;
    ++i;
    while (i < text.size() && IsDigit(text[i])) ++i;
  }
  if (i < text.size() && (text[i] == 'E' || text[i] == 'e')) {
    std::size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    if (j < text.size() && IsDigit(text[j])) {
      while (j < text.size() && IsDigit(text[j])) ++j;
      i = j;
    }
  }
  return i;
}

}  // namespace

Extended ReadNumber(std::string& text) {
  if (!SkipToNumber(text)) return 0;
  std::size_t markPos;
  const std::size_t len = NumberLength(text, markPos);
  std::string number = text.substr(0, len);
  if (markPos != std::string::npos) number[markPos] = '.';
  text.erase(0, len);
  return std::strtold(number.c_str(), nullptr);
}

Extended ParseNumber(const std::string& text) {
  std::string copy = text;
  return ReadNumber(copy);
}

std::string UpperCaseLatin1(const std::string& text) {
  std::string out = text;
  for (std::size_t i = 0; i < out.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(out[i]);
    if (c >= 'a' && c <= 'z') {
      out[i] = static_cast<char>(c - 'a' + 'A');
    } else if (c == 0xC3 && i + 1 < out.size()) {
      // U+00E0..U+00FE (except U+00F7) map to U+00C0..U+00DE.
      const unsigned char d = static_cast<unsigned char>(out[i + 1]);
      if (d >= 0xA0 && d <= 0xBE && d != 0xB7) out[i + 1] = static_cast<char>(d - 0x20);
      ++i;
    }
  }
  return out;
}

}  // namespace orb
