// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// What the window (or the batch program's bitmap) needs to show a picture:
// the paint procedure, the world window, the natural size and the caption.

#include <string>

#include "graphics/GDIext.h"

namespace orb {

struct PictureSetup {
  PaintProc paint;               // draws the picture through a tGDIext
  float x1 = 0, y1 = 0, x2 = 1, y2 = 1;  // world window (two opposite corners)
  float widthMm = 170, heightMm = 144.5f;  // natural size
  bool proportional = true;      // keep the aspect ratio (the world map does not)
  std::string caption;           // "Orbitello32 - " + title
};

}  // namespace orb
