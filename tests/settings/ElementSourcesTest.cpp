// SPDX-License-Identifier: AGPL-3.0-or-later
// The element sources: comet lists, the minor-planet name list, the readers
// of the small-body database's answers (HTML page and JSON), and the HTTP
// client, the comet list download and the database query against a local
// HTTP server (127.0.0.1 only, a port the system chooses).
#include "settings/ElementSources.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>
#include <tuple>

#include "core/NumText.h"
#include "settings/CurrentElements.h"
#include "settings/NumberReader.h"
#include "settings/SettingsFile.h"
#include "support/TempDir.h"

namespace orb {
namespace {

using Kind = HttpAnswer::Kind;
using Clock = std::chrono::steady_clock;
constexpr Extended kDeg = kPi / 180;

std::string SbdbFile(const std::string& name) {
  return test::TempDir::read(std::string(ORBITELLO_TEST_DATA) + "/sbdb/" + name);
}

// ---------------------------------------------------------------- bodies

// Ceres and 67P as the two recorded JSON answers give them (tests/data/sbdb),
// numbers as written there. The synthetic HTML pages below carry the same
// values, so both readers must give the same element set.
struct Body {
  const char* file;
  const char* pageName;        // the name line of the page
  const char* classification;  // "Main-belt Asteroid", "Jupiter-family Comet"
  const char *e, *a, *q, *i, *om, *w, *ma, *tp, *epoch;
  const char *mag, *slope, *diameter;  // H and G, or M1 and K1
  // What the readers must make of them:
  const char* name;
  int32_t number;
  bool asteroid;
  float dmag;  // G, or K1 / 2.5 for the program's comet law H + 5 log D + 2.5 K log r
};

const Body kCeres = {"ceres.json", "1 Ceres", "Main-belt Asteroid", ".07553461024389638", "2.767046248500289",
                     "2.558038488592984", "10.5935097971363", "80.30991865594387", "73.11534200131032",
                     "352.2304611765882", "2458236.784053135587", "2458200.5", "3.34", "0.12", "939.4",
                     "Ceres", 1, true, 0.12f};
const Body k67P = {"67P.json", "67P/Churyumov-Gerasimenko", "Jupiter-family Comet", ".6405847372930017",
                   "3.46473701803964", "1.245279365549379", "7.043698689343029", "50.18000114437616",
                   "12.69446404906225", "92.07346224536946", "2454891.029460959733", "2455493.5", "11.3", "11.",
                   "4.0", "67P/Churyumov-Gerasimenko", 0, false, 11.0f / 2.5f};

// A database answer page in the layout of the database's former HTML
// browser: the name in a grey table, the classification line, the element
// table (one row per line, cells separated by a blank), and the physical
// parameters with the parameter's title, its symbol and its value on lines
// of their own (the diameter's value on the line after its title).
std::string ObjectPage(const Body& b) {
  const bool comet = !b.asteroid;
  const auto row = [](const char* label, const char* value, const char* unit) {
    return std::string("<tr><td>") + label + "</td> <td>" + value + "</td> <td>" + unit + "</td></tr>\n";
  };
  std::string p = "<html><head><title>JPL Small-Body Database Browser</title></head><body>\n";
  p += std::string("<table bgcolor=\"#EEEEEE\" width=\"100%\"><tr><td><font size=\"+1\"><b>") + b.pageName +
       "</b></font></td></tr></table>\n";
  p += std::string("<b>Classification:</b> ") + b.classification + " &nbsp; <b>SPK-ID:</b> 2000001\n";
  p += "<table border=\"1\">\n";
  p += std::string("<tr><td colspan=\"3\"><b>Orbital Elements at Epoch ") + b.epoch +
       " (2018-Mar-23.0) TDB</b></td></tr>\n";
  p += "<tr><td colspan=\"3\">Reference: JPL 34 (heliocentric ecliptic J2000)</td></tr>\n";
  p += "<tr><th>Element</th> <th>Value</th> <th>Units</th></tr>\n";
  p += row("e", b.e, "&nbsp;") + row("a", b.a, "au") + row("q", b.q, "au") + row("i", b.i, "deg") +
       row("node", b.om, "deg") + row("peri", b.w, "deg") + row("M", b.ma, "deg") +
       row("tp", (std::string(b.tp) + "<br>(2018-Apr-27.28)").c_str(), "JED") + row("period", "1681.2", "d") +
       row("Q", "2.976", "au");
  p += "</table>\n<table border=\"1\">\n<tr><th>Parameter</th> <th>Symbol</th> <th>Value</th></tr>\n";
  p += std::string("<tr><td>") + (comet ? "comet total magnitude" : "absolute magnitude") + "</td>\n<td>" +
       (comet ? "M1" : "H") + "</td>\n<td>" + b.mag + "</td></tr>\n";
  p += std::string("<tr><td>") + (comet ? "comet total magnitude slope" : "magnitude slope") + "</td>\n<td>" +
       (comet ? "K1" : "G") + "</td>\n<td>" + b.slope + "</td></tr>\n";
  p += std::string("<tr><td>diameter</td>\n<td>") + b.diameter + "</td></tr>\n</table>\n</body></html>\n";
  return p;
}

// A candidate list: a relative link, one from the server's root with an
// entity in it, an absolute one, a row without a link, and a link after the
// table that no longer belongs to the list.
const char* kCandidatePage =
    "<html><body><p>More than one record matched your query. Please select from the list below:</p>\n"
    "<table>\n"
    "<tr><td><a href=\"sbdb.cgi?sstr=2000001\">1 Ceres (A801 AA)</a></td></tr>\n"
    "<tr><td><a href=\"/cgi-bin/sbdb.cgi?sstr=2001474&amp;orb=1\">1474 Beira (1935 QY)</a></td></tr>\n"
    "<tr><td><a href=\"https://mirror.test/sbdb.cgi?sstr=C%2F2020\">C/2020 &quot;X&quot;</a></td></tr>\n"
    "<tr><td>no link here</td></tr>\n"
    "</table>\n"
    "<a href=\"sbdb.cgi?sstr=later\">later</a>\n"
    "</body></html>\n";
const char* kNoMatchPage = "<html><body>\n<h2>No Matching Record</h2>\n<p>Try again.</p>\n</body></html>\n";

// The API's answers for several matches (HTTP status 300) and for none.
const char* kListJson =
    R"({"code":"300","message":"specified search string matched multiple records",)"
    R"("list":[{"pdes":"1P","name":"Halley"},{"pdes":"2688","name":"Halley"},{"name":"no pdes"}],)"
    R"("signature":{"source":"NASA/JPL Small-Body Database (SBDB) API","version":"1.0"}})";
const char* kNotFoundJson =
    R"({"code":"200","message":"specified object was not found",)"
    R"("signature":{"source":"NASA/JPL Small-Body Database (SBDB) API","version":"1.0"}})";

Extended Num(const char* text) { return std::strtold(text, nullptr); }

void ExpectBody(const CometBahnTyp& el, const Body& b, const std::string& reader) {
  SCOPED_TRACE(reader + " " + b.file);
  EXPECT_EQ(el.name, b.name);
  EXPECT_EQ(el.number, b.number);
  EXPECT_EQ(el.asteroid, b.asteroid);
  const Extended e = Num(b.e), q = Num(b.q);
  EXPECT_EQ(el.e, e);
  EXPECT_EQ(el.q, q);
  // The stored set keeps no a: it is derived as q / (1 - e) and agrees with
  // the database's own a to its last digits.
  EXPECT_NEAR(static_cast<double>(el.a), static_cast<double>(Num(b.a)), 1e-12);
  EXPECT_NEAR(static_cast<double>(el.i), static_cast<double>(Num(b.i) * kDeg), 1e-15);
  EXPECT_NEAR(static_cast<double>(el.AscN), static_cast<double>(Num(b.om) * kDeg), 1e-15);
  EXPECT_NEAR(static_cast<double>(el.PerL), static_cast<double>(Num(b.w) * kDeg), 1e-15);
  EXPECT_NEAR(static_cast<double>(el.M0), static_cast<double>(Num(b.ma) * kDeg), 1e-15);
  EXPECT_EQ(el.TM0, Num(b.epoch));
  EXPECT_EQ(el.T0, Num(b.tp));
  EXPECT_EQ(el.equinox, 2000.0f);
  EXPECT_FLOAT_EQ(el.mag, static_cast<float>(Num(b.mag)));
  EXPECT_FLOAT_EQ(el.dmag, b.dmag);
  EXPECT_FLOAT_EQ(el.diameter, static_cast<float>(Num(b.diameter)));
  EXPECT_EQ(el.de + el.di + el.dAscN + el.dPerL, 0);
}

TEST(DatabaseReaders, PageAndJsonGiveTheElements) {
  const ElementSourceSettings s;
  for (const Body* b : {&kCeres, &k67P}) {
    CometBahnTyp el;
    std::vector<ElementHit> hits{{"old", "old"}};
    std::string status;
    EXPECT_EQ(ScanDatabasePage(ObjectPage(*b), "http://h/cgi-bin/sbdb.cgi", el, hits, status),
              QueryOutcome::kElements);
    EXPECT_EQ(status, "Bahndaten OK");
    EXPECT_TRUE(hits.empty());
    ExpectBody(el, *b, "page");
    EXPECT_EQ(ReadDatabaseJson(SbdbFile(b->file), s, el, hits, status), QueryOutcome::kElements);
    EXPECT_EQ(status, "Bahndaten OK");
    ExpectBody(el, *b, "json");
  }
}

// The number at the front of a minor planet's name on the page; an
// unnumbered body's provisional designation is no number.
TEST(DatabaseReaders, PageNameAndNumber) {
  const struct {
    const char* pageName;
    const char* name;
    int32_t number;
  } rows[] = {
      {"433 Eros (A898 PA)", "Eros (A898 PA)", 433}, {"(2010 AB)", "(2010 AB)", 0}, {"Caf&eacute;", "Café", 0}};
  for (const auto& r : rows) {
    Body b = kCeres;
    b.pageName = r.pageName;
    CometBahnTyp el;
    std::vector<ElementHit> hits;
    std::string status;
    ASSERT_EQ(ScanDatabasePage(ObjectPage(b), "", el, hits, status), QueryOutcome::kElements) << r.pageName;
    EXPECT_EQ(el.name, r.name);
    EXPECT_EQ(el.number, r.number);
  }
}

TEST(DatabaseReaders, PageCandidatesAndNoMatch) {
  CometBahnTyp el;
  std::vector<ElementHit> hits;
  std::string status;
  EXPECT_EQ(ScanDatabasePage(kCandidatePage, "http://127.0.0.1:8/cgi-bin/sbdb.cgi?sstr=ce", el, hits, status),
            QueryOutcome::kCandidates);
  EXPECT_EQ(status, "3 Einträge gefunden");
  ASSERT_EQ(hits.size(), 3u);
  EXPECT_EQ(hits[0].shown, "1 Ceres (A801 AA)");
  EXPECT_EQ(hits[0].key, "J http://127.0.0.1:8/cgi-bin/sbdb.cgi?sstr=2000001");
  EXPECT_EQ(hits[1].shown, "1474 Beira (1935 QY)");
  EXPECT_EQ(hits[1].key, "J http://127.0.0.1:8/cgi-bin/sbdb.cgi?sstr=2001474&orb=1");
  EXPECT_EQ(hits[2].shown, "C/2020 \"X\"");
  EXPECT_EQ(hits[2].key, "J https://mirror.test/sbdb.cgi?sstr=C%2F2020");
  EXPECT_EQ(el.name, "not initialized");

  EXPECT_EQ(ScanDatabasePage(kNoMatchPage, "", el, hits, status), QueryOutcome::kNotFound);
  EXPECT_EQ(status, "Eintrag nicht gefunden!");
  EXPECT_TRUE(hits.empty());
}

// Answers that hold no orbit never yield an element set; nothing throws.
TEST(DatabaseReaders, AnswersWithoutAnOrbit) {
  const std::string noElements = "Fehler: die Antwort enthält keine Bahndaten";
  std::string ceres = SbdbFile("ceres.json");
  const auto replaced = [&](const std::string& from, const std::string& to) {
    std::string t = ceres;
    t.replace(t.find(from), from.size(), to);
    return t;
  };
  const struct {
    std::string text;
    QueryOutcome outcome;
    std::string status;
  } rows[] = {
      {"<html><body>Service Unavailable</body></html>", QueryOutcome::kFailed, noElements},
      {"", QueryOutcome::kFailed, noElements},
      {"{", QueryOutcome::kFailed, noElements},
      {"{\"object\": [1, 2]", QueryOutcome::kFailed, noElements},
      {ceres.substr(0, ceres.size() / 2), QueryOutcome::kFailed, noElements},
      {R"({"object":{"kind":"an"},"orbit":{"elements":[]}})", QueryOutcome::kFailed, noElements},
      {R"({"object":{"kind":"an"},"orbit":{"elements":"e"}})", QueryOutcome::kFailed, noElements},
      {replaced(R"("value":"2.558038488592984")", R"("value":null)"), QueryOutcome::kElements, "Bahndaten OK"},
      {replaced(R"("value":".07553461024389638")", R"("value":null)"), QueryOutcome::kFailed, noElements},
      {replaced(R"("value":".07553461024389638")", R"("value":"0.07x")"), QueryOutcome::kFailed, noElements},
      {replaced(R"("value":"2.558038488592984")", R"("value":"-1")"), QueryOutcome::kFailed, noElements},
      {replaced(R"("value":"10.5935097971363")", R"("value":"1e99999")"), QueryOutcome::kFailed, noElements},
      {replaced(R"("value":"3.34")", R"("value":"1e4000")"), QueryOutcome::kElements, "Bahndaten OK"},  // H: 0
      {replaced(R"("value":"80.30991865594387")", R"("value":"")"), QueryOutcome::kFailed, noElements},
      {R"({"code":"400","message":"one of the query parameters is invalid"})", QueryOutcome::kFailed,
       "Fehler: one of the query parameters is invalid"},
      {kNotFoundJson, QueryOutcome::kNotFound, "Eintrag nicht gefunden!"},
      {R"({"code":"300","list":[]})", QueryOutcome::kNotFound, "Eintrag nicht gefunden!"},
  };
  for (const auto& r : rows) {
    CometBahnTyp el;
    std::vector<ElementHit> hits;
    std::string status;
    const bool json = !r.text.empty() && r.text[0] == '{';
    const QueryOutcome got = json ? ReadDatabaseJson(r.text, {}, el, hits, status)
                                  : ScanDatabasePage(r.text, "", el, hits, status);
    EXPECT_EQ(got, r.outcome) << &r - rows;
    EXPECT_EQ(status, r.status) << r.text.substr(0, 80);
    if (got != QueryOutcome::kElements) {
      EXPECT_EQ(el.name, "not initialized");
    }
  }
}

TEST(DatabaseReaders, JsonCandidatesAskForTheirDesignation) {
  ElementSourceSettings s;
  s.SbdbServer = "http://127.0.0.1:8";
  CometBahnTyp el;
  std::vector<ElementHit> hits;
  std::string status;
  EXPECT_EQ(ReadDatabaseJson(kListJson, s, el, hits, status), QueryOutcome::kCandidates);
  EXPECT_EQ(status, "2 Einträge gefunden");
  ASSERT_EQ(hits.size(), 2u);
  EXPECT_EQ(hits[0].shown, "1P Halley");
  EXPECT_EQ(hits[0].key, "J http://127.0.0.1:8/sbdb.api?sstr=1P&phys-par=1");
  EXPECT_EQ(hits[1].key, "J http://127.0.0.1:8/sbdb.api?sstr=2688&phys-par=1");
}

TEST(DatabaseReaders, QueryUrlIsPercentEncoded) {
  ElementSourceSettings s;
  const std::string base = "https://ssd-api.jpl.nasa.gov/sbdb.api?sstr=";
  EXPECT_EQ(DatabaseQueryUrl(s, "Ceres"), base + "Ceres&phys-par=1");
  EXPECT_EQ(DatabaseQueryUrl(s, " C/2020 F3 "), base + "C%2F2020%20F3&phys-par=1");
  EXPECT_EQ(DatabaseQueryUrl(s, "Dürer&x=1"), base + "D%C3%BCrer%26x%3D1&phys-par=1");
}

// Entities (Latin-1 names as UTF-8, "&shy;" as "*", others as a blank, at
// most eight characters from "&" to ";"), tags dropped, line breaks removed.
TEST(DatabaseReaders, HtmlLineText) {
  const std::pair<const char*, const char*> rows[] = {
      {"<tr><td>e</td> <td>.0755</td></tr>", "e .0755"},
      {"&quot;A&amp;B&quot;", "\"A&B\""},
      {"Caf&eacute; &pound;5 &frac34; &iquest;", "Café £5 ¾ ¿"},
      {"x&shy;y", "x*y"},
      {"a&nbsp;b&#233;c&lt;d", "a b c d"},
      {"AT & T", "AT & T"},
      {"&notanentity; &amp", "&notanentity; &amp"},
      {"  <b>bold</b>\r\n  text \n", "boldtext"},
      {"before <unclosed tag", "before"},
      {"", ""},
  };
  for (const auto& [in, out] : rows) EXPECT_EQ(HtmlLineText(in), out) << in;
}

// ---------------------------------------------------------------- lists

// A comet list line (names of single-byte characters): the name in columns
// 1-43, the perihelion day and month in 44-54, the year in 55-61, then the
// elements (1P/Halley, J2000).
std::string CometLine(const std::string& name, const std::string& year = "1986") {
  return name + std::string(43 - name.size(), ' ') + "  9.4589  2" + std::string(7 - year.size(), ' ') +
         year + "  0.0  0.587104  0.967143  162.2627  111.3325   58.4201  2000.0   5.5  4.0";
}

TEST(CometLists, LinesEndAtControlCharacters) {
  const std::pair<std::string, std::vector<std::string>> rows[] = {
      {"a\r\nb\n\nc", {"a", "b", "c"}},
      {"\r\n\r\n", {}},
      {"", {}},
      {"\x10x\x10y\x0fz", {"x\x10y", "z"}},  // 16 starts no line but stays in one
      {"one\ttab", {"one", "tab"}},
  };
  for (const auto& [text, lines] : rows) EXPECT_EQ(CometListLines(text), lines) << text;
}

TEST(CometLists, SearchFindsTheNameColumns) {
  test::TempDir dir;
  const std::string halley = CometLine("1P/Halley"), encke = CometLine("2P/Encke", "2023");
  // A Latin-1 name, and a search text that stands only in the number columns.
  const std::string path =
      dir.write("Comets.dat", "3\r\n" + halley + "\r\n" + encke + "\r\n" + CometLine("C/1901 K\xf6ln"));
  const std::vector<ElementHit> hits = SearchCometFile(dir.file("COMETS.DAT"), "P/");
  ASSERT_EQ(hits.size(), 2u);
  EXPECT_EQ(hits[0].shown, "1P/Halley    (Perihel 1986)");
  EXPECT_EQ(hits[0].key, "C " + halley);
  EXPECT_EQ(hits[1].shown, "2P/Encke    (Perihel 2023)");
  EXPECT_EQ(SearchCometFile(path, "KÖLN").at(0).shown, "C/1901 Köln    (Perihel 1986)");
  EXPECT_TRUE(SearchCometFile(path, "9.4589").empty());
  EXPECT_TRUE(SearchCometFile(dir.file("none.dat"), "P/").empty());
}

TEST(CometLists, NameListByNumberOrName) {
  test::TempDir dir;
  // Found in other letter cases; a Latin-1 name.
  const std::string path = dir.write("asteroid/astnames.dat",
                                     "  3.34  0.12Ceres\r\n  4.13  0.11Pallas\r\n  5.33  0.32Juno\r\n"
                                     "  3.20  0.32Vesta\r\n 12.1       D\xfcrer\r\n");
  const struct {
    const char* text;
    std::vector<std::string> shown;
  } rows[] = {
      {"1", {"1 Ceres"}},   {"4", {"4 Vesta"}}, {"6", {}},   {"0", {}},   {"-1", {}},
      {"ce", {"1 Ceres"}},  {"A", {}},          {"a", {}},   {"ES", {"1 Ceres", "4 Vesta"}},
      {"rer", {"5 Dürer"}}, {"dü", {}},  // "Ü" is no letter A-Z: a number {"C1", {"1 Ceres"}}, {"JU", {"3 Juno"}},
  };
  for (const auto& r : rows) {
    std::vector<ElementHit> hits;
    ASSERT_TRUE(SearchNameList(NameListPath(dir.path().string() + "/"), r.text, hits));
    std::vector<std::string> shown;
    for (const ElementHit& h : hits) shown.push_back(h.shown);
    EXPECT_EQ(shown, r.shown) << r.text;
  }
  std::vector<ElementHit> hits;
  ASSERT_TRUE(SearchNameList(path, "4", hits));
  EXPECT_EQ(hits.at(0).key, "A       4   3.20  0.32Vesta");
  EXPECT_FALSE(SearchNameList(dir.file("missing.dat"), "1", hits));
}

TEST(ElementSourceSettings, ReadAndWritten) {
  const char* xdg = std::getenv("XDG_DATA_HOME");
  const std::string oldXdg = xdg != nullptr ? xdg : "";
  setenv("XDG_DATA_HOME", "/xdg/data", 1);
  const ElementSourceSettings d = ReadElementSourceSettings(IniDocument::Parse(""));
  EXPECT_EQ(d.GuideDir, "/xdg/data/orbitello32/");
  EXPECT_TRUE(d.SearchComets && d.SearchCometG && d.SearchAsteroids);
  EXPECT_EQ(d.MpcServer, "https://www.minorplanetcenter.net");
  EXPECT_EQ(d.SbdbServer, "https://ssd-api.jpl.nasa.gov");
  unsetenv("XDG_DATA_HOME");
  if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') {
    EXPECT_EQ(DefaultGuideDir(), std::string(home) + "/.local/share/orbitello32/");
  }
  if (xdg != nullptr) setenv("XDG_DATA_HOME", oldXdg.c_str(), 1);

