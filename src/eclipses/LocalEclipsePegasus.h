// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// The Pegasus root finder declared in LocalEclipse.h (a template, so it
// lives in a header). Montenbruck & Pfleger, Astronomy on the Personal
// Computer, section 3.4 (PEGASUS): regula falsi whose retained end value is
// scaled by f2/(f2 + f3) whenever the new point falls on the same side as
// the last one, which keeps the convergence superlinear.

#include <cmath>

#include "core/NumKernel.h"

namespace orb {

namespace pegasus_detail {
// -1, 0 or +1; 0 also for NaN, which the caller rejects separately.
inline int Sign(Extended v) { return (v > 0) - (v < 0); }
}  // namespace pegasus_detail

template <typename F>
bool Pegasus(F f, Extended a, Extended b, Extended tolerance, Extended& root) {
  constexpr int kMaxIterations = 30;
  using pegasus_detail::Sign;
  root = a;
  Extended x1 = a, x2 = b;
  Extended f1 = f(x1), f2 = f(x2);
  if (std::isnan(f1) || std::isnan(f2)) return false;
  if (f1 == 0) return true;
  if (f2 == 0) {
    root = b;
    return true;
  }
  if (Sign(f1) == Sign(f2)) return false;
  for (int i = 0; i < kMaxIterations; ++i) {
    const Extended x3 = x2 - f2 / ((f2 - f1) / (x2 - x1));
    const Extended f3 = f(x3);
    if (std::isnan(f3)) {
      root = a;
      return false;
    }
    if (Sign(f3) * Sign(f2) <= 0) {
      x1 = x2;
      f1 = f2;
    } else {
      f1 = f1 * f2 / (f2 + f3);
    }
    x2 = x3;
    f2 = f3;
    root = std::fabs(f2) < std::fabs(f1) ? x2 : x1;
    if (f2 == 0 || std::fabs(x2 - x1) <= tolerance) break;
  }
  return true;
}

}  // namespace orb
