// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// The lenient number reader used for every real number the program reads
// from a text: settings file, element files, edit fields.

#include <string>

#include "core/NumKernel.h"

namespace orb {

// Reads the next number from `text` and removes the consumed characters, so
// that a further call reads the next number of the same line:
// 1. leading characters that cannot start a number are skipped (anything but
//    a digit, ",", "-" or "."); a "," or "." followed by a non-digit is
//    skipped too, one followed by a digit reads as "0," / "0." (",5" is 0.5);
// 2. the longest leading number is converted; a "," inside it is taken as the
//    decimal point (a decimal comma); an "E" or "e" not followed by a sign or
//    a digit ends the number before it.
// A text without digits yields 0 (and is consumed).
Extended ReadNumber(std::string& text);

// ReadNumber of a copy of `text`.
Extended ParseNumber(const std::string& text);

// Upper-cases ASCII letters and the letters of the Latin-1 range (as UTF-8).
std::string UpperCaseLatin1(const std::string& text);

}  // namespace orb
