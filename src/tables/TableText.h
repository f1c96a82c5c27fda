// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// The header line and the column header line of an ephemeris table.

#include <string>

namespace orb {

struct TSettings;
struct TRunContext;

// The header line for the settings and the run's start instant, zone and
// deltaT, built at the start of every table, from left to right:
//  - the date of StartJulDat and two blanks when the date column is off;
//  - the short time, the zone name (6 characters) and blanks when the time
//    column is off;
//  - "Ort: " name and the place (" N "/" S ", " O   "/" W   ") when rise and
//    set, azimuth or hour angle are selected, or twilight for the Sun;
//  - the equinox ("Äquin:" Str(Aequinokt, 9, 1) or the equinox of the date)
//    and the corrections when equatorial or ecliptic coordinates are shown;
//  - always ",  DeltaT = " Str(DeltaT * 86400, 1, 1) " s", then " (TDT)"
//    when times are dynamical time.
// Example (the default settings): "Ort: Ortheim,     51°44' N    7°11' O   "
// "Äquin:   2000.0, geozentrisch,  DeltaT = 66.9 s".
std::string HeaderLine(const TSettings& s, const TRunContext& run);

// The column header line for the settings, the zone of the table (its
// name heads the time column) and the object kind: the
// header texts of the selected columns whose object condition holds, in the
// order of the row cells; every header text (also each part of a two-part
// header such as "   Aufg." sep "  Kulm." sep " Unterg" sep) is followed by
// the column separator, the last one included.
std::string ColumnHeaderLine(const TSettings& s, float zone_h);

}  // namespace orb