  const ElementSourceSettings s = ReadElementSourceSettings(IniDocument::Parse(
      "[Komet]\nGuideDir=/data/guide\nSuchen_Comets=0\nMPCServer=http://127.0.0.1:1/\n[AsteroidFiles]\nSuchen_In=0\n"));
  EXPECT_EQ(s.GuideDir, "/data/guide/");
  EXPECT_FALSE(s.SearchComets);
  EXPECT_TRUE(s.SearchCometG);
  EXPECT_FALSE(s.SearchAsteroids);
  EXPECT_EQ(s.MpcServer, "http://127.0.0.1:1");
  SettingsFile file;
  WriteElementSourceSettings(file, s);
  const ElementSourceSettings back = ReadElementSourceSettings(file.Document());
  EXPECT_EQ(back.GuideDir, s.GuideDir);
  EXPECT_EQ(std::tuple(back.SearchComets, back.SearchCometG, back.SearchAsteroids), std::tuple(false, true, false));
}

// ---------------------------------------------------------------- local server

// The comet list the server hands out: a count line would be added on saving.
const std::string kServedList = CometLine("1P/Halley") + "\r\n" + CometLine("2P/Encke", "2023") + "\r\n\r\n";

// A local HTTP server on 127.0.0.1 for the client and the two exchanges:
//   /<mode>/iau/Ephemerides/Comets/Soft02Cmt.txt, mode ok: the comet list;
//     redirect: 302 to ok; cut: 1000 bytes announced, 7 sent, closed;
//     empty: an empty answer; slow: nothing until the test ends (10 s);
//   /cgi-bin/sbdb.cgi?sstr=: the HTML pages (1 and 2000001 Ceres, ce the
//     candidates, anything else no match);
//   /sbdb.api?sstr=...&phys-par=1: the JSON answers (Ceres, 67P, Halley the
//     candidates with status 300, anything else no match);
//   anything else: 404.
class LocalServer {
 public:
  LocalServer() {
    server_.Get(R"(/(ok|redirect|cut|empty|slow)/iau/Ephemerides/Comets/Soft02Cmt\.txt)",
                [this](const httplib::Request& req, httplib::Response& res) { CometList(req, res); });
    server_.Get("/cgi-bin/sbdb.cgi", [](const httplib::Request& req, httplib::Response& res) {
      const std::string s = req.get_param_value("sstr");
      res.set_content(s == "1" || s == "2000001" ? ObjectPage(kCeres) : s == "ce" ? kCandidatePage : kNoMatchPage,
                      "text/html");
    });
    server_.Get("/sbdb.api", [](const httplib::Request& req, httplib::Response& res) {
      const std::string s = req.get_param_value("sstr");
      if (req.get_param_value("phys-par") != "1") {
        res.status = 400;
        return;
      }
      if (s == "Halley") res.status = 300;
      res.set_content(s == "Ceres" ? SbdbFile("ceres.json")
                      : s == "67P" ? SbdbFile("67P.json")
                      : s == "Halley" ? kListJson
                                      : kNotFoundJson,
                      "application/json");
    });
    port_ = server_.bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    while (!server_.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ~LocalServer() {
    release_ = true;
    server_.stop();
    thread_.join();
  }

  std::string Url(const std::string& path = "") const { return "http://127.0.0.1:" + std::to_string(port_) + path; }
  std::string accept, userAgent;  // of the last comet list request

 private:
  void CometList(const httplib::Request& req, httplib::Response& res) {
    accept = req.get_header_value("Accept");
    userAgent = req.get_header_value("User-Agent");
    const std::string mode = req.matches[1];
    if (mode == "ok") {
      res.set_content(kServedList, "text/plain");
    } else if (mode == "redirect") {
      res.set_redirect("/ok/iau/Ephemerides/Comets/Soft02Cmt.txt");
    } else if (mode == "cut") {
      res.set_content_provider(1000, "text/plain", [](size_t offset, size_t, httplib::DataSink& sink) {
        if (offset == 0) sink.write("1P/Hall", 7);
        return false;  // the connection closes 993 bytes short
      });
    } else if (mode == "slow") {
      const auto end = Clock::now() + std::chrono::seconds(10);
      while (!release_ && Clock::now() < end) std::this_thread::sleep_for(std::chrono::milliseconds(10));
      res.set_content("late", "text/plain");
    }
  }

  httplib::Server server_;
  int port_ = 0;
  std::thread thread_;
  std::atomic<bool> release_{false};
};

// A port of 127.0.0.1 on which nothing listens.
int ClosedPort() {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof a;
  bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
  getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
  close(fd);
  return ntohs(a.sin_port);
}

const std::string kListPath = "/iau/Ephemerides/Comets/Soft02Cmt.txt";

TEST(HttpGet, AnswersAndErrorsAreKeptApart) {
  LocalServer server;
  const std::unique_ptr<HttpGet> http = MakeCurlHttpGet(5);
  const struct {
    std::string url;
    Kind kind;
    long status;
    std::string error;  // "*": any text
    std::string body;
  } rows[] = {
      {server.Url("/ok" + kListPath), Kind::kBody, 200, "", kServedList},
      {server.Url("/redirect" + kListPath), Kind::kBody, 200, "", kServedList},
      {server.Url("/missing"), Kind::kHttpError, 404, "404 Not Found", ""},
      {server.Url("/cut" + kListPath), Kind::kNetworkError, 200, "*", "1P/Hall"},
      {server.Url("/sbdb.api?sstr=Halley&phys-par=1"), Kind::kBody, 300, "", kListJson},
      {"http://127.0.0.1:" + std::to_string(ClosedPort()) + "/", Kind::kNetworkError, 0, "*", ""},
      {"ftp://127.0.0.1/", Kind::kNetworkError, 0, "*", ""},
  };
  for (const auto& r : rows) {
    const HttpAnswer a = http->Get(r.url);
    EXPECT_EQ(a.kind, r.kind) << r.url;
    EXPECT_EQ(a.status, r.status) << r.url;
    if (r.error == "*") {
      EXPECT_FALSE(a.error.empty()) << r.url;
    } else {
      EXPECT_EQ(a.error, r.error) << r.url;
    }
    EXPECT_EQ(a.body, r.body) << r.url;
    EXPECT_FALSE(a.nameNotResolved) << r.url;
  }
  EXPECT_EQ(server.accept, "text/html, */*");
  EXPECT_EQ(server.userAgent, UserAgent());
  EXPECT_EQ(UserAgent().rfind("Orbitello32/", 0), 0u);
  EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(UserAgent().at(12))));
}

TEST(HttpGet, NameNotResolved) {
  const HttpAnswer a = MakeCurlHttpGet(5)->Get("http://host.invalid/");
  if (a.kind == Kind::kNetworkError && !a.nameNotResolved && a.error.find("imed out") != std::string::npos)
    GTEST_SKIP() << "the resolver of this machine does not answer: " << a.error;
  EXPECT_EQ(a.kind, Kind::kNetworkError);
  EXPECT_TRUE(a.nameNotResolved) << a.error;
}

// A request that hangs ends promptly when the flag is set, and without the
// flag after the timeout.
TEST(HttpGet, CancelAndTimeout) {
  LocalServer server;
  std::atomic<bool> cancel{false};
  std::thread setter([&cancel] {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    cancel = true;
  });
  auto start = Clock::now();
  const HttpAnswer a = MakeCurlHttpGet(30)->Get(server.Url("/slow" + kListPath), &cancel);
  setter.join();
  EXPECT_EQ(a.kind, Kind::kCancelled);
  EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(1500));

