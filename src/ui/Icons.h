// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// The icons of the tool bar and the program: SVG drawings in data/icons/,
// compiled into the program as resources (":/icons/<name>.svg"), one style,
// drawn for 16 and 32 pixels, with outlines that read on light and dark
// backgrounds.

#include <QIcon>
#include <QString>

namespace orb {

// The icon `name` (the file name without ".svg", e.g. "sun"); an empty icon
// when the program holds none of that name.
QIcon ToolIcon(const QString& name);

}  // namespace orb
