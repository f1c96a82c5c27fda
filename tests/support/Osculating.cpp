// SPDX-License-Identifier: AGPL-3.0-or-later
#include "support/Osculating.h"

#include <cmath>

namespace orb::test {

CometBahnTyp Osculating(const double s[6], Extended epoch) {
  constexpr Extended k = 0.01720209895L;
  const Vector3 x{s[0], s[1], s[2]}, v{s[3], s[4], s[5]};
  const Extended mu = k * k, r = Norm(x);
  const Vector3 h = Cross(x, v), vh = Cross(v, h);
  const Vector3 ev{vh.x / mu - x.x / r, vh.y / mu - x.y / r, vh.z / mu - x.z / r};
  const Vector3 hUnit{h.x / Norm(h), h.y / Norm(h), h.z / Norm(h)};
  CometBahnTyp el;
  el.a = 1 / (2 / r - Dot(v, v) / mu);
  el.e = Norm(ev);
  el.q = el.a * (1 - el.e);
  el.i = std::atan2(std::hypot(h.x, h.y), h.z);
  el.AscN = std::atan2(h.x, -h.y);
  const Vector3 node{std::cos(el.AscN), std::sin(el.AscN), 0};
  el.PerL = std::atan2(Dot(Cross(node, ev), hUnit), Dot(node, ev));
  const Extended nu = std::atan2(Dot(Cross(ev, x), hUnit), Dot(ev, x));
  const Extended E = 2 * std::atan(std::sqrt((1 - el.e) / (1 + el.e)) * std::tan(nu / 2));
  el.M0 = E - el.e * std::sin(E);
  el.TM0 = epoch;
  el.T0 = epoch - el.M0 * std::sqrt(el.a * el.a * el.a) / k;
  el.equinox = 2000;
  el.asteroid = true;
  return el;
}

}  // namespace orb::test
