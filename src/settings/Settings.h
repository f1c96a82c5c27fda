// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// The settings record: everything a computation reads (time range and step,
// time zone, observer's place, object, table columns, corrections, output
// options) plus a few run-time fields that are never stored. One instance is
// owned by the program and passed by reference; every test builds its own.
//
// Units: Julian dates in UT (TT when TDT is set), angles in degrees, time
// zones in hours east of Greenwich, the step in days.

#include <array>
#include <cstdint>
#include <string>

#include "core/NumKernel.h"
#include "core/OrbitElements.h"

namespace orb {

// Object kinds, the values of TSettings::Objekt.
enum ObjectKind : int32_t {
  kArbitrary = -2,  // fixed coordinates from the coordinate dialog
  kSun = -1,
  kMoon = 0,
  kMercury = 1,
  kVenus = 2,
  kMars = 3,
  kJupiter = 4,
  kSaturn = 5,
  kUranus = 6,
  kNeptune = 7,
  kPluto = 8,
  kSmallBody = 9,  // the current comet or minor planet
};

// The columns of a table and its step; one set for the main tables and one
// per object in the yearbook sections of the settings file.
struct TTableColumns {
  bool ObjDarstell = true;   // object included in a yearbook run
  bool Wochentag = true;     // weekday
  bool Datum = true;         // date
  bool Uhrzeit = true;       // time of day
  bool RaDe = true;          // right ascension and declination
  bool StdwDe = false;       // hour angle (and declination)
  bool EklipKoor = false;    // ecliptic longitude and latitude
  bool AzimKoor = false;     // azimuth and elevation
  bool AufKulmUnt = true;    // rise, culmination and set
  bool AEDaemm = true;       // begin and end of twilight (Sun only)
  bool AufUntAz = false;     // azimuths of rise and set
  bool Entfernung = false;   // distance
  bool Elongation = true;    // elongation from the Sun
  bool Helligkeit = false;   // magnitude
  bool Durchmesser = false;  // apparent diameter
  bool Mondphase = true;     // lunar phase (Moon only)
  bool Mondalter = true;     // age of the Moon (Moon only)
  bool PhysEph = false;      // physical ephemeris
  // Step of the table (days). Held in extended precision: a single-precision
  // step of one hour is 0.16 ms long and drifts a second in 6000 rows.
  Extended Schrittweite = 7.0L;
};

// The observer's place.
struct TOrt {
  std::string Name = "Ortheim";  // at most 25 characters
  Extended Laenge = 7.19L;       // longitude (degrees, east positive)
  Extended Breite = 51.74L;      // latitude (degrees, north positive)
};

inline constexpr std::size_t kMaxPlaceNameChars = 25;
inline constexpr std::size_t kMaxSeparatorChars = 44;
inline constexpr std::size_t kMaxPlanetNameChars = 10;

struct TSettings {
  // ---- persistent fields (names are the settings-file keys) ----
  Extended Startdat = 2455956.0L;  // stored start of the time range (JD, UT)
  Extended DeltaTab = 28.0L;       // length of the time range (days)
  float BasisZeitzone = 1.0f;      // the user's zone without summer time (hours east)
  bool AutoSommerzeit = false;     // derive summer time automatically
  bool TDT = false;                // times are Terrestrial Dynamical Time; zone 0
  bool AskEtKorr = false;          // ask for deltaT before a solar eclipse computation
  float Aequinokt = 2000.0f;       // epoch (years) of the mean equinox of the coordinates
  bool AequinTag = false;          // refer coordinates to the equinox of the date
  bool Nutation = true;            // apply nutation
  bool Aberration = false;         // apply annual aberration
  bool Lichtlaufzeit = true;       // correct for light time
  bool MondTopozentrisch = false;  // topocentric Moon (and coordinates)
  int32_t Objekt = kSun;           // object being tabulated (ObjectKind)
  int32_t PlanetNr = 1;            // last chosen planet or small body, 1..9
  TOrt Ort;
  std::string OrtsDatName = "ORTE.DAT";  // location list
  std::string GeoFileName = "geo.dat";   // outline data of world maps
  float DaemmTiefe = 18.0f;        // depth of the Sun below the horizon for twilight (degrees)
  bool ShowJulDat = false;         // Julian date column
  bool RAGrad = false;             // right ascension in degrees
  bool NoMinutes = false;          // angles as decimal degrees
  bool NoSeconds = false;          // angles as degrees and decimal minutes
  bool Nautisch = false;           // nautical presentation
  bool NewDateFormat = false;      // dates as year-month-day
  std::string NewDateSep = "-";    // separator of the year-month-day format (one character)
  std::string SpaltenSeparator;    // text after every column (at most 44 characters)
  float LRand = 15.0f;             // left margin of printed text (mm)
  float GrafikSkalierung = 1.0f;   // graphics scale factor (stored only)
  bool Tabelle = false;            // list mode: a table over the whole range
  bool Speichern = true;           // write the settings back on exit
  bool DatSpeichern = true;        // keep the start date between runs
  std::string Editor = "notepad.exe";  // external editor (stored only)
  bool SarosVariante = false;      // era designation after Saros numbers
  bool PfadGrenzen = false;        // the path report adds the limits of the umbral path and of the partial eclipse
  TTableColumns TableColumns;      // columns and step of the main tables

  // ---- derived fields (never stored) ----
  // The state of a running computation (the instant being computed, the end
  // of the range, deltaT, the run state) lives in its TRunContext.
  float Zeitzone = 0;        // effective zone of Startdat (hours): base zone, summer time, 0 with TDT
  std::string ArbitraryTitle = "unbenannt";  // title of the arbitrary-coordinates object
  CometBahnTyp CurrentElements;  // current comet or minor planet; empty name: none

  // Names of the objects -1..9 (at most 10 characters); index 9 is the first
  // ten characters of the current element set's name.
  std::array<std::string, 11> PlanetNames = {"Sonne",  "Mond",   "Merkur", "Venus",
                                             "Mars",   "Jupiter", "Saturn", "Uranus",
                                             "Neptun", "Pluto",  "unbenannt"};

  // The name shown for an object kind -1..9 (the arbitrary object's title for -2).
  const std::string& PlanetName(int32_t kind) const;
  std::string& PlanetName(int32_t kind);
};

// The record with every default, before the normalisation.
TSettings DefaultSettings();

// The start-up normalisation, run after all keys are read. `nowJD` is the
// computer's current instant (JD, UT); it becomes the start date when
// DatSpeichern is off. The range of a computation (StartJulDat, EndJulDat)
// is Startdat .. Startdat + DeltaTab (TRunContext).
void NormaliseSettings(TSettings& s, Extended nowJD);
// The same with the system clock.
void NormaliseSettings(TSettings& s);

// Effective zone update for Startdat: when AutoSommerzeit is set and TDT is
// not, the summer-time rule applied to BasisZeitzone sets Zeitzone. Runs at
// start-up and whenever the start date or the zone settings change (the
// settings and the date dialog). Returns whether Zeitzone changed by more
// than 0.1 h.
bool ApplyAutoSummerTime(TSettings& s);

}  // namespace orb
