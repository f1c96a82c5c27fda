// SPDX-License-Identifier: AGPL-3.0-or-later
#include "ui/Icons.h"

#include <QFile>

namespace orb {

QIcon ToolIcon(const QString& name) {
  const QString path = QStringLiteral(":/icons/") + name + QStringLiteral(".svg");
  if (!QFile::exists(path)) return {};
  return QIcon(path);
}

}  // namespace orb
