// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// The current comet or minor planet: its element set in the section "Komet"
// of the settings file, the comet element list lines it can come from, and
// the minor-planet element files (".AST": fixed-size records per epoch).
//
// Units: angles in radians in memory and in degrees in files and lists;
// distances in AU; dates as Julian dates (the elements' dynamical time).

#include <cstdint>
#include <string>

#include "core/Host.h"
#include "core/OrbitElements.h"
#include "settings/IniDocument.h"

namespace orb {

class SettingsFile;

// The equinox of an element set that names none (years).
inline constexpr float kDefaultElementEquinox = 2000.0f;

// Reads the current element set from section "Komet".
// Name (default empty): when empty, `el` gets the empty name and nothing
// else is read or changed. Otherwise PerDat (default 2444000), TM0, M0,
// PerDist, Exz, Neig, PerL, AKn, AbsMag, dMag (default 0; angles in
// degrees), ElemEpoch (default 2000.0), Asteroid (FALSE), Number (0),
// diameter (0). The semi-major
// axis becomes |q/(1 - e)| when e != 1; a parabola (e = 1 exactly) keeps the
// a that `el` held. Every rate of change is set to 0.
void LoadCurrentElements(const IniDocument& ini, CometBahnTyp& el);

// Writes the current element set to section "Komet", in this order: Name
// (trimmed), PerDat (-6), M0 (deg, -7), TM0 (-6), PerDist (-9), Exz (-9),
// Neig, PerL, AKn (deg, -7 each), ElemEpoch (10 decimals, zeros kept),
// AbsMag (-3), dMag (-3), Asteroid, Number, diameter (no decimals); a
// negative count of decimals drops trailing zeros. Nothing is written when
// the trimmed name is empty.
void SaveCurrentElements(SettingsFile& file, const CometBahnTyp& el);

// Fills an element set from one line of a comet element list (the one-line
// comet element format of the public comet list):
// - the name: the first 43 characters, trimmed;
// - from the rest, read one after the other by the lenient number reader
//   (a missing number reads as 0): perihelion day with fraction, month and
//   year (rounded to integers) giving PerDat; then M0 (deg), PerDist, Exz,
//   Neig, PerL, AKn (deg), ElemEpoch, AbsMag, dMag;
// - a := |q/(1 - e)| when e != 1; a parabola (e = 1 exactly) has no
//   semi-major axis and gets a = 0 rather than the previous body's value;
// - Asteroid when the text after dMag, upper-cased, contains an "A";
//   diameter 0, Number 0, every rate 0. TM0 of `el` is kept.
void ParseCometLine(const std::string& line, CometBahnTyp& el);

// Why an element set cannot describe an orbit, in German, or "" when it
// can: the perihelion distance must lie above 0 and up to
// kMaxPerihelion_au, the eccentricity from 0 up to kMaxEccentricity, the
// angles must be finite numbers, and the perihelion passage and the epoch
// of M0 Julian dates within the calendar (kCalendarLimit_jd). Checked for
// the set of section "Komet" at start-up and for a chosen comet list line.
inline constexpr Extended kMaxPerihelion_au = 1e6L;  // far beyond the Oort cloud
inline constexpr Extended kMaxEccentricity = 100;    // the most hyperbolic bodies known stay below 4
std::string ElementSetProblem(const CometBahnTyp& el);

// Why the element set that LoadCurrentElements read from section "Komet"
// into `loaded` cannot be taken, or "" (also when the section names no
// body): a number key whose text holds no number (the lenient reader
// would make it 0), or ElementSetProblem. Example: "PerDist = abc ist keine
// Zahl".
std::string CurrentElementsProblem(const IniDocument& ini, const CometBahnTyp& loaded);

// Why a comet list line cannot give an element set, or "": fewer than the
// ten numbers from the perihelion day to the equinox (a line cut off, or a
// line of another layout), a month outside 1..12, or ElementSetProblem of
// what ParseCometLine makes of it. The magnitudes may be missing.
std::string CometLineProblem(const std::string& line);

// The ".AST" file for the Julian date `jd` below `directory`.
// MinJulDat (default 2440000) and MaxJulDat (default 2459800) of section
// "AsteroidFiles" are read and written back without decimals; `jd` is
// clamped into that range. The file of epoch E = 50 floor((jd + 25.4)/50)
// is directory/EEEE/EEEEEEE.AST (E in seven digits, the folder its first
// four); when it does not exist, the file of E = 200 floor((jd + 100.4)/200)
// is returned whether it exists or not. A file found only in other letter
// cases is returned as found on disk.
std::string ChooseAsteroidFile(SettingsFile& file, const std::string& directory, Extended jd);

// Reads the elements of minor planet `number` from the ".AST" file `path`
// (looked up case-insensitively when not found as written). `listText` is
// the planet's line of the name list: characters 1 to 12 hold the absolute
// magnitude H and optionally the slope G (0.15 when absent), characters 13
// to 37 the name. A list text without a name gives the name "(number)".
// The elements hold at TM0 = E + 0.5 (E the file's epoch), equinox 2000.
// Returns true when `el` was filled. On failure `el` is unchanged and an
// error box (caption "Fehler!") says why:
//   "Datei <path> nicht gefunden."                   no such file;
//   "Datei <path> kann nicht gelesen werden: <reason>."  not readable, or
//       not a regular file (a folder, a FIFO, a device);
//   "Datei <path> ist beschädigt: <reason>."         shorter than its header
//       or its count of records promises, or the record decodes to no
//       ellipse (reasons as ParseAsteroidRecord);
//   "Datei <path> enthält keinen Datensatz <n>."     n < 1 or n > count.
// The caller must not take a body as chosen when false is returned.
bool ReadAsteroidRecord(int32_t number, const std::string& path, const std::string& listText, CometBahnTyp& el,
                        Host& host);

// The same from the bytes of a whole ".AST" file. False, with `el`
// unchanged and a German reason in `error`: "der Dateikopf fehlt",
// "der Datensatz <n> fehlt", "der Datensatz <n> ist ungültig" (a semi-major
// axis that is not positive and finite, e >= 1, an angle of a full turn or
// more, an inclination beyond 180 degrees), "kein Datensatz <n>"
// (n < 1 or n > count).
bool ParseAsteroidRecord(const std::string& bytes, int32_t number, const std::string& listText, CometBahnTyp& el,
                         std::string& error);

}  // namespace orb
