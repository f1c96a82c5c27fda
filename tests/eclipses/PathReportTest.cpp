// SPDX-License-Identifier: AGPL-3.0-or-later
// The central path report: every row of five central eclipses against Swiss
// Ephemeris' central line and local circumstances, the layouts by their
// rules, the step question, the path list, and the command loop.
#include "eclipses/PathReport.h"

#include <gtest/gtest.h>
#include <swephexp.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

#include "core/TimeScales.h"
#include "eclipses/PathLimits.h"
#include "engine/PlanetaryTheory.h"
#include "support/ScriptedHost.h"
#include "support/SwissReference.h"

namespace orb {
namespace {

using test::ScriptedHost;
using test::UseEphemerisFiles;
using test::SwissDeltaT;

// Eclipses by the date of greatest eclipse (Espenak & Meeus, Five Millennium
// Canon of Solar Eclipses, NASA/TP-2006-214141).
struct KnownEclipse {
  const char* name;
  int32_t year, month, day;
};
constexpr KnownEclipse kTotal2017{"2017-08-21 total", 2017, 8, 21};
constexpr KnownEclipse kTotal2024{"2024-04-08 total", 2024, 4, 8};
constexpr KnownEclipse kTotal2026{"2026-08-12 total", 2026, 8, 12};
constexpr KnownEclipse kAnnular2023{"2023-10-14 annular", 2023, 10, 14};
constexpr KnownEclipse kHybrid2023{"2023-04-20 hybrid", 2023, 4, 20};
constexpr KnownEclipse kHybrid2013{"2013-11-03 hybrid", 2013, 11, 3};
constexpr KnownEclipse kPartial2022{"2022-10-25 partial", 2022, 10, 25};

// Two days before greatest eclipse: the forward search finds it.
Extended SearchStart(const KnownEclipse& e) { return CalendarToJD(e.year, e.month, e.day) - 2; }

struct FakeSink : EclipsePathPictureSink {
  void ShowEclipsePath(const std::vector<std::string>& list, const std::string& t,
                       std::shared_ptr<const PathMapLimits> l) override {
    ++shown;
    pathList = list;
    title = t;
    limits = std::move(l);
  }
  int shown = 0;
  std::vector<std::string> pathList;
  std::string title;
  std::shared_ptr<const PathMapLimits> limits;
};

// One report of an eclipse as the command loop makes it.
struct PathRun {
  explicit PathRun(TSettings settings) : s(std::move(settings)) {}
  TSettings s;
  ScriptedHost host;
  FakeSink sink;
  PathReport report{&sink};
  bool printed = false;
  void Run(Extended startJD, bool picture = false, int direction = +1) {
    TRunContext run(s);
    run.StartJulDat = startJD;
    ASSERT_TRUE(report.AskStep(s, host, picture));
    printed = report.Report(s, run, host, picture, direction);
  }
};
TSettings MinuteSteps(bool noMinutes = false) {
  TSettings s;
  s.TableColumns.Schrittweite = 1.0L / 1440;
  s.NoMinutes = noMinutes;
  return s;
}

// The five header lines come first; rows follow.
constexpr std::size_t kHeaderLines = 5;
const std::string kNonCentralCells = "       -- --     -- --    ---";

// A row read back by its columns: date and clock time (19 characters),
// longitude, latitude and duration (29 characters), the phase.
struct Row {
  double jd = 0;  // UT
  bool central = false;
  double lonWest_deg = 0, lat_deg = 0, duration_min = 0;
  std::string phase;
};

// Degrees and minutes fields; "-0" keeps the sign of -0°30'.
double DegreesMinutes(const std::string& degrees, const std::string& minutes) {
  const double d = std::fabs(std::stod(degrees)) + std::stod(minutes) / 60;
  return degrees.find('-') == std::string::npos ? d : -d;
}

Row ParseRow(const std::string& line, bool noMinutes) {
  Row r;
  const double hours = std::stoi(line.substr(11, 2)) + std::stoi(line.substr(14, 2)) / 60.0 +
                       std::stoi(line.substr(17, 2)) / 3600.0;
  r.jd = swe_julday(std::stoi(line.substr(6, 4)), std::stoi(line.substr(3, 2)), std::stoi(line.substr(0, 2)), hours,
                    SE_GREG_CAL);
  const std::string cells = line.substr(19, 29);
  r.phase = line.substr(48);
  r.central = cells != kNonCentralCells;
  if (!r.central) return r;
  if (noMinutes) {
    r.lonWest_deg = std::stod(cells.substr(0, 12));
    r.lat_deg = std::stod(cells.substr(12, 10));
  } else {
    r.lonWest_deg = DegreesMinutes(cells.substr(0, 9), cells.substr(9, 3));
    r.lat_deg = DegreesMinutes(cells.substr(12, 7), cells.substr(19, 3));
  }
  r.duration_min = std::stod(cells.substr(22, 7));
  return r;
}

std::vector<Row> Rows(const PathRun& run) {
  std::vector<Row> rows;
  for (std::size_t i = kHeaderLines; i < run.host.lines.size(); ++i) {
    rows.push_back(ParseRow(run.host.lines[i], run.s.NoMinutes));
  }
  return rows;
}

// ---- Swiss Ephemeris' central line ----

// The apparent topocentric offset of the Moon from the Sun seen from a place
// at sea level (radians: right ascension times cos dec, declination).
void MoonFromSun(double jd_tt, double lonEast_deg, double lat_deg, double offset[2]) {
  swe_set_topo(lonEast_deg, lat_deg, 0);
  double m[6] = {}, s[6] = {};
  char serr[AS_MAXCH] = {};
  const int32_t flags = SEFLG_SWIEPH | SEFLG_TOPOCTR | SEFLG_EQUATORIAL | SEFLG_RADIANS;
  swe_calc(jd_tt, SE_MOON, flags, m, serr);
  swe_calc(jd_tt, SE_SUN, flags, s, serr);
  offset[0] = std::remainder(m[0] - s[0], 2 * std::numbers::pi) * std::cos(s[1]);
  offset[1] = m[1] - s[1];
}

// Swiss's central line at `jd` (UT): swe_sol_eclipse_where leaves its point
// up to 8 km off the shadow axis (EclipseCommandTest), which at a low Sun
// moves it by tenths of a degree along the ground. The point where Swiss's
// apparent Sun and Moon centres coincide is found from there by Newton's
// method on the offset, with a numerical Jacobian (steps of 0.001 degree),
// to 1e-7 degree. False when the axis misses the Earth for Swiss or the
// iteration does not settle or runs away (the Sun on the horizon).
struct SwissCentral {
  double lonEast_deg = 0, lat_deg = 0;  // on the axis
  double whereLonEast_deg = 0, whereLat_deg = 0;
  bool total = false;
};
bool SwissCentralLine(double jd, int32_t deltaT_s, SwissCentral& c) {
  double geo[10] = {}, attr[20] = {};
  char serr[AS_MAXCH] = {};
  const int32_t flags = swe_sol_eclipse_where(jd, SEFLG_SWIEPH, geo, attr, serr);
  if (flags <= 0 || !(flags & SE_ECL_CENTRAL)) return false;
  c = {geo[0], geo[1], geo[0], geo[1], (flags & SE_ECL_TOTAL) != 0};
  const double jd_tt = jd + deltaT_s / 86400.0, h = 1e-3;
  for (int i = 0; i < 20; ++i) {
    double f[2], fLon[2], fLat[2];
    MoonFromSun(jd_tt, c.lonEast_deg, c.lat_deg, f);
    MoonFromSun(jd_tt, c.lonEast_deg + h, c.lat_deg, fLon);
    MoonFromSun(jd_tt, c.lonEast_deg, c.lat_deg + h, fLat);
    const double a = (fLon[0] - f[0]) / h, b = (fLat[0] - f[0]) / h, p = (fLon[1] - f[1]) / h,
                 q = (fLat[1] - f[1]) / h, det = a * q - b * p;
    const double dLon = (q * f[0] - b * f[1]) / det, dLat = (a * f[1] - p * f[0]) / det;
    c.lonEast_deg -= dLon;
    c.lat_deg -= dLat;
    if (std::fabs(dLon) < 1e-7 && std::fabs(dLat) < 1e-7) return std::fabs(c.lat_deg - geo[1]) < 2;
  }
  return false;
}

// Contacts 2 and 3 at a place at sea level by swe_sol_eclipse_when_loc: the
// central phase (seconds), 0 when it has none.
double SwissCentralSeconds(double jd, double lonEast_deg, double lat_deg) {
  double geo[3] = {lonEast_deg, lat_deg, 0}, tret[10] = {}, attr[20] = {};
  char serr[AS_MAXCH] = {};
  const int32_t flags = swe_sol_eclipse_when_loc(jd - 0.1, SEFLG_SWIEPH, geo, tret, attr, 0, serr);
  if (flags <= 0 || !(flags & (SE_ECL_TOTAL | SE_ECL_ANNULAR)) || tret[2] == 0 || tret[3] == 0) return 0;
  return (tret[3] - tret[2]) * 86400;
}

// Distance of two places along the ground as an arc (degrees): the larger
// of the latitude difference and the longitude difference times cos(lat),
// so that longitudes near the pole (the path of 2026 passes 87.8 degrees
// north) count by their length on the ground.
double ArcError(double lon1_deg, double lat1_deg, double lon2_deg, double lat2_deg) {
  const double cosLat = std::cos(lat1_deg * std::numbers::pi / 180);
  return std::max(std::fabs(std::remainder(lon1_deg - lon2_deg, 360.0)) * cosLat, std::fabs(lat1_deg - lat2_deg));
}

// Tolerances.
// Place: 0.05 degree of arc, 0.2 in the first and last 10 minutes of the
// path, where the Sun is low and a point off the axis moves far along the
// ground. Expected: our point lies 0.3 km off Swiss's axis (EclipseCommandTest),
// the display rounds to 0.005 degree (or half a minute of arc, 0.008 degree).
constexpr double kPlaceTolerance_deg = 0.05, kPlaceToleranceEnds_deg = 0.2;
constexpr double kPathEnd_days = 10.0 / 1440;
// Duration: the table gives 0.1 minute, so the rounding alone is up to 3 s;
// against swe_sol_eclipse_when_loc the unrounded duration differs by up to
// 5 s (EclipseCommandTest: its lunar radius, 1737.4 km against our
// 0.2725076 * 6378.14 = 1738.09 km, and its contacts up to 2.6 s from those
// solved from its own places).
constexpr double kDurationTolerance_s = 3 + 5;
// Our code and Swiss's may disagree whether the axis still meets the Earth
// at the last row before the path leaves it (the Sun on the horizon; the
// Earth's flattening 1/297 against 1/298.257).
constexpr double kGrazingEnd_days = 1.5 / 1440;

// The first and last central row.
std::pair<double, double> CentralSpan(const std::vector<Row>& rows) {
  double first = 1e99, last = -1e99;
  for (const Row& r : rows) {
    if (!r.central) continue;
    first = std::min(first, r.jd);
    last = std::max(last, r.jd);
  }
  return {first, last};
}

// Each row of a 1-minute table in both layouts: the place within the
// tolerance of Swiss's central line at the row's instant, the phase word of
// Swiss's type, the duration within its tolerance of Swiss's contacts at the
// tabulated place.
TEST(PathReport, RowsFollowSwissEphemeris) {
  UseEphemerisFiles();
  for (const KnownEclipse& e : {kTotal2017, kTotal2024, kTotal2026, kAnnular2023, kHybrid2023}) {
    double place = 0, placeEnds = 0, where = 0, duration = 0;
    for (const bool noMinutes : {true, false}) {
      PathRun run(MinuteSteps(noMinutes));
      run.Run(SearchStart(e));
      ASSERT_TRUE(run.printed) << e.name;
      EXPECT_TRUE(run.host.prompts.empty()) << e.name;
      const SwissDeltaT sameDeltaT(run.report.Context().deltaT_s);
      const std::vector<Row> rows = Rows(run);
      const auto [first, last] = CentralSpan(rows);
      int compared = 0;
      for (const Row& r : rows) {
        if (!r.central) continue;
        SwissCentral sw;
        const bool atEnd = r.jd - first < kPathEnd_days || last - r.jd < kPathEnd_days;
        if (!SwissCentralLine(r.jd, run.report.Context().deltaT_s, sw)) {
          EXPECT_TRUE(r.jd - first < kGrazingEnd_days || last - r.jd < kGrazingEnd_days) << e.name << " JD " << r.jd;
          continue;
        }
        ++compared;
        EXPECT_EQ(r.phase, sw.total ? "   total" : "   ringförmig") << e.name << " JD " << r.jd;
        const double error = ArcError(-r.lonWest_deg, r.lat_deg, sw.lonEast_deg, sw.lat_deg);
        EXPECT_LT(error, atEnd ? kPlaceToleranceEnds_deg : kPlaceTolerance_deg) << e.name << " JD " << r.jd;
        (atEnd ? placeEnds : place) = std::max(atEnd ? placeEnds : place, error);
        where = std::max(where, ArcError(sw.whereLonEast_deg, sw.whereLat_deg, sw.lonEast_deg, sw.lat_deg));

        const double swiss_s = SwissCentralSeconds(r.jd, -r.lonWest_deg, r.lat_deg);
        if (swiss_s == 0) continue;
        const double error_s = std::fabs(r.duration_min * 60 - swiss_s);
        EXPECT_LT(error_s, kDurationTolerance_s) << e.name << " JD " << r.jd;
        duration = std::max(duration, error_s);
      }
      // No central minute is missing: Swiss finds the axis off the Earth a
      // minute before the first central row and a minute after the last.
      SwissCentral outside;
      EXPECT_FALSE(SwissCentralLine(first - 1.0 / 1440, run.report.Context().deltaT_s, outside)) << e.name;
      EXPECT_FALSE(SwissCentralLine(last + 1.0 / 1440, run.report.Context().deltaT_s, outside)) << e.name;
      // The shortest central phase here, 2026-08-12, lasts 96 minutes by
      // swe_sol_eclipse_when_glob.
      EXPECT_GT(compared, 80) << e.name;
    }
    std::printf("%-20s largest: place %.4f deg (ends %.4f; swe_sol_eclipse_where's own point %.4f away), "
                "duration %.2f s\n", e.name, place, placeEnds, where, duration);
  }
}

// ---- layouts ----

// 2022 October 25, partial (canon), Saros 124: the header, then partial
// rows only. deltaT by Espenak & Meeus for y = 2022 + 9.5/12, t = y - 2000:
// 62.92 + 0.32217 t + 0.005589 t^2 = 73.2 s, whole seconds 73. The
// conjunction: a Tuesday; Swiss's conjunction in longitude (swe_calc_ut,
// the same deltaT) is at 10:48:38 UT; the lunation search improves its
// estimate twice only, which leaves up to 6.5 minutes (2026-08-12), so the
// clock time is checked within 7 minutes.
TEST(PathReport, HeaderAndPartialRows) {
  UseEphemerisFiles();
  for (const bool noMinutes : {false, true}) {
    PathRun run(MinuteSteps(noMinutes));
    run.Run(SearchStart(kPartial2022));
    ASSERT_TRUE(run.printed);
    // A row for every minute of Swiss's partial phase (first to last contact
    // of the penumbra with the Earth, swe_sol_eclipse_when_glob).
    double tret[10] = {};
    char serr[AS_MAXCH] = {};
    swe_sol_eclipse_when_glob(static_cast<double>(SearchStart(kPartial2022)), SEFLG_SWIEPH, 0, tret, 0, serr);
    EXPECT_NEAR(static_cast<double>(run.host.lines.size() - kHeaderLines), (tret[3] - tret[2]) * 1440, 2);
    const std::vector<std::string>& lines = run.host.lines;
    EXPECT_EQ(lines[0], "");
    const std::string& head = lines[1];
    ASSERT_EQ(head.size(), 64u);
    EXPECT_EQ(head.substr(0, 36), "Sonnenfinsternis am Di,  25.10.2022 ");
    EXPECT_EQ(head.substr(44), " UTC;  DeltaT = 73 s");
    const double clock_h = std::stoi(head.substr(36, 2)) + std::stoi(head.substr(39, 2)) / 60.0 +
                           std::stoi(head.substr(42, 2)) / 3600.0;
    EXPECT_NEAR(clock_h, 10 + 48 / 60.0 + 38 / 3600.0, 7 / 60.0);
    EXPECT_EQ(lines[2], "Saros 124");
    // The row layout (ParseRow): date 0-9, clock time 11-18, longitude
    // 19-30 (whole degrees ending at 27, minutes at 28-30), latitude 31-40
    // (whole degrees ending at 37, minutes at 38-40), duration 41-47 (whole
    // minutes ending at 45), the phase word from 51. The headings end with
    // their columns ("Datum" at 9, "UTC" 18, "Länge" 30, "Breite" 40,
    // "Dauer" 47), "Phase" starts with the word; each unit ends over the
    // last whole digit: h 12, m 15, s 18, o 27 and 37, ' 30 and 40, min 45.
    EXPECT_EQ(lines[3], "     Datum      UTC       Länge    Breite  Dauer   Phase");
    EXPECT_EQ(lines[4], noMinutes ? "            h  m  s        o         o     min"
                                  : "            h  m  s        o  '      o  '  min");
    for (std::size_t i = kHeaderLines; i < lines.size(); ++i) {
      EXPECT_EQ(lines[i].substr(19), kNonCentralCells + "   partiell") << lines[i];
    }
    // Rows one minute apart, on whole minutes of UT.
    EXPECT_EQ(lines[kHeaderLines + 1].substr(17, 2), "00");
    EXPECT_NEAR((ParseRow(lines[kHeaderLines + 1], noMinutes).jd - ParseRow(lines[kHeaderLines], noMinutes).jd) * 1440,
                1.0, 1e-6);
  }
}

// The characters of a UTF-8 line, one string each.
std::vector<std::string> Characters(const std::string& line) {
  std::vector<std::string> chars;
  for (const char ch : line) {
    const bool continuation = (static_cast<unsigned char>(ch) & 0xC0) == 0x80;
    if (continuation && !chars.empty()) {
      chars.back() += ch;
    } else {
      chars.emplace_back(1, ch);
    }
  }
  return chars;
}

bool IsDigit(const std::vector<std::string>& chars, std::size_t i) {
  return i < chars.size() && chars[i].size() == 1 && std::isdigit(static_cast<unsigned char>(chars[i][0]));
}

// Whether character `i` is the last digit of a whole number or of the whole
// part of a decimal number: a digit, no digit after it, no decimal point in
// the digits before it.
bool LastWholeDigit(const std::vector<std::string>& chars, std::size_t i) {
  if (!IsDigit(chars, i) || IsDigit(chars, i + 1)) return false;
  for (std::size_t k = i; k-- > 0 && (IsDigit(chars, k) || chars[k] == ".");) {
    if (chars[k] == ".") return false;
  }
  return true;
}

// The words of a header line with the positions (characters) of their first
// and last letters.
struct Word {
  std::string text;
  std::size_t first = 0, last = 0;
};
std::vector<Word> Words(const std::vector<std::string>& chars) {
  std::vector<Word> words;
  for (std::size_t i = 0; i < chars.size(); ++i) {
    if (chars[i] == " ") continue;
    if (i == 0 || chars[i - 1] == " ") words.push_back({"", i, i});
    words.back().text += chars[i];
    words.back().last = i;
  }
  return words;
}

// The header lines stand over the rows of a central path, in both layouts:
// each unit of the unit line ends over the last whole digit of a number
// (h m s over the clock time, the degree and minute marks over longitude and
// latitude, "min" over the duration); each heading of the column line ends
// over the last character of a column, and "Phase" starts over the phase
// word.
TEST(PathReport, HeaderLinesStandOverTheRows) {
  UseEphemerisFiles();
  for (const bool noMinutes : {false, true}) {
    PathRun run(MinuteSteps(noMinutes));
    run.Run(SearchStart(kTotal2024));
    ASSERT_GT(run.host.lines.size(), kHeaderLines);
    const std::vector<Word> headings = Words(Characters(run.host.lines[3]));
    const std::vector<Word> units = Words(Characters(run.host.lines[4]));
    ASSERT_EQ(headings.size(), 6u);
    ASSERT_EQ(units.size(), noMinutes ? 6u : 8u);
    int rows = 0;
    for (std::size_t r = kHeaderLines; r < run.host.lines.size(); ++r) {
      if (!ParseRow(run.host.lines[r], noMinutes).central) continue;
      ++rows;
      const std::vector<std::string> row = Characters(run.host.lines[r]);
      for (const Word& u : units) {
        EXPECT_TRUE(LastWholeDigit(row, u.last)) << u.text << " over " << run.host.lines[r];
      }
      for (const Word& h : headings) {
        if (h.text == "Phase") {
          EXPECT_TRUE(row.at(h.first) != " " && row.at(h.first - 1) == " ") << run.host.lines[r];
        } else {
          EXPECT_TRUE(row.at(h.last) != " " && row.at(h.last + 1) == " ") << h.text << " over " << run.host.lines[r];
        }
      }
    }
    EXPECT_GT(rows, 80);  // the central phase of 2024-04-08 lasts 3 h 20 min (swe_sol_eclipse_when_glob)
  }
}

// Degrees and minutes keep the sign of a latitude between 0 and -1 degree:
// Swiss's central line of the hybrid eclipse runs from 1 degree south at
// 04:58 UT to the equator at about 05:03 UT (137.9 degrees east), so a few
// rows read "-0".
TEST(PathReport, MinusZeroDegreesKeepTheSign) {
  UseEphemerisFiles();
  PathRun run(MinuteSteps(false));
  run.Run(SearchStart(kHybrid2023));
  int minusZero = 0;
  for (std::size_t i = kHeaderLines; i < run.host.lines.size(); ++i) {
    if (run.host.lines[i].substr(31, 7) == "     -0") ++minusZero;
  }
  EXPECT_GE(minusZero, 3);
}

// ---- the step question ----

TEST(AskPathStep, SettingsStepOrQuestion) {
  struct Case {
    float setting_days;
    bool picture;
    bool asked;
    double step_min;
  };
  // Half a minute and an hour are the limits of the settings' step; 2 hours
  // and the default 7 days ask without a picture (preset "10", taken as it
  // stands), and take 10 minutes silently with one.
  for (const Case& k : {Case{1.0L / 1440, false, false, 1}, Case{1.0f / 2880, false, false, 0.5},
                        Case{1.0f / 24, false, false, 60}, Case{1.0f / 12, false, true, 10},
                        Case{7.0f, false, true, 10}, Case{1.0f / 12, true, false, 10}}) {
    TSettings s;
    s.TableColumns.Schrittweite = k.setting_days;
    ScriptedHost host;
    Extended step_days = 0;
    EXPECT_TRUE(AskPathStep(s, host, k.picture, step_days));
    EXPECT_NEAR(static_cast<double>(step_days) * 1440, k.step_min, 1e-4) << k.setting_days;
    EXPECT_EQ(host.prompts, k.asked ? std::vector<std::string>{"Schrittweite: Bitte Schrittweite in Minuten eingeben:"}
                                    : std::vector<std::string>{});
  }
  // Answers in minutes, read leniently: "2,5" is 2.5; cancel, 0, a negative
  // number, no number, and steps below a second or above the half day
  // decline.
  struct Answer {
    const char* text;
    bool cancel;
    bool accepted;
    double step_min;
  };
  for (const Answer& a : {Answer{"2,5", false, true, 2.5}, Answer{" 15 min", false, true, 15},
                          Answer{"", true, false, 0}, Answer{"0", false, false, 0}, Answer{"-5", false, false, 0},
                          Answer{"zehn", false, false, 0}, Answer{"0,001", false, false, 0},
                          Answer{"721", false, false, 0}, Answer{"1e999", false, false, 0}}) {
    TSettings s;
    s.TableColumns.Schrittweite = 1.0f / 12;
    ScriptedHost host;
    a.cancel ? host.QueueCancelInput() : host.QueueInput(a.text);
    Extended step_days = 0;
    EXPECT_EQ(AskPathStep(s, host, false, step_days), a.accepted) << a.text;
    if (a.accepted) {
      EXPECT_NEAR(static_cast<double>(step_days) * 1440, a.step_min, 1e-9) << a.text;
    }
  }
}

// The answer is the table's step: rows 2.5 minutes apart.
TEST(PathReport, AskedStepSpacesTheRows) {
  UseEphemerisFiles();
  TSettings s;
  s.TableColumns.Schrittweite = 1.0f / 12;
  PathRun run(s);
  run.host.QueueInput("2,5");
  run.Run(SearchStart(kTotal2024));
  const std::vector<Row> rows = Rows(run);
  ASSERT_GT(rows.size(), 2u);
  EXPECT_NEAR((rows[1].jd - rows[0].jd) * 1440, 2.5, 1e-6);
}

// ---- the path list of the picture ----

// The observer (the settings' default place: 7.19 degrees east, 51.74
// north, "Ortheim"), then the central points every half minute: on a
// 1-minute table every second point is a row's place (west positive); then
// the title and Saros lines (Saros 139 for 2024-04-08 and 129 for
// 2023-04-20, canon). The hybrid holds annular and total points. Besides
// the half minutes the list holds the two ends of the central phase and
// both sides of each change between annular and total.
TEST(PathReport, PathListForThePicture) {
  UseEphemerisFiles();
  struct Case {
    KnownEclipse eclipse;
    std::string title, saros;
    bool annular, total;
  };
  for (const Case& k : {Case{kTotal2024, "Totale Sonnenfinsternis am 08.04.2024", "Saros 139", false, true},
                        Case{kHybrid2023, "Hybride Sonnenfinsternis am 20.04.2023", "Saros 129", true, true}}) {
    PathRun run(MinuteSteps(true));
    run.Run(SearchStart(k.eclipse), true);
    ASSERT_EQ(run.sink.shown, 1);
    EXPECT_EQ(run.sink.title, k.title);
    const std::vector<std::string>& list = run.sink.pathList;
    EXPECT_EQ(list, run.report.PathList());
    ASSERT_GT(list.size(), 3u);
    EXPECT_EQ(list[0], "7.19   51.74Ortheim");
    EXPECT_EQ(list[list.size() - 2], k.title);
    EXPECT_EQ(list.back(), k.saros);

    struct Point {
      double lonWest_deg = 0, lat_deg = 0;
      int code = 0;
    };
    std::vector<Point> points;
    bool annular = false, total = false;
    for (std::size_t i = 1; i + 2 < list.size(); ++i) {
      Point p;
      ASSERT_EQ(std::sscanf(list[i].c_str(), "%lf %lf %d", &p.lonWest_deg, &p.lat_deg, &p.code), 3) << list[i];
      EXPECT_EQ(list[i].substr(list[i].size() - 2), p.code == 5 ? " 5" : " 4");
      (p.code == 5 ? total : annular) = true;
      points.push_back(p);
    }
    // Each row's place is a point, in the rows' order; between two rows
    // lies the half minute, and at most the two ends and the sides of the
    // changes come on top.
    const std::vector<Row> rows = Rows(run);
    std::vector<Row> central;
    std::copy_if(rows.begin(), rows.end(), std::back_inserter(central), [](const Row& r) { return r.central; });
    std::size_t changes = 0;
    for (std::size_t i = 1; i < points.size(); ++i) changes += points[i].code != points[i - 1].code ? 1 : 0;
    ASSERT_GE(points.size(), 2 * central.size() - 1);
    ASSERT_LE(points.size(), 2 * central.size() + 1 + 2 + 2 * changes);
    std::size_t next = 0;
    for (std::size_t j = 0; j < central.size(); ++j) {
      const auto atRow = [&](const Point& p) {
        return std::fabs(p.lonWest_deg - central[j].lonWest_deg) < 0.011 &&
               std::fabs(p.lat_deg - central[j].lat_deg) < 0.011;
      };
      const auto p = std::find_if(points.begin() + static_cast<std::ptrdiff_t>(next), points.end(), atRow);
      ASSERT_NE(p, points.end()) << k.eclipse.name << " row " << j;
      EXPECT_EQ(p->code == 5, central[j].phase == "   total") << k.eclipse.name << " row " << j;
      next = static_cast<std::size_t>(p - points.begin()) + 1;
    }
    EXPECT_EQ(annular, k.annular);
    EXPECT_EQ(total, k.total);
  }
}

// 2013 November 3 (hybrid, canon) is annular for about a second where the
// central path begins and total from there to its end: Swiss Ephemeris'
// central line (swe_sol_eclipse_where) is annular 1 s after the start of
// its central phase (swe_sol_eclipse_when_glob) and total 2 s after it. The
// path list begins with annular points, so that the map draws the start in
// red; all later points are total.
TEST(PathReport, PathListHoldsTheShortAnnularStartOf2013November3) {
  UseEphemerisFiles();
  PathRun run(MinuteSteps());
  run.Run(SearchStart(kHybrid2013), true);
  ASSERT_EQ(run.sink.shown, 1);
  EXPECT_EQ(run.sink.title, "Hybride Sonnenfinsternis am 03.11.2013");

  const SwissDeltaT sameDeltaT(run.report.Context().deltaT_s);
  double tret[10] = {}, geo[10] = {}, attr[20] = {};
  char serr[AS_MAXCH] = {};
  ASSERT_GT(swe_sol_eclipse_when_glob(static_cast<double>(SearchStart(kHybrid2013)), SEFLG_SWIEPH, 0, tret, 0, serr), 0);
  EXPECT_TRUE(swe_sol_eclipse_where(tret[4] + 1 / 86400.0, SEFLG_SWIEPH, geo, attr, serr) & SE_ECL_ANNULAR);
  EXPECT_TRUE(swe_sol_eclipse_where(tret[4] + 2 / 86400.0, SEFLG_SWIEPH, geo, attr, serr) & SE_ECL_TOTAL);

  const std::vector<std::string>& list = run.report.PathList();
  std::vector<int> codes;
  for (std::size_t i = 1; i + 2 < list.size(); ++i) codes.push_back(std::stoi(list[i].substr(list[i].size() - 2)));
  ASSERT_GT(codes.size(), 2u);
  EXPECT_EQ(codes.front(), 4);
  const auto firstTotal = std::find(codes.begin(), codes.end(), 5);
  ASSERT_NE(firstTotal, codes.end());
  EXPECT_TRUE(std::all_of(firstTotal, codes.end(), [](int code) { return code == 5; }));
}

// The picture gets the limits with PfadGrenzen only, and the same path
// list either way: the limits of the report's eclipse, whose umbral limits
// carry the central line's phase (2024-04-08: total wherever both exist).
TEST(PathReport, PictureGetsTheLimitsWithPfadGrenzenOnly) {
  std::vector<std::string> lists[2];
  for (const bool limits : {false, true}) {
    TSettings s;
    s.TableColumns.Schrittweite = 10.0L / 1440;
    s.PfadGrenzen = limits;
    PathRun run(s);
    run.Run(SearchStart(kTotal2024), true);
    ASSERT_EQ(run.sink.shown, 1);
    lists[limits] = run.sink.pathList;
    ASSERT_EQ(run.sink.limits != nullptr, limits);
    if (!limits) continue;
    const PathMapLimits& l = *run.sink.limits;
    ASSERT_FALSE(l.curves[kUmbraNorth].empty());
    ASSERT_FALSE(l.curves[kPenumbraSouth].empty());
    EXPECT_EQ(l.curves[kUmbraNorth].front().front().lonWest_deg,
              PathLimitsAt(run.report.Context(), l.curves[kUmbraNorth].front().front().t)[kUmbraNorth].lonWest_deg);
    ASSERT_FALSE(l.phases.empty());
    for (const PathSample& p : l.phases) EXPECT_TRUE(p.code == kTotalEclipse || p.code == kNonCentralTotal);
  }
  EXPECT_EQ(lists[0], lists[1]);
}

// A partial eclipse: the observer, no points, the title with the hemisphere
// (the Moon passes north of the ecliptic, canon gamma +1.07). A new moon
// without an eclipse (2025 February 28, latitude 1.5 degrees: the search
// admits it, EclipseCommandTest) prints nothing and draws no picture.
TEST(PathReport, PathListWithoutCentralPoints) {
  UseEphemerisFiles();
  PathRun partial(MinuteSteps());
  partial.Run(SearchStart(kPartial2022), true);
  ASSERT_EQ(partial.sink.shown, 1);
  EXPECT_EQ(partial.sink.pathList,
            (std::vector<std::string>{"7.19   51.74Ortheim", "Partielle Sonnenfinsternis am 25.10.2022 (Nordhalbkugel)",
                                      "Saros 124"}));
  PathRun none(MinuteSteps());
  none.Run(CalendarToJD(2025, 2, 26), true);
  EXPECT_FALSE(none.printed);
  EXPECT_TRUE(none.host.lines.empty());
  EXPECT_EQ(none.sink.shown, 0);
}

// ---- through the command loop ----

std::vector<std::string> Headers(const ScriptedHost& host) {
  std::vector<std::string> headers;
  for (const std::string& line : host.lines) {
    if (line.rfind("Sonnenfinsternis am ", 0) == 0) headers.push_back(line.substr(0, 35));
  }
  return headers;
}

// 2024 holds the eclipses of Monday April 8 (total) and Wednesday October 2
// (annular); list mode reports both, without it the search stops at the
// first, backward from 2024-06-01 it is April 8 (canon).
TEST(PathReport, ThroughTheCommandLoop) {
  UseEphemerisFiles();
  struct Case {
    bool list;
    int direction;
    Extended start;
    std::vector<std::string> headers;
  };
  const std::string april = "Sonnenfinsternis am Mo,  08.04.2024";
  const std::string october = "Sonnenfinsternis am Mi,  02.10.2024";
  for (const Case& k : {Case{true, +1, CalendarToJD(2024, 1, 1), {april, october}},
                        Case{false, +1, CalendarToJD(2024, 1, 1), {april}},
                        Case{false, -1, CalendarToJD(2024, 6, 1), {april}}}) {
    TSettings s;
    s.TableColumns.Schrittweite = 1.0L / 144;  // 10 minutes
    s.Startdat = k.start;
    s.DeltaTab = 365;
    s.Tabelle = k.list;
    ScriptedHost host;
    PathReport report;
    TRunContext run(s);
    SolarEclipseCommand(s, run, host, report, true, false, 0.0, k.direction);
    EXPECT_EQ(Headers(host), k.headers);
    EXPECT_TRUE(host.prompts.empty());
    EXPECT_TRUE(host.boxes.empty());
    EXPECT_EQ(run.RunState, 0);
  }
}

}  // namespace
}  // namespace orb
