// SPDX-License-Identifier: AGPL-3.0-or-later
#include "core/OrbitElements.h"

namespace orb {

CometBahnTyp EmptyCometElements() {
  CometBahnTyp el;
  el.name = "not initialized";
  el.number = -1;
  el.asteroid = false;
  return el;
}

}  // namespace orb