  start = Clock::now();
  const HttpAnswer b = MakeCurlHttpGet(1)->Get(server.Url("/slow" + kListPath));
  EXPECT_EQ(b.kind, Kind::kNetworkError);
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(5));
}

// ---------------------------------------------------------------- download

struct Statuses {
  std::vector<std::string> texts;
  StatusText sink() {
    return [this](const std::string& t) { texts.push_back(t); };
  }
};

// A fixed answer, for the status texts of each kind of failure.
class FixedAnswer : public HttpGet {
 public:
  explicit FixedAnswer(HttpAnswer a) : answer_(std::move(a)) {}
  HttpAnswer Get(const std::string&, const std::atomic<bool>*) override { return answer_; }

 private:
  HttpAnswer answer_;
};

TEST(DownloadAndQuery, FailureTexts) {
  const auto answer = [](Kind kind, std::string error, bool unresolved = false) {
    HttpAnswer a;
    a.kind = kind;
    a.error = std::move(error);
    a.nameNotResolved = unresolved;
    return a;
  };
  const struct {
    HttpAnswer answer;
    const char* download;
    const char* query;
  } rows[] = {
      {answer(Kind::kHttpError, "404 Not Found"), "HTTP-Fehler- 404 Not Found", "HTTP-Fehler: 404 Not Found"},
      {answer(Kind::kNetworkError, "Could not resolve host: x", true),
       "keine Internetverbindung? Could not resolve host: x", "keine Internetverbindung? Could not resolve host: x"},
      {answer(Kind::kNetworkError, "Connection refused"), "Fehler: Connection refused", "Fehler: Connection refused"},
      {answer(Kind::kCancelled, ""), "Download abgebrochen", "Download abgebrochen"},
  };
  test::TempDir dir;
  ElementSourceSettings s;
  s.GuideDir = dir.path().string() + "/";
  for (const auto& r : rows) {
    FixedAnswer http(r.answer);
    Statuses download, query;
    EXPECT_FALSE(DownloadCometList(http, s, download.sink()));
    EXPECT_EQ(download.texts, (std::vector<std::string>{"Start Download Datei ...", r.download}));
    CometBahnTyp el;
    el.name = "kept";
    std::vector<ElementHit> hits{{"kept", "C kept"}};
    EXPECT_EQ(QueryDatabase(http, s, "http://x/", el, hits, query.sink()), QueryOutcome::kFailed);
    EXPECT_EQ(query.texts, (std::vector<std::string>{"Download http://x/", r.query}));
    EXPECT_EQ(el.name, "kept");
    EXPECT_EQ(hits.size(), 1u);
  }
  EXPECT_FALSE(std::filesystem::exists(dir.file("Comets.dat")));
}

