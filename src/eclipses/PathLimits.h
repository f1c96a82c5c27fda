// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// The limits of a solar eclipse at one instant and along the whole
// eclipse: the northern and southern limits of the umbral (antumbral) path,
// the northern and southern limits of the partial eclipse (penumbra), and
// the points where the penumbra's outline crosses the Earth's limb (the
// curves of the eclipse beginning or ending at sunrise and at sunset).
//
// Method (Explanatory Supplement to the Astronomical Almanac, 1961, chapter
// 9; Meeus, Elements of Solar Eclipses 1951-2200): on the fundamental plane
// of the central line's fits (the same Moon and Sun, the same shadow
// diameters and the same Earth axis ratio as CentralLinePoint), a point of
// the shadow's outline in the direction Q from the axis is found by
// iteration: its height zeta above the plane on the Earth ellipsoid gives
// the shadow radius there, L = l - zeta tan f, which gives the point again.
// A limit of the path at an instant is the point of the outline that touches
// the path's boundary: there the outline moves along itself relative to the
// rotating ground, that is, the distance function (x - xi)^2 + (y - eta)^2
// - L^2 of that fixed ground point is stationary in time. The direction Q
// of that point is found by bisection within 60 degrees of the
// perpendicular to the shadow's motion over the ground; northern is the
// side to the left of the motion (the shadow moves eastward, so the side of
// larger eta).

#include <array>
#include <cstddef>
#include <vector>

#include "core/NumKernel.h"
#include "eclipses/EclipseCommand.h"

namespace orb {

// The limits, in the order of the records below.
enum LimitKind : std::size_t {
  kUmbraNorth = 0,   // northern limit of the umbral (antumbral) path
  kUmbraSouth,       // southern limit of the umbral path
  kPenumbraNorth,    // northern limit of the partial eclipse
  kPenumbraSouth,    // southern limit of the partial eclipse
  kSunriseNorth,     // penumbral outline on the limb, sunrise side (west), the northern of two crossings
  kSunriseSouth,     // ... the southern of two crossings
  kSunsetNorth,      // penumbral outline on the limb, sunset side (east)
  kSunsetSouth,
  kLimitKinds
};

// One limit point: whether it exists at the instant (false: the shadow's
// edge misses the Earth there, the axis runs too far off, or the outline
// does not cross the limb on that side), and then its geographic longitude
// (degrees in (-180, 180], positive west, as CentralLinePoint counts it) and
// latitude.
struct LimitPoint {
  bool valid = false;
  Extended lonWest_deg = 0;
  Extended lat_deg = 0;
};

// All limits at one instant, indexed by LimitKind.
struct PathLimits {
  std::array<LimitPoint, kLimitKinds> point{};
  const LimitPoint& operator[](LimitKind k) const { return point[k]; }
};

// The limits at `t` (Julian centuries, UT) from the fits of `c`.
// Umbral and penumbral limits: the points where the edge of the cone meets
// the Earth's surface on the sunward side, valid only when that point lies
// on the Earth. Sunrise and sunset: the (at most two) points of the
// penumbra's outline on the terminator (the Sun on the geometric horizon,
// no refraction); a point west of the Earth's centre on the fundamental
// plane (xi < 0) is a sunrise point, otherwise a sunset point; of two crossings on one side, the one with the larger eta is the
// northern; a lone crossing on one side is northern when it lies north of
// the shadow axis.
// A `t` + deltaT outside the fitted interval is reported by T_EVAL.
PathLimits PathLimitsAt(const SolarEclipseContext& c, Extended t);

// A point of a sampled limit curve.
struct LimitCurvePoint {
  Extended t = 0;  // Julian centuries, UT
  Extended lonWest_deg = 0;
  Extended lat_deg = 0;
};
// A limit curve: polylines in time order, a new one beginning wherever the
// limit does not exist at a sample. Longitudes are not unwrapped: a curve
// that crosses the date line jumps by about 360 degrees within a polyline.
using LimitPolyline = std::vector<LimitCurvePoint>;

// The limits sampled over the whole eclipse: PathLimitsAt every `step_cy`
// (Julian centuries; not positive: half a minute) from the table start of
// `c` while t + deltaT lies in the fitted half day, as the central line is
// sampled for the map. Indexed by LimitKind; each an empty list when the
// limit never exists.
struct PathLimitCurves {
  std::array<std::vector<LimitPolyline>, kLimitKinds> curve{};
  const std::vector<LimitPolyline>& operator[](LimitKind k) const { return curve[k]; }
};
PathLimitCurves SampledPathLimits(const SolarEclipseContext& c, Extended step_cy);

}  // namespace orb
