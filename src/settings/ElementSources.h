// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// Where the elements of a comet or minor planet come from: the comet element
// lists ("Comets.dat", "asteroid/CometG.dat") and the minor-planet name list
// ("ASTEROID/ASTNAMES.DAT") of the data folder GuideDir, a fresh comet list
// downloaded from the minor-planet centre, and the small-body database
// (its JSON lookup API, and the older HTML answer page).
//
// Units: angles in radians in the element record, degrees in files and pages.

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "core/OrbitElements.h"
#include "settings/HttpGet.h"
#include "settings/IniDocument.h"

namespace orb {

class SettingsFile;

// ---------------------------------------------------------------- settings

// The comet dialog's settings: section "Komet" keys GuideDir (data folder,
// with a trailing "/"), Suchen_Comets, Suchen_CometG (default on); section
// "AsteroidFiles" key Suchen_In (default on); and the two servers, section
// "Komet" keys MPCServer (default "https://www.minorplanetcenter.net") and
// SBDBServer (default "https://ssd-api.jpl.nasa.gov"), each a base URL
// without a trailing "/".
struct ElementSourceSettings {
  std::string GuideDir;
  bool SearchComets = true;
  bool SearchCometG = true;
  bool SearchAsteroids = true;
  std::string MpcServer = "https://www.minorplanetcenter.net";
  std::string SbdbServer = "https://ssd-api.jpl.nasa.gov";
};

// Reads them; an absent or empty GuideDir is DefaultGuideDir().
ElementSourceSettings ReadElementSourceSettings(const IniDocument& ini);
// Writes GuideDir and the three switches (the servers are only read).
void WriteElementSourceSettings(SettingsFile& file, const ElementSourceSettings& s);
// A folder the user can write: $XDG_DATA_HOME/orbitello32/ (or
// ~/.local/share/orbitello32/), with a trailing "/". Not created here.
std::string DefaultGuideDir();

// The files below GuideDir, found case-insensitively like every data file.
std::string CometsDatPath(const std::string& guideDir);   // Comets.dat
std::string CometGDatPath(const std::string& guideDir);   // asteroid/CometG.dat
std::string NameListPath(const std::string& guideDir);    // ASTEROID/ASTNAMES.DAT

// ---------------------------------------------------------------- searching

// One shown result of a search and its key (the first letter names the
// source): "C " + the comet line; "A " + the number in 7 columns + " " +
// the name-list line; "J " + the database link for a candidate.
struct ElementHit {
  std::string shown;
  std::string key;
};

// The lines of a comet list: a line starts at the first character above
// code 16 and ends before the next one of code 15 or below.
std::vector<std::string> CometListLines(const std::string& text);

// Comet lines of the file `path` whose columns 1-43, upper-cased and
// trimmed, contain `upperText`; shown as the name + "    (Perihel " +
// columns 55-61 trimmed + ")". A file that cannot be read gives nothing.
std::vector<ElementHit> SearchCometFile(const std::string& path, const std::string& upperText);

// The name list `path`: with `text` not beginning with two letters A-Z it
// is a number n (read leniently) and line n is the hit; otherwise every
// line whose columns 13-37, trimmed and upper-cased, contain the upper-cased
// text. Shown: the number + " " + columns 13-37 trimmed. False when the
// file cannot be read (the caller says "Datei <path> nicht gefunden.").
bool SearchNameList(const std::string& path, const std::string& text, std::vector<ElementHit>& hits);

// ---------------------------------------------------------------- internet

using StatusText = std::function<void(const std::string&)>;

// Downloads the comet element list (MpcServer +
// "/iau/Ephemerides/Comets/Soft02Cmt.txt") and makes it "Comets.dat" of
// GuideDir, with the status texts "Start Download Datei ...", "DownloadOK",
// "Update OK" and on failure "HTTP-Fehler- " / "keine Internetverbindung? "
// / "Fehler: " + the error's text. The first line of the saved list is the
// count of its lines. The old list becomes "Comets.bak" (a former ".bak" is
// replaced); no failure at any step loses the old list or leaves a
// half-written one. GuideDir is created when missing. Further status texts:
// "Download abgebrochen" when `cancel` was set, "Fehler: die Antwort enthält
// keine Zeile" for an empty answer, "Fehler: Datei <path>: <reason>" when a
// file cannot be read or written. True on success.
bool DownloadCometList(HttpGet& http, const ElementSourceSettings& s, const StatusText& status,
                       const std::atomic<bool>* cancel = nullptr);

// What a query of the small-body database ended with.
enum class QueryOutcome { kElements, kCandidates, kNotFound, kFailed };

// The query URL for a search text (percent-encoded), and for a candidate
// the URL its key "J " carries.
std::string DatabaseQueryUrl(const ElementSourceSettings& s, const std::string& searchText);

// Queries `url` and reads the answer, JSON or HTML, into `el` (elements)
// or `candidates` (keys "J "), with the status texts "Download " + url,
// "DownloadOK", "Bahndaten OK", "Eintrag nicht gefunden!", "<n> Einträge
// gefunden" and the failure texts as for the download (HTTP: "HTTP-Fehler: ").
// An answer that holds no usable orbit is kFailed with "Fehler: die Antwort
// enthält keine Bahndaten". `el` changes only with kElements and
// `candidates` is replaced only with kCandidates; otherwise both stay as
// they were. An answer whose first non-blank character is "{" is JSON.
QueryOutcome QueryDatabase(HttpGet& http, const ElementSourceSettings& s, const std::string& url, CometBahnTyp& el,
                           std::vector<ElementHit>& candidates, const StatusText& status,
                           const std::atomic<bool>* cancel = nullptr);

// The readers of an answer, for tests and fuzzing: the HTML page scanner
// and the JSON reader. Each sets `el` to the elements (EmptyCometElements()
// unless kElements) and `candidates` to the candidates (empty unless
// kCandidates) and returns the outcome with its status text; neither
// throws. `baseUrl` resolves relative links of a page; the JSON reader
// makes a candidate's link DatabaseQueryUrl(s, its designation).
// Magnitudes: H and G of a minor planet (G 0.15 when the answer has none);
// of a comet M1 and K1 / 2.5 (the database's law M1 + 5 log D + K1 log r
// written as the program's H + 5 log D + 2.5 K log r).
QueryOutcome ScanDatabasePage(const std::string& page, const std::string& baseUrl, CometBahnTyp& el,
                              std::vector<ElementHit>& candidates, std::string& status);
QueryOutcome ReadDatabaseJson(const std::string& json, const ElementSourceSettings& s, CometBahnTyp& el,
                              std::vector<ElementHit>& candidates, std::string& status);

// The text of an HTML line: entities replaced (Latin-1, "&shy;" as "*",
// unknown ones as a blank), tags dropped, trimmed, line breaks removed.
std::string HtmlLineText(const std::string& line);

}  // namespace orb
