// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// Fonts in the settings file (keys ScreenFont and PrinterFont): name ","
// size in points "," four digits for bold, italic, underline and strike-out
// (each 0 or 1) "," colour -- "Courier New,10,0000,clBlack".

#include <QColor>
#include <QFont>
#include <QString>
#include <optional>

namespace orb {

struct FontText {
  QFont font;
  QColor color = Qt::black;
};

// The text of a font: "%s,%d,%d%d%d%d,%s"; the colour as a colour name
// ("clBlack" for black, "clRed" ...) or "#rrggbb".
QString FontToText(const QFont& font, const QColor& color);

// Reads a font text: split at the first two commas; the rest must hold the
// four style digits and a comma at its fifth character, then the colour (a
// colour name with or without the "cl" prefix, "#rrggbb", or "$bbggrr" /
// "0xbbggrr" as the platform's colour value). Nothing when the text has
// another form ("Invalid string to font conversion").
std::optional<FontText> FontFromText(const QString& text);

// The message of a malformed font text.
inline constexpr const char* kInvalidFontText = "Invalid string to font conversion";

}  // namespace orb
