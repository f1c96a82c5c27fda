// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// The ephemeris table driver: one table of the object Settings.Objekt at the
// start instant or, in list mode, over the time range, written line by line
// into the host's text area; and the yearbook run, which repeats the table
// for the Sun, the Moon and the planets with per-object columns.

#include <string>

#include "core/Host.h"
#include "core/NumKernel.h"
#include "core/TimeScales.h"
#include "settings/IniDocument.h"
#include "settings/Settings.h"

namespace orb {

// The fixed point of the sky of object kind -2: ecliptic longitude and
// latitude (radians) referred to the equinox of `epochJD`.
struct ArbitraryCoordinates {
  Extended lon_rad = 0;
  Extended lat_rad = 0;
  Extended epochJD = kJ2000;
};

// The quantities of one row at s.StartJulDat: radians, AU, arcseconds for
// the diameter. The coordinates "of date" serve hour angle, azimuth, rise and
// set and the physical ephemerides; the "Out" copies are what the columns
// show (precessed to the equinox Aequinokt unless AequinTag is set).
// Quantities that only unselected columns show are not computed and stay 0:
// magnitude and diameter (Helligkeit, Durchmesser), the elongation
// (Elongation, or PhysEph of a planet), r and R (PhysEph of a planet), hour
// angle and horizontal coordinates (StdwDe, AzimKoor).
struct TableRow {
  Extended lon = 0, lat = 0, ra = 0, dec = 0;  // of the date
  Extended delta = 0, r = 0, R = 0;            // geocentric, heliocentric, Sun-Earth (AU)
  Extended elong = 0, mag = 0, diam = 0;       // signed elongation, magnitude, diameter (")
  Extended P = 0, moonPhaseAngle = 0;          // Moon: phase value and phase angle
  Extended raOut = 0, decOut = 0, lonOut = 0, latOut = 0;
  Extended ha = 0, az = 0, alt = 0;            // hour angle, azimuth (from north), elevation
};

// Position and frames of the row at s.StartJulDat (with s.DeltaT).
TableRow ComputeRow(const TSettings& s, const ArbitraryCoordinates& arbitrary = {});

// Computes one table for s.Objekt: header line (when it differs from the
// last one), empty line, title, column header, rows. Between rows one
// pending window message is processed; a stop request (RunState < 1) asks
// "Berechnung abbrechen?" and the table goes on when the answer is "Nein".
void ComputeTable(TSettings& s, Host& host, const ArbitraryCoordinates& arbitrary = {});

// The yearbook run: the table for the Sun, the Moon and Mercury ... Neptune,
// each with the columns of its section "Jahrbucheinstellungen <name>" of the
// settings file, when that section's ObjDarstell is set. TableColumns,
// Objekt, PlanetNr and Tabelle are restored afterwards.
void YearBookRun(TSettings& s, Host& host, const IniDocument& settingsFile);

// The stop command: marks the running computation for the stop question
// and ends a yearbook run after its current table.
void RequestStop(TSettings& s);

// The title line of the current object.
std::string TableTitle(const TSettings& s);

}  // namespace orb
