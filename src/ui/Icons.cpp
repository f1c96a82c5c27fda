// SPDX-License-Identifier: AGPL-3.0-or-later
#include "ui/Icons.h"

#include <QFile>

// The drawings sit in the static library orb_ui, and a program takes from a
// static library only the objects it refers to: without this reference the
// linker leaves the compiled resource file (data/icons/icons.qrc) out and no
// ":/icons/..." path exists. Q_INIT_RESOURCE works at global scope only.
static void InitIconResources() { Q_INIT_RESOURCE(icons); }

namespace orb {

QIcon ToolIcon(const QString& name) {
  static const bool registered = (InitIconResources(), true);
  (void)registered;
  const QString path = QStringLiteral(":/icons/") + name + QStringLiteral(".svg");
  if (!QFile::exists(path)) return {};
  return QIcon(path);
}

}  // namespace orb
