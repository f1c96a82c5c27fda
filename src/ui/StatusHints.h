// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// The texts the main window shows in its status bar when the mouse moves
// over the window, the date button, the place button and the planet button:
// the conditions of the next computation.

#include <string>

#include "settings/Settings.h"

namespace orb {

// Over the window or the text area: place, date of Startdat, zone,
// equinox and corrections, twilight depth:
// "Ortheim   |   29.01.2012   |   MEZ   |   Äquinoktium: 2000.0   |   Dämmerung: -18°".
std::string WindowHint(const TSettings& s);

// Over the date button: "Datum: " date and time of Startdat (in list mode
// "   -   " and the end of the range), the zone, summer or winter time and
// the switch, deltaT at Startdat, " (TDT)".
std::string DateButtonHint(const TSettings& s);

// Over the place button: "Ort: Ortheim,   Breite:   +51°44' N   Länge:   + 7°11' O".
std::string PlaceButtonHint(const TSettings& s);

// Over the planet button: "Mars-Ephemeride berechnen". For the small body
// (PlanetNr 9) its name in PlanetNames is refreshed first from the element
// set, "(433) Eros" for a numbered minor planet, cut to 10 characters.
std::string PlanetButtonHint(TSettings& s);

// The name the small body takes in PlanetNames: its name, or "(number) "
// and its name for a numbered minor planet; at most 10 characters.
std::string SmallBodyShortName(const CometBahnTyp& el);

}  // namespace orb
