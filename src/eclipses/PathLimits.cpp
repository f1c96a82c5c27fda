// SPDX-License-Identifier: AGPL-3.0-or-later
// The limits of the umbral path and of the partial eclipse, and the
// crossings of the penumbra's outline with the terminator, on the
// fundamental plane of the central line's fits.
#include "eclipses/PathLimits.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "core/TimeScales.h"

namespace orb {
namespace {

// The neighbouring instants for the motion of the outline over the ground:
// half a minute either side, and the Earth's rotation in that time
// (1.00273790935 turns per mean solar day).
constexpr Extended kHalfMinute_cy = 0.5L / kMinutesPerDay / kDaysPerCentury;
constexpr Extended kRotationPerHalfMinute_rad = 2 * kPi * 1.00273790935L * 0.5L / kMinutesPerDay;

// The search for the point of the outline on the path's boundary: the
// directions from 30 to 150 degrees off the shadow's motion, halved 50 times.
constexpr Extended kBracketFromMotion_rad = kPi / 6;
constexpr int kDirectionHalvings = 50;

// The iteration for a point of the outline at its height above the plane.
constexpr int kEdgeIterations = 60;
constexpr int kUndampedEdgeIterations = 20;
constexpr Extended kEdgeTolerance = 1e-14L;

// The terminator is searched every half degree around the Earth's outline
// and each crossing halved 50 times.
constexpr int kTerminatorSamples = 720;
constexpr int kTerminatorHalvings = 50;

Vector3 Scaled(const Vector3& v, Extended f) { return {v.x * f, v.y * f, v.z * f}; }
Vector3 Sum(const Vector3& a, const Vector3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vector3 Difference(const Vector3& a, const Vector3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vector3 Unit(const Vector3& v) { return Scaled(v, 1 / Norm(v)); }

// The bilinear form of the Earth ellipsoid x^2 + y^2 + (z/b)^2 = 1.
Extended EllipsoidForm(const Vector3& u, const Vector3& v) {
  return u.x * v.x + u.y * v.y + u.z * v.z / (kEarthAxisRatio * kEarthAxisRatio);
}

// A ground point turned with the Earth by `angle_rad` about its axis.
Vector3 Turned(const Vector3& p, Extended angle_rad) {
  const Extended c = std::cos(angle_rad), s = std::sin(angle_rad);
  return {p.x * c - p.y * s, p.x * s + p.y * c, p.z};
}

// The fundamental plane at one instant: its basis (e1 east, e2 north, e3
// towards the Sun, equatorial of the date), the Moon on it, and the cones:
// a radius l on the plane and tan f, so that the radius at the height zeta
// is l - zeta tan f (the umbra's is negative while the shadow is total).
struct Cone {
  Extended l = 0, tanF = 0;
};
struct Plane {
  Vector3 e1, e2, e3;
  Extended x = 0, y = 0, z = 0;
  Cone penumbra, umbra;
};

// The same diameters of the Sun and the Moon as the central line: the
// umbra's diameter at the distance d behind the Moon is
// d * 217.705 / G - 0.545, the penumbra's d * 218.795 / G + 0.545.
Plane PlaneAt(const SolarEclipseContext& c, Extended t) {
  const FittedBodies b = FittedBodiesAt(c, t);
  const Vector3 g = Difference(b.sun, b.moon);
  const Extended G = Norm(g);
  Plane p;
  p.e3 = Scaled(g, 1 / G);
  p.e1 = Unit(Vector3{-p.e3.y, p.e3.x, 0});
  p.e2 = Cross(p.e3, p.e1);
  p.x = Dot(b.moon, p.e1);
  p.y = Dot(b.moon, p.e2);
  p.z = Dot(b.moon, p.e3);
  p.penumbra.tanF = kSunPlusMoonDiameter / (2 * G);
  p.penumbra.l = p.z * p.penumbra.tanF + kMoonDiameter / 2;
  p.umbra.tanF = kSunMinusMoonDiameter / (2 * G);
  p.umbra.l = p.z * p.umbra.tanF - kMoonDiameter / 2;
  return p;
}

// The instant and its neighbours, for the motion over the ground.
struct Instant {
  Extended t = 0;
  Plane before, now, after;
};
Instant InstantAt(const SolarEclipseContext& c, Extended t) {
  return {t, PlaneAt(c, t - kHalfMinute_cy), PlaneAt(c, t), PlaneAt(c, t + kHalfMinute_cy)};
}

const Cone& ConeOf(const Plane& p, bool umbra) { return umbra ? p.umbra : p.penumbra; }

// The point of the Earth's surface on the sunward side above (xi, eta) of
// the plane: its height zeta from the ellipsoid, the larger root of a
// quadratic. Off the Earth's outline the vertex of the quadratic continues
// zeta smoothly across the limb, and `onEarth` is false.
struct SurfacePoint {
  Vector3 p;  // equatorial, Earth radii
  Extended xi = 0, eta = 0, zeta = 0;
  bool onEarth = false;
};
SurfacePoint SurfaceAbove(const Plane& pl, Extended xi, Extended eta) {
  const Vector3 base = Sum(Scaled(pl.e1, xi), Scaled(pl.e2, eta));
  const Extended a = EllipsoidForm(pl.e3, pl.e3);
  const Extended b = 2 * EllipsoidForm(base, pl.e3);
  const Extended c = EllipsoidForm(base, base) - 1;
  const Extended discriminant = b * b - 4 * a * c;
  SurfacePoint s;
  s.xi = xi;
  s.eta = eta;
  s.onEarth = discriminant >= 0;
  s.zeta = (-b + std::sqrt(std::max<Extended>(0, discriminant))) / (2 * a);
  s.p = Sum(base, Scaled(pl.e3, s.zeta));
  return s;
}

// The point of the cone's outline on the Earth in the direction `q_rad`
// from the axis (counted from e1 towards e2): the radius at the point's
// height gives the point, whose height gives the radius again. Near the limb
// the height changes quickly with the point, and the later steps go half
// way only.
SurfacePoint EdgeAt(const Plane& pl, const Cone& cone, Extended q_rad) {
  const Extended cq = std::cos(q_rad), sq = std::sin(q_rad);
  Extended zeta = 0;
  SurfacePoint s;
  for (int i = 0; i < kEdgeIterations; ++i) {
    const Extended r = std::fabs(cone.l - zeta * cone.tanF);
    s = SurfaceAbove(pl, pl.x + r * cq, pl.y + r * sq);
    const Extended next = i < kUndampedEdgeIterations ? s.zeta : (zeta + s.zeta) / 2;
    if (std::fabs(next - zeta) < kEdgeTolerance) break;
    zeta = next;
  }
  return s;
}

// The ground point `p` (equatorial at the instant) relative to the shadow's
// axis on the plane `pl` after the Earth turned by `angle_rad`, and its
// distance function (xi - x)^2 + (eta - y)^2 - L^2 for the cone.
struct Relative {
  Extended dxi = 0, deta = 0, distance = 0;
};
Relative RelativeTo(const Plane& pl, const Cone& cone, const Vector3& p, Extended angle_rad) {
  const Vector3 q = Turned(p, angle_rad);
  Relative r;
  r.dxi = Dot(q, pl.e1) - pl.x;
  r.deta = Dot(q, pl.e2) - pl.y;
  const Extended L = cone.l - Dot(q, pl.e3) * cone.tanF;
  r.distance = r.dxi * r.dxi + r.deta * r.deta - L * L;
  return r;
}

// The change of the distance function of the ground point `p` over the
// minute about the instant: 0 where the outline moves along itself.
Extended DistanceChange(const Instant& in, bool umbra, const Vector3& p) {
  const Relative after = RelativeTo(in.after, ConeOf(in.after, umbra), p, kRotationPerHalfMinute_rad);
  const Relative before = RelativeTo(in.before, ConeOf(in.before, umbra), p, -kRotationPerHalfMinute_rad);
  return after.distance - before.distance;
}

// The direction (radians, from e1 towards e2) in which the shadow's axis
// moves over the ground below it at the instant.
Extended MotionDirection(const Instant& in) {
  const Plane& pl = in.now;
  const Vector3 below = SurfaceAbove(pl, pl.x, pl.y).p;
  const Relative after = RelativeTo(in.after, in.after.umbra, below, kRotationPerHalfMinute_rad);
  const Relative before = RelativeTo(in.before, in.before.umbra, below, -kRotationPerHalfMinute_rad);
  // The ground point's offset from the axis decreases as the shadow passes.
  return std::atan2(before.deta - after.deta, before.dxi - after.dxi);
}

// Geographic place of a surface point.
LimitPoint LimitOf(const Vector3& p, Extended t) {
  LimitPoint l;
  l.valid = true;
  SurfacePointGeographic(p, t, l.lonWest_deg, l.lat_deg);
  return l;
}

// The limit of a cone on the side `north` (left of the motion) or south:
// the direction between 30 and 150 degrees off the motion in which the
// distance function of the outline's ground point is stationary, by
// halving; invalid when the change has no sign change there (the outline
// moving along itself nowhere on that side) or the point lies off the Earth.
LimitPoint ConeLimit(const Instant& in, bool umbra, bool north, Extended motion_rad) {
  const Cone& cone = ConeOf(in.now, umbra);
  const Extended side = north ? 1 : -1;
  // Leading side (the distance falling) first, trailing side second.
  Extended leading = motion_rad + side * kBracketFromMotion_rad;
  Extended trailing = motion_rad + side * (kPi - kBracketFromMotion_rad);
  const auto change = [&](Extended q) { return DistanceChange(in, umbra, EdgeAt(in.now, cone, q).p); };
  const Extended fLeading = change(leading), fTrailing = change(trailing);
  if (!(fLeading < 0 && fTrailing > 0)) return {};
  for (int i = 0; i < kDirectionHalvings; ++i) {
    const Extended middle = (leading + trailing) / 2;
    (change(middle) < 0 ? leading : trailing) = middle;
  }
  const SurfacePoint edge = EdgeAt(in.now, cone, (leading + trailing) / 2);
  if (!edge.onEarth) return {};
  return LimitOf(edge.p, in.t);
}

// The Earth's outline seen from the Sun (the terminator): the points where
// the ellipsoid's normal is perpendicular to e3. With z divided by the axis
// ratio the Earth is a unit sphere and the outline the great circle
// perpendicular to (e3x, e3y, e3z / b); `phi_rad` runs around it.
struct Terminator {
  Vector3 u1, u2;
};
Terminator TerminatorOf(const Plane& pl) {
  const Vector3 w = Unit(Vector3{pl.e3.x, pl.e3.y, pl.e3.z / kEarthAxisRatio});
  Terminator t;
  t.u1 = Unit(Vector3{-w.y, w.x, 0});
  t.u2 = Cross(w, t.u1);
  return t;
}
Vector3 TerminatorPoint(const Terminator& term, Extended phi_rad) {
  const Vector3 s = Sum(Scaled(term.u1, std::cos(phi_rad)), Scaled(term.u2, std::sin(phi_rad)));
  return {s.x, s.y, s.z * kEarthAxisRatio};
}

// The crossings of the penumbra's outline with the terminator, sorted into
// sunrise (xi < 0) and sunset, north and south.
void TerminatorCrossings(const Plane& pl, Extended t, PathLimits& limits) {
  const Terminator term = TerminatorOf(pl);
  const auto distance = [&](Extended phi) { return RelativeTo(pl, pl.penumbra, TerminatorPoint(term, phi), 0).distance; };
  struct Crossing {
    Vector3 p;
    Extended xi = 0, eta = 0;
  };
  std::vector<Crossing> crossings;
  const Extended step = 2 * kPi / kTerminatorSamples;
  Extended previous = distance(0);
  for (int i = 1; i <= kTerminatorSamples; ++i) {
    const Extended current = distance(i * step);
    if ((previous < 0) != (current < 0)) {
      Extended a = (i - 1) * step, b = i * step;
      const bool insideAtA = previous < 0;
      for (int k = 0; k < kTerminatorHalvings; ++k) {
        const Extended middle = (a + b) / 2;
        ((distance(middle) < 0) == insideAtA ? a : b) = middle;
      }
      const Vector3 p = TerminatorPoint(term, (a + b) / 2);
      crossings.push_back({p, Dot(p, pl.e1), Dot(p, pl.e2)});
    }
    previous = current;
  }
  for (const Crossing& cr : crossings) {
    const bool sunrise = cr.xi < 0;
    bool north = cr.eta > pl.y;  // a lone crossing on its side
    for (const Crossing& other : crossings) {
      if (&other != &cr && (other.xi < 0) == sunrise) north = cr.eta > other.eta;
    }
    const LimitKind kind = sunrise ? (north ? kSunriseNorth : kSunriseSouth) : (north ? kSunsetNorth : kSunsetSouth);
    limits.point[kind] = LimitOf(cr.p, t);
  }
}

}  // namespace

PathLimits PathLimitsAt(const SolarEclipseContext& c, Extended t) {
  const Instant in = InstantAt(c, t);
  PathLimits limits;
  const Extended motion = MotionDirection(in);
  if (std::isfinite(motion)) {
    limits.point[kUmbraNorth] = ConeLimit(in, true, true, motion);
    limits.point[kUmbraSouth] = ConeLimit(in, true, false, motion);
    limits.point[kPenumbraNorth] = ConeLimit(in, false, true, motion);
    limits.point[kPenumbraSouth] = ConeLimit(in, false, false, motion);
  }
  TerminatorCrossings(in.now, t, limits);
  return limits;
}

PathLimitCurves SampledPathLimits(const SolarEclipseContext& c, Extended step_cy) {
  if (!(step_cy > 0)) step_cy = kHalfMinute_cy;
  const Extended deltaT_cy = c.deltaT_s / kSecondsPerCentury;
  PathLimitCurves curves;
  std::array<bool, kLimitKinds> open{};
  for (int64_t i = 0;; ++i) {
    const Extended t = c.tableStart + i * step_cy;
    if (!(t + deltaT_cy <= c.intervalEnd + kEndMargin_steps * step_cy)) break;
    const PathLimits limits = PathLimitsAt(c, t);
    for (std::size_t k = 0; k < kLimitKinds; ++k) {
      const LimitPoint& p = limits.point[k];
      if (!p.valid) {
        open[k] = false;
        continue;
      }
      if (!open[k]) curves.curve[k].emplace_back();
      open[k] = true;
      curves.curve[k].back().push_back({t, p.lonWest_deg, p.lat_deg});
    }
  }
  return curves;
}

}  // namespace orb