// Every failure, of the network or of the files, leaves the old list and
// its backup as they were, byte for byte.
TEST(DownloadAndQuery, FailuresKeepTheOldList) {
  LocalServer server;
  const std::string oldList = "2\r\n" + CometLine("C/1995 O1 (Hale-Bopp)") + "\r\n\xe9\x01\r\n", oldBackup = "backup";
  const std::unique_ptr<HttpGet> http = MakeCurlHttpGet(5);
  const struct {
    std::string server;
    const char* last;  // the last status text, or its start
    bool cancel = false;
    int breakFiles = 0;  // 1: the backup is a folder; 2: the list is write-protected
  } rows[] = {
      {server.Url(), "HTTP-Fehler- 404 Not Found"},
      {server.Url("/cut"), "Fehler: "},
      {server.Url("/empty"), "Fehler: die Antwort enthält keine Zeile"},
      {"http://127.0.0.1:" + std::to_string(ClosedPort()), "Fehler: "},
      {server.Url("/slow"), "Download abgebrochen", true},
      {server.Url("/ok"), "Fehler: Datei ", false, 1},
      {server.Url("/ok"), "Fehler: Datei ", false, 2},
  };
  for (const auto& r : rows) {
    test::TempDir dir;
    const std::string list = dir.write("Comets.dat", oldList);
    const std::string backup = r.breakFiles == 1 ? dir.file("Comets.bak") : dir.write("Comets.bak", oldBackup);
    if (r.breakFiles == 1) std::filesystem::create_directory(backup);
    if (r.breakFiles == 2) chmod(list.c_str(), 0444);
    ElementSourceSettings s;
    s.GuideDir = dir.path().string() + "/";
    s.MpcServer = r.server;
    std::atomic<bool> cancel{r.cancel};
    Statuses st;
    EXPECT_FALSE(DownloadCometList(*http, s, st.sink(), &cancel)) << r.server;
    EXPECT_EQ(st.texts.front(), "Start Download Datei ...");
    EXPECT_EQ(st.texts.back().rfind(r.last, 0), 0u) << st.texts.back();
    EXPECT_EQ(test::TempDir::read(list), oldList) << r.server;
    if (r.breakFiles != 1) {
      EXPECT_EQ(test::TempDir::read(backup), oldBackup) << r.server;
    }
    int files = 0;
    for ([[maybe_unused]] const auto& f : std::filesystem::directory_iterator(dir.path())) ++files;
    EXPECT_EQ(files, 2) << "no temporary file left behind";
  }
}

