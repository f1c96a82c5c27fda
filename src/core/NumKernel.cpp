// SPDX-License-Identifier: AGPL-3.0-or-later
#include "core/NumKernel.h"

#include <cmath>

#include "core/KernelReport.h"
#include "core/NumText.h"

namespace orb {

Extended Frac(Extended x) { return x - std::trunc(x); }

Extended Modulo(Extended m, Extended x) {
  if (m == 0) {
    ReportKernelError("Fehler: " + Str(x, 20, 10) + " hpNumTypmodulo 0 ist nicht definiert");
    return x;
  }
  return m * Frac(x / m);
}

}  // namespace orb
