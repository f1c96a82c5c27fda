// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// The location list (the file named by OrtsDatName, usually "ORTE.DAT"):
// one place per line, "Name, Land" in columns 1-33, then latitude, N or S,
// longitude, E or W, one blank and the time zone:
//
//   Ortheim, D                       51.74 N   7.19 E MEZ
//
// Columns count characters. A line that is valid UTF-8 is taken as it is;
// any other line is in the DOS code page: its German letters are turned
// into their Latin-1 equivalents byte by byte and the line is then read as
// Latin-1. Lines may end in CR LF.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/NumKernel.h"
#include "core/SafeFile.h"
#include "settings/Settings.h"

namespace orb {

// The largest list file read (bytes).
inline constexpr std::size_t kMaxLocationListBytes = 16u << 20;
// Columns 1..kLocationNameColumns hold "Name, Land"; the coordinates follow.
inline constexpr std::size_t kLocationNameColumns = 33;

// One place of the list.
struct LocationPlace {
  std::string Name;      // place name, at most kMaxPlaceNameChars characters
  Extended Breite = 0;   // latitude (degrees, north positive)
  Extended Laenge = 0;   // longitude (degrees, east positive)
  float Zeitzone = 0;    // time zone (hours east of Greenwich)
};

// The display text of one raw line (without its line feed): valid UTF-8
// stays, anything else goes through the DOS table and Latin-1 to UTF-8;
// a trailing CR is dropped.
std::string LocationLineText(std::string_view raw);

// The text of a whole list file as the editor shows it: every line
// converted by LocationLineText, joined by "\n" (a final line feed stays);
// a leading UTF-8 byte-order mark is dropped.
std::string LocationListText(std::string_view bytes);

// The fields of one converted line:
//  - name: the text before the first comma of columns 1-33 (all of columns
//    1-33 when they hold no comma), trimmed, cut to 25 characters;
//  - from column 34: latitude = next number (read leniently, NumberReader);
//    the rest trimmed, a leading "S" negates it; longitude = next number,
//    the rest trimmed, a leading "W" negates it; the zone text is the three
//    characters of the rest from its third on, the zone the next number
//    (0 when none); MEZ, EST, CST, MST, PST and HST give 1, -5, -6, -7, -8
//    and -10 hours instead.
// Missing numbers, and numbers too large to be finite, read as 0.
LocationPlace ReadLocationLine(const std::string& line);

// Why a converted line gives no place, in German, or "": a line without
// latitude or longitude (cut off, or not of the list's layout), or with a
// latitude outside -90..90, a longitude outside -360..360 or a zone outside
// -14..14 hours (the ranges of the settings file). ReadLocationLine would
// read the missing numbers as 0, and such a place would be taken without a
// word. A missing zone is zone 0, as the list's layout has it.
std::string LocationLineProblem(const std::string& line);

// The order of the list: case-insensitive, letters with accents and
// umlauts beside their base letters ("ä" as "a", "ß" as "ss"), ties by the
// text's bytes.
bool LocationLineLess(const std::string& a, const std::string& b);

// The converted lines of the list file `fileName` (found by FindDataFile:
// as given, then in the data directory) that contain `text` ignoring case
// (ASCII and Latin-1 letters), anywhere in the line, in the list's order.
// A missing or unreadable file gives no lines.
std::vector<std::string> SearchLocationList(const std::string& fileName, const std::string& text);

// Reads the list file `fileName` (found as above) for the editor into
// `text` (LocationListText). A missing file gives an empty text and an
// error that IsMissingFile accepts; a file that cannot be read, or that
// holds NUL bytes (UTF-16 or no text), gives the error with its German
// reason and an empty text.
FileResult ReadLocationListText(const std::string& fileName, std::string& text);

// The file that an edited list is written to: the list as found under the
// name given (case-insensitively), else that name itself. A list found only
// in the data directory (the shipped, possibly read-only copy) is thus
// saved under the given name, which the search then finds first.
std::string LocationListSaveTarget(const std::string& fileName);

// Makes `place` the observer's place: Ort.Name, Ort.Breite, Ort.Laenge,
// BasisZeitzone = Zeitzone = the zone; with TDT set, Zeitzone = 0; then the
// automatic summer time for Startdat (ApplyAutoSummerTime), so that
// Zeitzone stays the effective zone of the start date.
void ApplyLocation(TSettings& s, const LocationPlace& place);

}  // namespace orb
