// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// "Orte im Totalitätsbereich": the places of the location list from which a
// solar eclipse is seen total or annular, with the duration of the central
// phase and the instant of greatest eclipse there, longest first.
//
// Every place is decided by its full local circumstances (LocalEclipse.h):
// the umbra or antumbra covers the observer at greatest eclipse (local type
// total or annular), and the Sun stands above the horizon of sunrise and
// sunset (-50', geometric) at contact 2 or contact 3. Before that, a cheap
// and sound pre-filter on the fundamental plane passes only the places
// that the umbral cone may reach while the Sun is not well below their
// horizon; see CentralPathCandidates.

#include <cstddef>
#include <string>
#include <vector>

#include "core/Host.h"
#include "core/NumKernel.h"
#include "core/SafeFile.h"
#include "eclipses/EclipseCommand.h"
#include "eclipses/LocalEclipse.h"
#include "settings/RunContext.h"
#include "settings/Settings.h"

namespace orb {

// One place of the location list.
struct ListedPlace {
  std::string name;            // columns 1-33 of its line, trimmed: "Valencia, Spanien"
  Extended latitude_deg = 0;   // geodetic, north positive
  Extended longitude_deg = 0;  // east positive
};

// The places of the list file `fileName` (found as the place dialog finds
// it: as given, then in the data directory), in the order of the file.
// Lines that give no place (LocationLineProblem: cut off, another layout,
// coordinates out of range) and empty lines are passed over. A missing file
// gives an error that IsMissingFile accepts; a file that cannot be read or
// holds NUL bytes gives its German reason.
FileResult ReadPlaceList(const std::string& fileName, std::vector<ListedPlace>& places);

// A place that sees the central phase.
struct EclipsePlace {
  std::string name;
  Extended latitude_deg = 0, longitude_deg = 0;  // as listed (north, east positive)
  SolarPhaseCode kind = kNoEclipse;              // kTotalEclipse or kAnnularEclipse
  Extended duration_s = 0;                       // contact 2 to contact 3 (seconds)
  Extended maximum = 0;                          // greatest eclipse there (Julian centuries, UT)
};

// The indices (ascending) of the places that the pre-filter passes for the
// eclipse of `c` (prepared by PrepareLocalEclipse; only its fits are used).
// The shadow is sampled every half minute over the conjunction +- 8 hours,
// where the umbral cone can reach the Earth. For a place, f(t) = distance
// of the observer from the shadow axis on the fundamental plane minus the
// umbral radius |L2| in the observer's plane; it is negative exactly while
// the observer is inside the umbra (or antumbra). Its rate is bounded by V
// (the largest shift of the axis and of l2 between neighbouring samples,
// plus the Earth's rotation, with a tenth to spare), so a sample with
// f >= n V rules out the next n samples' span and is skipped over. A place
// passes when some sample has f < V while zeta > -0.1 (the Sun less than
// about 5.7 degrees below the horizon); a place inside the cone only with
// the Sun lower than that has it below -50' at contacts 2 and 3 and is not
// listed anyway. No place that is listed is dropped.
std::vector<std::size_t> CentralPathCandidates(const LocalEclipse& c, const std::vector<ListedPlace>& places);

// The places of `places` that see the eclipse of `c` total or annular, with
// the Sun up at contact 2 or 3 (local circumstances with the place as
// observer; `s` gives everything else, `zone_h` the zone of the
// circumstances' visibility check). Sorted by duration, longest first;
// equal durations by name.
std::vector<EclipsePlace> PlacesInCentralPath(const TSettings& s, float zone_h, const LocalEclipse& c,
                                              const std::vector<ListedPlace>& places);

// The listing of the places for the command loop (SolarEclipseCommand with
// the path's search: the first eclipse whose shadow touches the Earth, each
// such eclipse in list mode). Per eclipse: an empty line; the title line as
// the world map writes it ("Totale Sonnenfinsternis am 12.08.2026", date in
// the zone of the report); the Saros line; then either
//  - "Die Finsternis ist nur partiell: kein Ort sieht sie total oder
//    ringförmig." for a partial eclipse, or
//  - "Kein Ort der Ortsliste liegt im Totalitätsbereich." ("... im Bereich
//    der Ringförmigkeit", "... im Bereich der Totalität oder
//    Ringförmigkeit" for the annular and hybrid types), or
//  - the column line, the unit line and one row per place: the name (33
//    characters), latitude and longitude as the list writes them
//    ("39.47 N   0.38 W"), the duration of the central phase "m:ss" (width
//    8), the date and clock time of greatest eclipse in the zone of the
//    report (the local report's zone: the settings' zone, with the automatic
//    summer time of the date), the phase ("total" or "ringförmig"); and the
//    closing line "n Orte im Totalitätsbereich" ("1 Ort ...", "... im
//    Bereich der Ringförmigkeit", "... im Bereich der Totalität oder
//    Ringförmigkeit" when both occur).
// deltaT is the model's value at the new moon (as the local report takes
// it, without its question).
class EclipsePlacesReport : public SolarEclipseReport {
 public:
  explicit EclipsePlacesReport(std::vector<ListedPlace> places) : places_(std::move(places)) {}

  bool AskStep(const TSettings&, Host&, bool) override { return true; }
  // Returns whether the eclipse's shadow touches the Earth (then its
  // listing was printed).
  bool Report(const TSettings& s, TRunContext& run, Host& host, bool picture, int direction) override;

  // The places of the last eclipse listed.
  const std::vector<EclipsePlace>& Last() const { return last_; }

 private:
  std::vector<ListedPlace> places_;
  std::vector<EclipsePlace> last_;
};

// What "Orte im Totalitätsbereich" did.
struct EclipsePlacesResult {
  bool listRead = false;  // false: the location list could not be read (a message said why)
  SolarSearchResult search;
  std::size_t places = 0;  // places listed for the last eclipse
};

// The command: reads the location list named by OrtsDatName (a missing or
// unreadable list is an error message, "Datei ORTE.DAT nicht gefunden" or
// "Datei ORTE.DAT kann nicht gelesen werden: <reason>.", and nothing else
// happens), then runs the command loop of the central path from Startdat
// with EclipsePlacesReport, run state 22.
EclipsePlacesResult ListEclipsePlaces(const TSettings& s, TRunContext& run, Host& host, int direction = +1);

}  // namespace orb
