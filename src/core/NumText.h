// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace orb {

// Number-to-text helpers with the field rules of the program's tables.

// Str(x, w, d): x in fixed point with d decimals and a decimal point,
// right-aligned in a field of at least w characters (blank-filled on the left;
// longer when needed; the minus sign counts). A value that is not a finite
// number is written "---" in the same field.
std::string Str(long double x, int width, int decimals);

// StrT(x, w, d): as Str, then trailing zeros and a trailing "." removed
// before the field is padded to w characters.
std::string StrT(long double x, int width, int decimals);

// The text without leading and trailing blanks and tabs.
std::string TrimBlanks(const std::string& s);

// Int(n, w): an integer right-aligned in w characters.
std::string IntStr(long long n, int width);

// Two digits with a leading zero (minutes, seconds, days, months).
std::string TwoDigits(long long n);

// The general number format of message boxes: up to 15 significant digits,
// no trailing zeros, exponent form ("1E-20") for very large or small values.
std::string GeneralNumber(long double x);

// Character-based operations on UTF-8 text (the program's rules count
// characters, not bytes). Positions are 1-based like the program's rules.
std::size_t Utf8Length(const std::string& s);
std::string Utf8Left(const std::string& s, std::size_t count);
std::string Utf8Mid(const std::string& s, std::size_t start, std::size_t count);
std::string Utf8Delete(const std::string& s, std::size_t start, std::size_t count);
std::string Utf8Insert(const std::string& s, std::size_t start, const std::string& insert);
// The character at 1-based position `pos` as UTF-8 text (empty beyond the end).
std::string Utf8At(const std::string& s, std::size_t pos);
// Whether `s` is valid UTF-8.
bool IsValidUtf8(const std::string& s);
// Latin-1 bytes to UTF-8.
std::string Latin1ToUtf8(const std::string& s);

}  // namespace orb