// The first download creates the data folder; the next one keeps the
// previous list as "Comets.bak", replacing an older backup.
TEST(DownloadAndQuery, DownloadSavesTheListWithItsCount) {
  LocalServer server;
  test::TempDir dir;
  ElementSourceSettings s;
  s.GuideDir = dir.path().string() + "/new/guide/";
  s.MpcServer = server.Url("/redirect");
  const std::unique_ptr<HttpGet> http = MakeCurlHttpGet(5);
  const std::string expected = "3\n" + CometLine("1P/Halley") + "\n" + CometLine("2P/Encke", "2023") + "\n\n";
  Statuses first;
  ASSERT_TRUE(DownloadCometList(*http, s, first.sink()));
  EXPECT_EQ(first.texts, (std::vector<std::string>{"Start Download Datei ...", "DownloadOK", "Update OK"}));
  EXPECT_EQ(test::TempDir::read(s.GuideDir + "Comets.dat"), expected);
  EXPECT_FALSE(std::filesystem::exists(s.GuideDir + "Comets.bak"));
  EXPECT_EQ(SearchCometFile(CometsDatPath(s.GuideDir), "ENCKE").at(0).shown, "2P/Encke    (Perihel 2023)");

  const std::string old = "1\r\nold list\r\n";
  dir.write("new/guide/Comets.dat", old);
  dir.write("new/guide/Comets.bak", "older backup");
  Statuses second;
  ASSERT_TRUE(DownloadCometList(*http, s, second.sink()));
  EXPECT_EQ(test::TempDir::read(s.GuideDir + "Comets.bak"), old);
  EXPECT_EQ(test::TempDir::read(s.GuideDir + "Comets.dat"), expected);
}

