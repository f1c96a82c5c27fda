// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// Texts between the computation layers (UTF-8 std::string) and the windows
// (QString), and numbers as the dialogs' edit fields show them.

#include <QString>
#include <string>

#include "core/NumText.h"

namespace orb {

inline QString Q(const std::string& s) { return QString::fromStdString(s); }
inline QString U(const char* utf8) { return QString::fromUtf8(utf8); }

// A number in an edit field: up to five decimals, trailing zeros and a
// trailing point dropped ("1", "5.75", "2000").
inline QString FieldNumberText(long double value) { return Q(TrimBlanks(StrT(value, 0, 5))); }

}  // namespace orb
