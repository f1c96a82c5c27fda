// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// The values the batch program's --set options give: checked against the
// settings file's key vocabulary before anything is computed, and completed
// where a user would otherwise be surprised.

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/NumKernel.h"
#include "settings/IniDocument.h"

namespace orb::cli {

using KeyValues = std::vector<std::pair<std::string, std::string>>;

// A local calendar date and time as typed: 2024-04-08, 2024-04-08T13:00,
// 2024-04-08 13:00:00 (the year may carry a sign; Julian calendar before
// 1582 October 15). Nothing when the text is not such a date or names none
// (a 13th month, a 31st of April, 24:00).
struct LocalDateTime {
  int32_t year = 0, month = 1, day = 1;
  int32_t hour = 0, minute = 0;
  Extended second = 0;
};
std::optional<LocalDateTime> ParseLocalDateTime(const std::string& text);

// Checks the --set pairs and completes them; returns a German usage error,
// or nothing:
// - keys are trimmed of blanks, as the file reader trims them; a key that is
//   none of the main section's keys (the settings, the table columns, the
//   main window's keys) is refused;
// - a flag must be 1, 0, TRUE or FALSE, an integer a whole number, a real a
//   number (a decimal comma is accepted), each within what the program can
//   mean (a latitude within +-90 degrees, a zone within +-14 hours, ...);
//   Startdat may also be a calendar date and time (ParseLocalDateTime);
// - Objekt set to a planet or small body (1 to 9) sets PlanetNr to the same
//   value unless PlanetNr is given too, so that the object asked for is the
//   one computed.
std::optional<std::string> CheckSets(KeyValues& sets);

// When Startdat is given as a calendar date, the Julian date (UT) of that
// local time in the zone of the settings `ini` holds (0 with TDT; with
// automatic summer time the zone of that date, as the date dialog takes it);
// nothing otherwise.
std::optional<Extended> StartDateFromCalendar(const KeyValues& sets, const IniDocument& ini);

}  // namespace orb::cli
