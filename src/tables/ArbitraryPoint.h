// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// An arbitrary point of the sky in the three frames of the coordinate
// dialog: equatorial (right ascension, declination), ecliptic (longitude,
// latitude), both referred to a chosen mean equinox, and horizontal
// (azimuth from north through east, elevation without refraction) for the
// observer's place at the start instant. The point becomes the fixed object
// of kind -2 of the tables (ArbitraryCoordinates).
//
// Units: angles in radians unless a name says otherwise, instants as Julian
// dates in the time scale of Startdat (UT, or TT with TDT), longitudes of
// the observer east positive.

#include <optional>
#include <string>

#include "core/NumKernel.h"
#include "settings/Settings.h"
#include "tables/TableDriver.h"
#include "tables/TableFormat.h"

namespace orb {

// The caption of the coordinate dialog and its one message (an information
// box), shown when "&OK" finds a field without a number.
inline constexpr const char* kArbitraryCaption = "Koordinatentransformation";
inline constexpr const char* kInvalidCoordinatesText = "Bitte gültige Koordinaten eingeben!";

// The frame in which the two coordinates are typed.
enum class InputFrame {
  Equatorial,  // right ascension (hours) and declination (degrees)
  Ecliptic,    // longitude and latitude (degrees)
  Horizontal,  // azimuth from north through east and elevation (degrees)
};

// Whether a text holds a number: at least one digit (a run of digits with
// points or commas inside is one number).
bool ContainsNumber(const std::string& text);

// A coordinate as typed: up to three numbers read leniently one after
// another (settings/NumberReader.h: blanks, letters, "°", "h", "'" separate
// them; a decimal comma is a decimal point), degrees (or hours), minutes and
// seconds; missing ones count as 0; a fourth number and the rest are
// ignored. When the first number is 0 or positive the value is
// d + m/60 + s/3600, when it is negative d - m/60 - s/3600. A minus sign on
// a first number of zero counts: "-0 30" is -0.5, as the tables write
// -0°30' (a minus sign separated from its digits by a blank is no sign).
// Empty when the text holds no number, or when the value is not finite
// ("1e99999").
std::optional<Extended> ReadCoordinate(const std::string& text);

// The Julian date of the mean equinox the coordinates refer to: the instant
// `startJD` itself with `ofDate`, otherwise the equinox of the (Besselian)
// year in `yearText` read leniently (JD = (year - 1950) * 365.2422 +
// 2433282.423; "2000.0" gives JD 2451544.533). Empty when the year text
// holds no number or its equinox is not a finite date.
std::optional<Extended> EquinoxJD(const std::string& yearText, bool ofDate, Extended startJD);

// What the dialog holds: the frame, the two coordinate texts and the equinox.
struct ArbitraryInput {
  InputFrame frame = InputFrame::Equatorial;
  std::string first;                  // right ascension, longitude or azimuth
  std::string second;                 // declination, latitude or elevation
  std::string equinoxYear = "2000.0";  // year of the equinox (unless ofDate)
  bool equinoxOfDate = false;         // "Äquinoktium des Tages"
};

// The point in all three frames. Right ascension, longitude and azimuth in
// [0, 2pi); declination, latitude and elevation in [-pi/2, pi/2] for
// inputs within that range.
struct ArbitraryPoint {
  Extended ra_rad = 0, dec_rad = 0;  // mean equator and equinox of equinoxJD
  Extended lon_rad = 0, lat_rad = 0;  // mean ecliptic and equinox of equinoxJD
  Extended az_rad = 0, alt_rad = 0;   // horizon of the place at the instant
  Extended equinoxJD = 0;
};

// Converts the input for the observer at `place` (latitude phi, longitude
// east) and the instant `jd` (the table's start instant Startdat):
// - equatorial: (lambda, beta) from (alpha, delta) with the mean obliquity
//   of the equinox; ecliptic: (alpha, delta) from (lambda, beta) the same way;
//   then (alpha, delta) precessed from the equinox to `jd` (Meeus 21.2-21.4),
//   the hour angle H = LST - alpha from the tables' local sidereal time
//   (core/TimeScales.h) and (A, h) from (phi, delta, H);
// - horizontal: (H, delta) of the date from (h, A, phi), alpha = LST - H,
//   both precessed from `jd` to the equinox, then (lambda, beta).
// The horizontal place is thus the one the table of kind -2 shows at `jd`
// for the coordinates TableCoordinates gives. Spherical formulas
// (engine/Frames.h), no refraction, nutation or aberration; exact apart
// from the rounding of the single-precision sidereal time (0.05 s of time).
// Empty when a coordinate field or the equinox year holds no number.
std::optional<ArbitraryPoint> ConvertArbitraryPoint(const ArbitraryInput& input, const TOrt& place, Extended jd);

// The three results as the dialog's frame choices show them, each formatted
// as the tables write these quantities under `style`:
// "&Äquatorial: " right ascension (hours angle) "  " declination (latitude),
// "&Ekliptikal: " longitude "  " latitude,
// "&Azimutal: " azimuth (longitude) "  " elevation (latitude),
// for example "&Äquatorial:  6h45m09.0s    -16°42'58\"". The "&" marks the
// access key of the choice.
struct ArbitraryCaptions {
  std::string equatorial, ecliptic, horizontal;
};
ArbitraryCaptions ResultCaptions(const ArbitraryPoint& point, const AngleStyle& style);

// A caption without its access-key marks, as plain text shows it: every
// "&" removed, "&&" written as "&" ("&Äquatorial: ..." is "Äquatorial: ...").
std::string WithoutAccessKeys(const std::string& caption);

// The date and place of the computation: "Datum: " the date and time of
// Startdat in the zone Zeitzone as the tables write them, "\r\n", "Ort: "
// the place's name: "Datum: 29.01.2012  13h00m\r\nOrt: Ortheim".
std::string ComputationPlaceText(const TSettings& s);

// The fixed object of kind -2 for the tables: the ecliptic coordinates and
// their equinox.
ArbitraryCoordinates TableCoordinates(const ArbitraryPoint& point);

// The title of the object of kind -2 from the name typed in the dialog:
// the name without surrounding blanks, or "unbenannt" when nothing is left.
std::string ArbitraryTitleOf(const std::string& name);

}  // namespace orb
