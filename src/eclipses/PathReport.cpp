// SPDX-License-Identifier: AGPL-3.0-or-later
// The central path report: the step question, the table of the central line
// of one eclipse and the path list of its world map picture.
#include "eclipses/PathReport.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/NumText.h"
#include "core/TimeScales.h"
#include "eclipses/PathLimits.h"
#include "eclipses/SolarEclipse.h"
#include "settings/NumberReader.h"
#include "tables/TableFormat.h"

namespace orb {
namespace {

// The table step of the settings is used from half a minute to an hour; the
// relative margin lets the single-precision value of 1/24 or 1/2880 pass.
constexpr Extended kShortestSettingsStep_days = 1.0L / 2880;
constexpr Extended kLongestSettingsStep_days = 1.0L / 24;
constexpr Extended kSinglePrecisionMargin = 1e-6L;
// Otherwise 10 minutes, or the answer to the question: from one second to
// the tabulated half day.
constexpr Extended kDefaultStep_min = 10;
constexpr Extended kShortestAskedStep_min = 1.0L / 60;
constexpr Extended kLongestAskedStep_min = 720;

// Column line and unit lines of the table, placed on the row layout (in
// characters): date 0-9, clock time 11-18 (hh 11-12, mm 14-15, ss 17-18),
// longitude 19-30 (degrees right-aligned in 19-27, minutes in 28-30; or
// Str(lon, 12, 2) with the whole degrees ending at 27), latitude 31-40
// (degrees in 31-37, minutes in 38-40; or Str(lat, 10, 2) with the whole
// degrees ending at 37), duration 41-47 (Str(d, 7, 1): whole minutes ending
// at 45), the phase word from 51 (three spaces from 48). The headings end
// over the last character of their column, "Phase" starts over the phase
// word. A unit stands with its last letter over the last digit of the whole
// part of its number: h 12, m 15, s 18, the degree marks "o" 27 and 37, the
// minute marks "'" 30 and 40, "min" 43-45.
constexpr const char* kColumnLine = "     Datum      UTC       Länge    Breite  Dauer   Phase";
constexpr const char* kUnitLineDecimal = "            h  m  s        o         o     min";
constexpr const char* kUnitLineMinutes = "            h  m  s        o  '      o  '  min";
// The cells of a non-central phase, in place of longitude, latitude and
// duration.
constexpr const char* kNonCentralCells = "       -- --     -- --    ---";

// With PfadGrenzen the phase word fills the width of the longest one,
// "   ringförmig (nicht zentral)", and four limits follow: the northern and
// southern limit of the umbral path and of the partial eclipse, each two
// blanks, the longitude in the layout of the central line's (12
// characters) and the latitude (10). The headings end over the minutes
// (or the last decimal) as the central line's do; a limit that does not
// exist shows dashes as a non-central row does.
constexpr std::size_t kUnitsEnd = 48;  // the phase word starts here
constexpr std::size_t kPhaseWidth = 29;
constexpr const char* kLimitGap = "  ";
constexpr const char* kMissingLimitCells = "       -- --     -- --";
constexpr std::array<LimitKind, 4> kReportedLimits = {kUmbraNorth, kUmbraSouth, kPenumbraNorth, kPenumbraSouth};
constexpr std::array<const char*, 4> kLimitHeadings = {"Kern N Länge", "Kern S Länge", "Halb N Länge",
                                                       "Halb S Länge"};
constexpr const char* kLimitUnitsDecimal = "          o         o   ";
constexpr const char* kLimitUnitsMinutes = "          o  '      o  '";

// The phase words of the codes 1 to 5.
const std::array<std::string, 6> kPhaseWords = {
    "",
    "   partiell",
    "   ringförmig (nicht zentral)",
    "   total (nicht zentral)",
    "   ringförmig",
    "   total",
};

// deltaT of the eclipse in centuries.
Extended DeltaT_cy(const SolarEclipseContext& c) { return c.deltaT_s / kSecondsPerCentury; }

// Whether the instant `t` (centuries, UT) lies in the fitted half day.
bool InHalfDay(const SolarEclipseContext& c, Extended t, Extended step_cy) {
  return t + DeltaT_cy(c) <= c.intervalEnd + kEndMargin_steps * step_cy;
}

// Date and clock time of `t` (centuries) in UT as the tables write them:
// "08.04.2024 18:17:00".
std::string UtInstantText(Extended t, const DateStyle& style) { return DateClockText(JDFromCenturies(t), 0, style); }

std::string PadLeft(std::string text, std::size_t width) {
  const std::size_t length = Utf8Length(text);
  if (length < width) text.insert(0, width - length, ' ');
  return text;
}

std::string PadRight(std::string text, std::size_t width) {
  const std::size_t length = Utf8Length(text);
  if (length < width) text.append(width - length, ' ');
  return text;
}

// Degrees and minutes of `v_deg`: the sign and the whole degrees of |v|
// right-aligned in `degreesWidth` characters, then the minutes in 3. Whole
// degrees of |v| + 0.00001, minutes rounded, 60 minutes carried; the sign
// only when the rounded value is not 0, so -0°30' reads "-0 30".
std::string DegreesMinutesCells(Extended v_deg, std::size_t degreesWidth) {
  const Extended a = std::fabs(v_deg);
  long long degrees = static_cast<long long>(std::trunc(a + 0.00001L));
  long long minutes = std::llround((a - degrees) * 60);
  if (minutes >= 60) {
    minutes -= 60;
    ++degrees;
  }
  const bool negative = v_deg < 0 && (degrees != 0 || minutes != 0);
  return PadLeft((negative ? "-" : "") + std::to_string(degrees), degreesWidth) + IntStr(minutes, 3);
}

// Longitude, latitude and duration of a central point.
std::string CentralCells(const CentralPoint& p, bool noMinutes) {
  const std::string duration = Str(p.duration_min, 7, 1);
  if (noMinutes) return Str(p.lonWest_deg, 12, 2) + Str(p.lat_deg, 10, 2) + duration;
  return DegreesMinutesCells(p.lonWest_deg, 9) + DegreesMinutesCells(p.lat_deg, 7) + duration;
}

// Longitude and latitude of a limit, or dashes.
std::string LimitCells(const LimitPoint& p, bool noMinutes) {
  if (!p.valid) return kMissingLimitCells;
  if (noMinutes) return Str(p.lonWest_deg, 12, 2) + Str(p.lat_deg, 10, 2);
  return DegreesMinutesCells(p.lonWest_deg, 9) + DegreesMinutesCells(p.lat_deg, 7);
}

std::string RowText(const TSettings& s, const SolarEclipseContext& c, Extended t, const CentralPoint& p) {
  const std::string cells = IsCentral(p.code) ? CentralCells(p, s.NoMinutes) : kNonCentralCells;
  const std::string phase = kPhaseWords[static_cast<std::size_t>(p.code)];
  std::string row = UtInstantText(t, DateStyleOf(s)) + cells;
  if (!s.PfadGrenzen) return row + phase;
  row += PadRight(phase, kPhaseWidth);
  const PathLimits limits = PathLimitsAt(c, t);
  for (const LimitKind k : kReportedLimits) row += kLimitGap + LimitCells(limits[k], s.NoMinutes);
  return row;
}

// The column line and the unit line, with PfadGrenzen extended by the
// limits.
std::string ColumnLine(const TSettings& s) {
  if (!s.PfadGrenzen) return kColumnLine;
  std::string line = PadRight(kColumnLine, kUnitsEnd + kPhaseWidth);
  for (const char* heading : kLimitHeadings) line += kLimitGap + PadLeft(heading, 12) + PadLeft("Breite", 10);
  return line;
}
std::string UnitLine(const TSettings& s) {
  const std::string units = s.NoMinutes ? kUnitLineDecimal : kUnitLineMinutes;
  if (!s.PfadGrenzen) return units;
  std::string line = PadRight(units, kUnitsEnd + kPhaseWidth);
  for (std::size_t i = 0; i < kReportedLimits.size(); ++i) {
    line += s.NoMinutes ? kLimitUnitsDecimal : kLimitUnitsMinutes;
  }
  while (!line.empty() && line.back() == ' ') line.pop_back();
  return line;
}

// The header of the table: an empty line, the conjunction with deltaT, the
// Saros line, the column and unit lines.
void PrintHeader(const TSettings& s, Host& host, const SolarEclipseContext& c) {
  const Extended jd = JDFromCenturies(c.conjunction);
  host.AddLine("");
  host.AddLine("Sonnenfinsternis am " + WeekdayText(jd, 0) + ",  " + UtInstantText(c.conjunction, DateStyleOf(s)) +
               " UTC" + ";  " + "DeltaT" + " = " + StrT(c.deltaT_s, 1, 1) + " s");
  host.AddLine(SolarSarosLine(jd, s));
  host.AddLine(ColumnLine(s));
  host.AddLine(UnitLine(s));
}

// The path list: the observer, the central points of SampledCentralLine
// (every half minute, the ends of the central phase and both sides of a
// change between annular and total), the title line and the Saros line.
std::vector<std::string> PathListOf(const TSettings& s, const SolarEclipseContext& c, const std::string& title) {
  std::vector<std::string> list;
  list.push_back(Str(s.Ort.Laenge, 0, 2) + Str(s.Ort.Breite, 8, 2) + s.Ort.Name);
  for (const PathSample& sample : SampledCentralLine(c)) {
    if (!IsCentral(sample.code)) continue;
    const CentralPoint p = CentralLinePoint(c, sample.t);
    list.push_back(Str(p.lonWest_deg, 0, 2) + Str(p.lat_deg, 8, 2) + IntStr(p.code, 2));
  }
  list.push_back(title);
  list.push_back(SolarSarosLine(JDFromCenturies(c.conjunction), s));
  return list;
}

// Whether the table step of the settings lies between half a minute and an
// hour.
bool UsableSettingsStep(Extended step_days) {
  return step_days >= kShortestSettingsStep_days * (1 - kSinglePrecisionMargin) &&
         step_days <= kLongestSettingsStep_days * (1 + kSinglePrecisionMargin);
}

}  // namespace

bool AskPathStep(const TSettings& s, Host& host, bool picture, Extended& step_days) {
  const Extended setting_days = s.TableColumns.Schrittweite;
  if (UsableSettingsStep(setting_days)) {
    step_days = setting_days;
    return true;
  }
  step_days = kDefaultStep_min / kMinutesPerDay;
  if (picture) return true;
  std::string answer = "10";
  if (!host.InputBox("Schrittweite", "Bitte Schrittweite in Minuten eingeben:", answer)) return false;
  const Extended minutes = ParseNumber(answer);
  if (!(minutes >= kShortestAskedStep_min && minutes <= kLongestAskedStep_min)) return false;
  step_days = minutes / kMinutesPerDay;
  return true;
}

PathMapLimits MapLimitsOf(const SolarEclipseContext& c) {
  PathMapLimits limits;
  limits.curves = SampledPathLimits(c, 0);
  std::vector<Extended> instants;
  for (const LimitKind k : {kUmbraNorth, kUmbraSouth}) {
    for (const LimitPolyline& polyline : limits.curves[k]) {
      for (const LimitCurvePoint& p : polyline) instants.push_back(p.t);
    }
  }
  std::sort(instants.begin(), instants.end());
  instants.erase(std::unique(instants.begin(), instants.end()), instants.end());
  for (const Extended t : instants) limits.phases.push_back({t, CentralLinePoint(c, t).code});
  return limits;
}

bool PathReport::AskStep(const TSettings& s, Host& host, bool picture) {
  return AskPathStep(s, host, picture, step_days_);
}

bool PathReport::Report(const TSettings& s, TRunContext& run, Host& host, bool picture, int direction) {
  if (!SetUpSolarEclipse(context_, run.StartJulDat, direction, step_days_, s.TDT)) return false;
  const SolarEclipseContext& c = context_;
  SolarPhaseCode largest = kNoEclipse;
  for (int64_t i = 0;; ++i) {
    const Extended t = c.tableStart + i * c.step;
    if (!InHalfDay(c, t, c.step)) break;
    const CentralPoint p = CentralLinePoint(c, t);
    if (p.code > largest) {
      if (largest == kNoEclipse) PrintHeader(s, host, c);
      largest = p.code;
    }
    if (p.code > kNoEclipse) host.AddLine(RowText(s, c, t, p));
  }
  if (picture && largest > kNoEclipse) {
    const std::string title = SolarEclipseTitle(c, GlobalEclipseType(c), s, run.Zeitzone);
    pathList_ = PathListOf(s, c, title);
    if (sink_ != nullptr) {
      std::shared_ptr<const PathMapLimits> limits;
      if (s.PfadGrenzen) limits = std::make_shared<const PathMapLimits>(MapLimitsOf(c));
      sink_->ShowEclipsePath(pathList_, title, std::move(limits));
    }
  }
  return largest > kNoEclipse;
}

}  // namespace orb
