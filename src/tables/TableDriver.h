// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// The ephemeris table driver: one table of the object Settings.Objekt at the
// start instant or, in list mode, over the time range, written line by line
// into the host's text area; and the yearbook run, which repeats the table
// for the Sun, the Moon and the planets with per-object columns.
// The settings are read only; what moves during a run lives in its
// TRunContext.

#include <cstdint>
#include <string>

#include "core/Host.h"
#include "core/NumKernel.h"
#include "core/TimeScales.h"
#include "settings/IniDocument.h"
#include "settings/RunContext.h"
#include "settings/Settings.h"

namespace orb {

// The fixed point of the sky of object kind -2: ecliptic longitude and
// latitude (radians) referred to the equinox of `epochJD`.
struct ArbitraryCoordinates {
  Extended lon_rad = 0;
  Extended lat_rad = 0;
  Extended epochJD = kJ2000;
};

// The quantities of one row at one instant: radians, AU, arcseconds for
// the diameter. The coordinates "of date" serve hour angle, azimuth, rise and
// set and the physical ephemerides; the "Out" copies are what the columns
// show (precessed to the equinox Aequinokt unless AequinTag is set).
// Quantities that only unselected columns show are not computed and stay 0:
// magnitude and diameter (Helligkeit, Durchmesser), the elongation
// (Elongation, or PhysEph of a planet), r and R (PhysEph of a planet), hour
// angle and horizontal coordinates (StdwDe, AzimKoor), the ecliptic copies
// lonOut and latOut (EklipKoor).
// When the object has no place at the instant (a date outside the
// ephemeris, elements that describe no orbit) every quantity is NaN and the
// cells show their placeholders.
struct TableRow {
  Extended lon = 0, lat = 0, ra = 0, dec = 0;  // of the date
  Extended delta = 0, r = 0, R = 0;            // geocentric, heliocentric, Sun-Earth (AU)
  Extended elong = 0, mag = 0, diam = 0;       // signed elongation, magnitude, diameter (")
  Extended P = 0, moonPhaseAngle = 0;          // Moon: phase value and phase angle
  Extended raOut = 0, decOut = 0, lonOut = 0, latOut = 0;
  Extended ha = 0, az = 0, alt = 0;            // hour angle, azimuth (from north), elevation
};

// Position and frames of the row at `jd` (UT) with deltaT (days).
TableRow ComputeRow(const TSettings& s, Extended jd, Extended deltaT_days, const ArbitraryCoordinates& arbitrary = {});
// Whether a row has a place (its coordinates are numbers).
bool RowHasPlace(const TableRow& row);

// Tables longer than this are refused (a tiny step over a long range).
inline constexpr int64_t kMaxTableRows = 10'000'000;
// A step below one second cannot move the clock of the rows: like a step of
// zero or less it gives the one row of the start instant.
inline constexpr Extended kShortestStep_days = 1 / kSecondsPerDay;

// What a table computed: its rows, and how many of them have a place.
struct TableResult {
  int64_t rows = 0;
  int64_t rowsWithPlace = 0;
};

// The number of rows of a table: 1 without list mode (or with a step below
// a second); in list mode the rows Startdat + k * step up to the first one
// that lies at or after EndJulDat - 0.00001 day (so the last row may lie up
// to one step after the end). 0 when the range is not a finite number.
int64_t TableRowCount(const TSettings& s, const TRunContext& run);

// Computes one table for s.Objekt: header line (when it differs from
// run.LastHeader), empty line, title, column header, rows at Startdat +
// k * step. Between rows one pending window message is processed; a stop
// request asks "Berechnung abbrechen?" and the table goes on when the answer
// is "Nein". In list mode a step below a second gives one row with a
// warning, and a table of more than kMaxTableRows rows is refused with a
// message naming its count (no rows). Rows without a place (the date
// outside the ephemeris) show placeholders, and the table says once why.
// At the end RunState is 0, the stop button disabled and StartJulDat equals
// Startdat.
TableResult ComputeTable(const TSettings& s, TRunContext& run, Host& host,
                         const ArbitraryCoordinates& arbitrary = {});

// The yearbook run: the table for the Sun, the Moon and Mercury ... Neptune,
// each with the columns, the step and the topocentric flag of its section
// "Jahrbucheinstellungen <name>" of the settings file (an absent
// MondTopozentrisch is off), when that section's ObjDarstell is set. With
// Nautisch the hour angle replaces the right ascension. The stop command
// ends the run after the current table. The rows of all tables together.
TableResult YearBookRun(const TSettings& s, TRunContext& run, Host& host, const IniDocument& settingsFile);

// The title line of the current object.
std::string TableTitle(const TSettings& s);

}  // namespace orb