// The query over HTTP: status texts, and the element set or the candidates;
// a candidate's key leads to the body.
TEST(DownloadAndQuery, QueriesThroughTheServer) {
  LocalServer server;
  ElementSourceSettings s;
  s.SbdbServer = server.Url();
  const std::unique_ptr<HttpGet> http = MakeCurlHttpGet(5);
  const struct {
    std::string url;
    QueryOutcome outcome;
    std::string status;
    const char* name;  // of the element set afterwards ("kept": unchanged)
    std::size_t candidates;
  } rows[] = {
      {server.Url("/cgi-bin/sbdb.cgi?sstr=1"), QueryOutcome::kElements, "Bahndaten OK", "Ceres", 0},
      {server.Url("/cgi-bin/sbdb.cgi?sstr=ce"), QueryOutcome::kCandidates, "3 Einträge gefunden", "kept", 3},
      {server.Url("/cgi-bin/sbdb.cgi?sstr=xyzzy"), QueryOutcome::kNotFound, "Eintrag nicht gefunden!", "kept", 0},
      {DatabaseQueryUrl(s, "Ceres"), QueryOutcome::kElements, "Bahndaten OK", "Ceres", 0},
      {DatabaseQueryUrl(s, "67P"), QueryOutcome::kElements, "Bahndaten OK", "67P/Churyumov-Gerasimenko", 0},
      {DatabaseQueryUrl(s, "Halley"), QueryOutcome::kCandidates, "2 Einträge gefunden", "kept", 2},
      {DatabaseQueryUrl(s, "xyzzy"), QueryOutcome::kNotFound, "Eintrag nicht gefunden!", "kept", 0},
      {server.Url("/missing"), QueryOutcome::kFailed, "HTTP-Fehler: 404 Not Found", "kept", 0},
  };
  for (const auto& r : rows) {
    CometBahnTyp el;
    el.name = "kept";
    std::vector<ElementHit> hits;
    Statuses st;
    EXPECT_EQ(QueryDatabase(*http, s, r.url, el, hits, st.sink()), r.outcome) << r.url;
    std::vector<std::string> expected{"Download " + r.url};
    if (r.outcome != QueryOutcome::kFailed) expected.push_back("DownloadOK");
    expected.push_back(r.status);
    EXPECT_EQ(st.texts, expected);
    EXPECT_EQ(el.name, r.name) << r.url;
    ASSERT_EQ(hits.size(), r.candidates) << r.url;
    if (!hits.empty()) {
      // The first candidate, asked for by its key.
      Statuses again;
      EXPECT_EQ(QueryDatabase(*http, s, hits[0].key.substr(2), el, hits, again.sink()),
                r.url.find("cgi") != std::string::npos ? QueryOutcome::kElements : QueryOutcome::kNotFound)
          << hits[0].key;
    }
  }
}

}  // namespace
}  // namespace orb
