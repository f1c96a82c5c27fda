// SPDX-License-Identifier: AGPL-3.0-or-later
#include "core/NumText.h"

#include <cmath>
#include <cstdio>
#include <string_view>

namespace orb {
namespace {

std::string PadLeft(std::string s, int width) {
  const std::size_t len = Utf8Length(s);
  if (width > 0 && len < static_cast<std::size_t>(width)) s.insert(0, width - len, ' ');
  return s;
}

// Decimal digits of n with a decimal point before the last `decimals`
// digits, at least one digit before it; `negative` writes a leading "-".
std::string FixedOfScaled(unsigned long long n, int decimals, bool negative) {
  char digits[24];
  int count = 0;
  do {
    digits[count++] = static_cast<char>('0' + n % 10);
    n /= 10;
  } while (n != 0);
  while (count <= decimals) digits[count++] = '0';
  std::string text;
  text.reserve(static_cast<std::size_t>(count) + 2);
  if (negative) text += '-';
  for (int i = count - 1; i >= 0; --i) {
    text += digits[i];
    if (i == decimals && decimals > 0) text += '.';
  }
  return text;
}

// x in fixed point as printf's "%.*Lf" writes it, when the rounding can be
// decided without it: rounding the product x * 10^decimals is monotonic and
// a half of the last place is representable, so the rounded product lies on
// the same side of a half as the exact one unless it lands on it. False
// then; printf rounds the exact binary value (ties to even).
bool FastFixed(long double x, int decimals, std::string& text) {
  static constexpr long double kPowersOfTen[] = {1e0L, 1e1L, 1e2L, 1e3L, 1e4L, 1e5L, 1e6L, 1e7L, 1e8L, 1e9L};
  constexpr int kMaxDecimals = 9;
  constexpr long double kMaxMagnitude = 1e9L;  // products below 1e18 < 2^63
  if (decimals > kMaxDecimals || !(std::fabs(x) < kMaxMagnitude)) return false;
  const long double scaled = std::fabs(x) * kPowersOfTen[decimals];
  const long double whole = std::floor(scaled);
  const long double fraction = scaled - whole;  // exact
  if (fraction == 0.5L) return false;
  const auto n = static_cast<unsigned long long>(whole) + (fraction > 0.5L ? 1 : 0);
  text = FixedOfScaled(n, decimals, std::signbit(x));
  return true;
}

// x in fixed point; a value that is not a finite number gives the
// placeholder "---" (no cell may show "nan", "inf" or hundreds of digits).
std::string Fixed(long double x, int decimals) {
  if (!std::isfinite(x)) return "---";
  if (decimals < 0) decimals = 0;
  std::string text;
  if (FastFixed(x, decimals, text)) return text;
  char buffer[128];
  const int length = std::snprintf(buffer, sizeof buffer, "%.*Lf", decimals, x);
  if (length < 0) return "";
  if (static_cast<std::size_t>(length) < sizeof buffer) return std::string(buffer, static_cast<std::size_t>(length));
  text.assign(static_cast<std::size_t>(length) + 1, '\0');
  std::snprintf(text.data(), text.size(), "%.*Lf", decimals, x);
  text.pop_back();
  return text;
}

// Byte index of the character at 0-based character index `n` (s.size() when beyond).
std::size_t ByteIndex(const std::string& s, std::size_t n) {
  std::size_t i = 0;
  while (i < s.size() && n > 0) {
    ++i;
    while (i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) ++i;
    --n;
  }
  return i;
}

}  // namespace

std::string Str(long double x, int width, int decimals) { return PadLeft(Fixed(x, decimals), width); }

std::string StrT(long double x, int width, int decimals) {
  std::string s = Fixed(x, decimals);
  if (s.find('.') != std::string::npos) {
    while (!s.empty() && s.back() == '0') s.pop_back();
    if (!s.empty() && s.back() == '.') s.pop_back();
  }
  return PadLeft(s, width);
}

std::string TrimBlanks(const std::string& s) {
  const std::size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return {};
  return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

std::string IntStr(long long n, int width) { return PadLeft(std::to_string(n), width); }

std::string TwoDigits(long long n) {
  std::string s = std::to_string(n < 0 ? -n : n);
  if (s.size() < 2) s.insert(0, 1, '0');
  return n < 0 ? "-" + s : s;
}

std::string GeneralNumber(long double x) {
  if (std::isnan(x)) return "NAN";
  if (std::isinf(x)) return x > 0 ? "INF" : "-INF";
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.15Lg", x);
  std::string s = buf;
  const std::size_t e = s.find('e');
  if (e == std::string::npos) return s;
  std::string mantissa = s.substr(0, e);
  std::string exponent = s.substr(e + 1);
  bool negative = !exponent.empty() && exponent[0] == '-';
  if (!exponent.empty() && (exponent[0] == '-' || exponent[0] == '+')) exponent.erase(0, 1);
  while (exponent.size() > 1 && exponent[0] == '0') exponent.erase(0, 1);
  return mantissa + "E" + (negative ? "-" : "") + exponent;
}

std::size_t Utf8Length(const std::string& s) {
  std::size_t n = 0;
  for (unsigned char c : s)
    if ((c & 0xC0) != 0x80) ++n;
  return n;
}

std::string Utf8Left(const std::string& s, std::size_t count) { return s.substr(0, ByteIndex(s, count)); }

std::string Utf8Mid(const std::string& s, std::size_t start, std::size_t count) {
  if (start < 1) start = 1;
  const std::size_t b = ByteIndex(s, start - 1);
  const std::size_t e = ByteIndex(s, start - 1 + count);
  return s.substr(b, e - b);
}

std::string Utf8Delete(const std::string& s, std::size_t start, std::size_t count) {
  if (start < 1) return s;
  const std::size_t b = ByteIndex(s, start - 1);
  const std::size_t e = ByteIndex(s, start - 1 + count);
  return s.substr(0, b) + s.substr(e);
}

std::string Utf8Insert(const std::string& s, std::size_t start, const std::string& insert) {
  if (start < 1) start = 1;
  const std::size_t b = ByteIndex(s, start - 1);
  return s.substr(0, b) + insert + s.substr(b);
}

std::string Utf8At(const std::string& s, std::size_t pos) { return Utf8Mid(s, pos, 1); }

bool IsValidUtf8(const std::string& s) {
  std::size_t i = 0;
  while (i < s.size()) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    std::size_t extra;
    unsigned min;
    unsigned cp;
    if (c < 0x80) {
      ++i;
      continue;
    } else if ((c & 0xE0) == 0xC0) {
      extra = 1, min = 0x80, cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
      extra = 2, min = 0x800, cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
      extra = 3, min = 0x10000, cp = c & 0x07;
    } else {
      return false;
    }
    if (i + extra >= s.size()) return false;
    for (std::size_t k = 1; k <= extra; ++k) {
      const unsigned char cc = static_cast<unsigned char>(s[i + k]);
      if ((cc & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (cc & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += extra + 1;
  }
  return true;
}

std::string Latin1ToUtf8(const std::string& s) {
  std::string out;
  out.reserve(s.size() * 2);
  for (unsigned char c : s) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

}  // namespace orb
