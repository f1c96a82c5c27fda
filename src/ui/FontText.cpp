// SPDX-License-Identifier: AGPL-3.0-or-later
#include "ui/FontText.h"

#include <array>
#include <utility>

namespace orb {
namespace {

// The named colours of the font texts and their values.
const std::array<std::pair<const char*, QRgb>, 16>& NamedColors() {
  static const std::array<std::pair<const char*, QRgb>, 16> colors = {{
      {"clBlack", 0x000000}, {"clMaroon", 0x800000}, {"clGreen", 0x008000}, {"clOlive", 0x808000},
      {"clNavy", 0x000080},  {"clPurple", 0x800080}, {"clTeal", 0x008080},  {"clGray", 0x808080},
      {"clSilver", 0xC0C0C0}, {"clRed", 0xFF0000},   {"clLime", 0x00FF00},  {"clYellow", 0xFFFF00},
      {"clBlue", 0x0000FF},  {"clFuchsia", 0xFF00FF}, {"clAqua", 0x00FFFF}, {"clWhite", 0xFFFFFF},
  }};
  return colors;
}

std::optional<QColor> ColorFromText(const QString& text) {
  const QString t = text.trimmed();
  for (const auto& [name, rgb] : NamedColors()) {
    if (t.compare(QLatin1String(name), Qt::CaseInsensitive) == 0) return QColor::fromRgb(rgb);
  }
  if (t.startsWith(QLatin1Char('$')) || t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
    bool ok = false;
    const uint bgr = t.mid(t.startsWith(QLatin1Char('$')) ? 1 : 2).toUInt(&ok, 16);
    if (!ok) return std::nullopt;
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF), static_cast<int>((bgr >> 16) & 0xFF));
  }
  const QString plain = t.startsWith(QLatin1String("cl"), Qt::CaseInsensitive) ? t.mid(2) : t;
  if (QColor::isValidColorName(plain)) return QColor::fromString(plain);
  return std::nullopt;
}

QString ColorToText(const QColor& color) {
  for (const auto& [name, rgb] : NamedColors()) {
    if (color.rgb() == (0xFF000000u | rgb)) return QLatin1String(name);
  }
  return color.name();
}

}  // namespace

QString FontToText(const QFont& font, const QColor& color) {
  return QStringLiteral("%1,%2,%3%4%5%6,%7")
      .arg(font.family())
      .arg(font.pointSize())
      .arg(font.bold() ? 1 : 0)
      .arg(font.italic() ? 1 : 0)
      .arg(font.underline() ? 1 : 0)
      .arg(font.strikeOut() ? 1 : 0)
      .arg(ColorToText(color));
}

std::optional<FontText> FontFromText(const QString& text) {
  const int first = text.indexOf(QLatin1Char(','));
  if (first < 0) return std::nullopt;
  const int second = text.indexOf(QLatin1Char(','), first + 1);
  if (second < 0) return std::nullopt;
  const QString name = text.left(first);
  bool ok = false;
  const int size = text.mid(first + 1, second - first - 1).trimmed().toInt(&ok);
  const QString rest = text.mid(second + 1);
  if (name.isEmpty() || !ok || size <= 0 || rest.size() < 5 || rest[4] != QLatin1Char(',')) return std::nullopt;
  for (int i = 0; i < 4; ++i) {
    if (rest[i] != QLatin1Char('0') && rest[i] != QLatin1Char('1')) return std::nullopt;
  }
  const std::optional<QColor> color = ColorFromText(rest.mid(5));
  if (!color) return std::nullopt;
  FontText f;
  f.font = QFont(name, size);
  f.font.setBold(rest[0] == QLatin1Char('1'));
  f.font.setItalic(rest[1] == QLatin1Char('1'));
  f.font.setUnderline(rest[2] == QLatin1Char('1'));
  f.font.setStrikeOut(rest[3] == QLatin1Char('1'));
  f.color = *color;
  return f;
}

}  // namespace orb
