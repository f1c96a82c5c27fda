// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

#include "settings/Settings.h"

namespace orb::test {

// A fresh start in UTC (BasisZeitzone 0) at `jd`, list mode over `days`,
// normalised as at a start-up on 2025-11-21 (JD 2461000.5).
inline TSettings UtcStart(Extended jd, Extended days) {
  TSettings s;
  s.BasisZeitzone = 0;
  s.Startdat = jd;
  s.DeltaTab = days;
  s.Tabelle = days > 0;
  NormaliseSettings(s, 2461000.5L);
  return s;
}

}  // namespace orb::test
