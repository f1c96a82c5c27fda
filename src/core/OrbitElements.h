// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// Orbital element records of comets and minor planets. They are plain data
// shared by the orbit computation (engine), the element files and the
// settings record, so they live in the core.

#include <cstdint>
#include <string>

#include "core/NumKernel.h"

namespace orb {

// Osculating elements; angles in radians, distances in AU.
struct Bahndatyp {
  std::string name;
  Extended a = 0;      // semi-major axis (AU), derived from q and e
  Extended e = 0;      // eccentricity
  Extended de = 0;     // change of e per century
  Extended i = 0;      // inclination (rad)
  Extended di = 0;     // change per century (rad)
  Extended AscN = 0;   // longitude of the ascending node (rad)
  Extended dAscN = 0;  // change per century (rad)
  Extended PerL = 0;   // argument of perihelion (rad)
  Extended dPerL = 0;  // change per century (rad)
  Extended M0 = 0;     // mean anomaly at the epoch TM0 (rad)
  Extended n = 0;      // mean motion (rad/day)
  Extended TM0 = 0;    // epoch of M0, Julian date (TT)
};

// One comet or minor planet. A default-constructed record is zero-filled
// with an empty name, which means "no element set".
struct CometBahnTyp : Bahndatyp {
  Extended q = 0;        // perihelion distance (AU)
  Extended T0 = 0;       // time of perihelion passage, Julian date (TT)
  float diameter = 0;    // km; 0 when not given
  float equinox = 0;     // year of the equinox of the elements (e.g. 2000.0)
  float mag = 0;         // absolute magnitude (H, or a comet's total absolute magnitude)
  float dmag = 0;        // slope: phase parameter, or a comet's activity exponent
  int32_t number = 0;    // minor-planet number; <= 0 when unnumbered
  bool asteroid = false; // true for a minor planet, false for a comet
};

// The empty record: name "not initialized", every number 0, number -1,
// asteroid false.
CometBahnTyp EmptyCometElements();

}  // namespace orb
