// SPDX-License-Identifier: AGPL-3.0-or-later
// The world map of a solar eclipse: coastlines, the observer's place, the
// central line and the title, and on request the band of the umbral path
// and the limits, drawn through tGDIext.
#include "eclipses/WorldMapPicture.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstddef>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/SafeFile.h"
#include "eclipses/OutlineFile.h"

namespace orb {
namespace {

constexpr Color kBlue = RGBColor(0, 0, 255);
constexpr Color kRed = RGBColor(255, 0, 0);
// The umbral path's fill where total and where annular, and the limits of
// the partial eclipse.
constexpr Color kLightBlue = RGBColor(175, 205, 255);
constexpr Color kLightRed = RGBColor(255, 190, 190);
constexpr Color kPartialLimitGrey = RGBColor(90, 90, 90);
constexpr float kDash_mm = 1.5f, kGap_mm = 1.0f;

// The picture's world window (degrees) and natural size (mm).
constexpr float kWestLon_deg = -180, kEastLon_deg = 180;
constexpr float kSouthLat_deg = -100, kNorthLat_deg = 100;
constexpr float kWidth_mm = 200, kHeight_mm = 111.111115f;

constexpr float kCrossHalfLength_mm = 1;
constexpr float kNameGap_mm = 2;
constexpr float kNameFont_mm = 5;
constexpr float kTitleFont_mm = 6;

// Phase codes of central points.
constexpr int kAnnular = 4, kTotal = 5;
// Two successive central points farther apart than this in longitude lie on
// either side of the date line.
constexpr double kDateLineJump_deg = 180;

// ---- reading numbers ----

void SkipBlanks(std::string_view& rest) {
  while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t')) rest.remove_prefix(1);
}

// The length of a number written with at most two decimals at the start of
// `text` ("-12.34"): the place name follows such a latitude without a blank
// and may itself begin with a digit.
std::size_t TwoDecimalsLength(std::string_view text) {
  std::size_t n = (!text.empty() && text.front() == '-') ? 1 : 0;
  while (n < text.size() && std::isdigit(static_cast<unsigned char>(text[n]))) ++n;
  if (n < text.size() && text[n] == '.') {
    ++n;
    for (int d = 0; d < 2 && n < text.size() && std::isdigit(static_cast<unsigned char>(text[n])); ++d) ++n;
  }
  return n;
}

// ---- geometry ----

bool InWindow(const tGDIext& g, double lon_deg, double lat_deg) {
  return lon_deg >= g.XMin && lon_deg <= g.XMax && lat_deg >= g.YMin && lat_deg <= g.YMax;
}

DevPoint DevicePoint(const tGDIext& g, double lon_deg, double lat_deg) {
  return {g.WorldX(static_cast<float>(lon_deg)), g.WorldY(static_cast<float>(lat_deg))};
}

// A longitude (degrees) brought into (-180, 180].
double LongitudeIntoRange(double lon_deg) {
  double lon = std::fmod(lon_deg, 360.0);
  if (lon > 180) lon -= 360;
  if (lon <= -180) lon += 360;
  return lon;
}

// A polyline drawn point by point in device pixels: the first point only
// places the pen, each further one draws a line from the previous one; a
// point on the pixel of the previous one is skipped.
class Polyline {
 public:
  explicit Polyline(tGDIext& g) : g_(g) {}

  void Add(DevPoint p) {
    if (!started_) {
      started_ = true;
      last_ = p;
      return;
    }
    if (p == last_) return;
    if (drawing_) {
      g_.LineToDev(p.x, p.y);
    } else {
      g_.LineDev(last_.x, last_.y, p.x, p.y);
      drawing_ = true;
    }
    last_ = p;
  }
  // Lifts the pen: the next point starts a new polyline.
  void End() { started_ = drawing_ = false; }

 private:
  tGDIext& g_;
  bool started_ = false, drawing_ = false;
  DevPoint last_;
};

// A polyline drawn dashed in device pixels, with dashes and gaps of a
// fixed length in millimetres running on over the corners (the platform's
// dashed pens begin their pattern afresh with every line, which leaves the
// short segments of a sampled curve solid).
class DashedPolyline {
 public:
  DashedPolyline(tGDIext& g, float dash_mm, float gap_mm)
      : g_(g), dash_px_(std::max(1, g.MmToDevX(dash_mm))), gap_px_(std::max(1, g.MmToDevX(gap_mm))) {}

  void Add(DevPoint p) {
    if (!started_) {
      started_ = true;
      last_ = p;
      return;
    }
    if (p == last_) return;
    const double dx = p.x - last_.x, dy = p.y - last_.y;
    const double length = std::hypot(dx, dy);
    const auto at = [&](double s) {
      return DevPoint{last_.x + static_cast<int32_t>(std::lround(dx * s / length)),
                      last_.y + static_cast<int32_t>(std::lround(dy * s / length))};
    };
    for (double s = 0; s < length;) {
      const double step = std::min((on_ ? dash_px_ : gap_px_) - done_px_, length - s);
      if (on_) {
        const DevPoint to = at(s + step);
        if (penDown_) {
          g_.LineToDev(to.x, to.y);
        } else {
          const DevPoint from = at(s);
          g_.LineDev(from.x, from.y, to.x, to.y);
          penDown_ = true;
        }
      }
      s += step;
      done_px_ += step;
      if (done_px_ >= (on_ ? dash_px_ : gap_px_)) {
        on_ = !on_;
        penDown_ = false;
        done_px_ = 0;
      }
    }
    last_ = p;
  }
  // Lifts the pen; the next point starts a new polyline with a dash.
  void End() {
    started_ = penDown_ = false;
    on_ = true;
    done_px_ = 0;
  }

 private:
  tGDIext& g_;
  double dash_px_, gap_px_;
  bool started_ = false, on_ = true, penDown_ = false;
  double done_px_ = 0;  // of the current dash or gap
  DevPoint last_;
};

// ---- longitudes across the date line ----

struct GeoPoint {
  double lon_deg = 0, lat_deg = 0;  // east and north positive
};

// `lon_deg` moved by whole turns to lie within half a turn of `near_deg`.
double UnwrappedNear(double lon_deg, double near_deg) {
  return lon_deg - 360 * std::round((lon_deg - near_deg) / 360);
}

// The whole turns by which a shape spanning the (unwrapped) longitudes
// `west_deg` .. `east_deg` must be moved to reach into the map.
std::vector<double> ShiftsIntoMap(const tGDIext& g, double west_deg, double east_deg) {
  std::vector<double> shifts;
  const double first = std::ceil((g.XMin - east_deg) / 360), last = std::floor((g.XMax - west_deg) / 360);
  for (double k = first; k <= last; ++k) shifts.push_back(360 * k);
  return shifts;
}

std::pair<double, double> LongitudeSpan(const std::vector<GeoPoint>& points) {
  const auto [west, east] = std::minmax_element(
      points.begin(), points.end(), [](const GeoPoint& a, const GeoPoint& b) { return a.lon_deg < b.lon_deg; });
  return {west->lon_deg, east->lon_deg};
}

// The polyline through `points` (unwrapped longitudes) drawn by `line`, once
// for every whole-turn shift that reaches into the map, each copy cut at
// the map's western and eastern edge. `beforeSegment(i)` runs before the
// segment to point i is drawn (its pen).
template <class Line, class BeforeSegment>
void DrawAcrossDateLine(tGDIext& g, const std::vector<GeoPoint>& points, Line& line, BeforeSegment beforeSegment) {
  if (points.size() < 2) return;
  const auto [west, east] = LongitudeSpan(points);
  for (const double shift : ShiftsIntoMap(g, west, east)) {
    line.End();
    for (std::size_t i = 1; i < points.size(); ++i) {
      const double x1 = points[i - 1].lon_deg + shift, x2 = points[i].lon_deg + shift;
      const double y1 = points[i - 1].lat_deg, y2 = points[i].lat_deg;
      // The part of the segment between the edges, as fractions of it.
      double from = 0, to = 1;
      if (x1 != x2) {
        const double a = (g.XMin - x1) / (x2 - x1), b = (g.XMax - x1) / (x2 - x1);
        from = std::max(from, std::min(a, b));
        to = std::min(to, std::max(a, b));
      } else if (x1 < g.XMin || x1 > g.XMax) {
        from = 1, to = 0;
      }
      if (from > to) {
        line.End();
        continue;
      }
      if (from > 0) line.End();
      beforeSegment(i);
      line.Add(DevicePoint(g, x1 + from * (x2 - x1), y1 + from * (y2 - y1)));
      line.Add(DevicePoint(g, x1 + to * (x2 - x1), y1 + to * (y2 - y1)));
      if (to < 1) line.End();
    }
    line.End();
  }
}

// The part of a polygon on one side of the meridian `edge_deg` (the eastern
// side with `east`), cut along it (Sutherland-Hodgman).
std::vector<GeoPoint> CutAtMeridian(const std::vector<GeoPoint>& polygon, double edge_deg, bool east) {
  std::vector<GeoPoint> cut;
  const auto inside = [&](const GeoPoint& p) { return east ? p.lon_deg >= edge_deg : p.lon_deg <= edge_deg; };
  for (std::size_t i = 0; i < polygon.size(); ++i) {
    const GeoPoint& a = polygon[i];
    const GeoPoint& b = polygon[(i + 1) % polygon.size()];
    if (inside(a)) cut.push_back(a);
    if (inside(a) != inside(b)) {
      const double f = (edge_deg - a.lon_deg) / (b.lon_deg - a.lon_deg);
      cut.push_back({edge_deg, a.lat_deg + f * (b.lat_deg - a.lat_deg)});
    }
  }
  return cut;
}

// The polygon (unwrapped longitudes) filled with the brush and outlined with
// the pen, once for every whole-turn shift that reaches into the map, each
// copy cut at the map's western and eastern edge.
void FillAcrossDateLine(tGDIext& g, const std::vector<GeoPoint>& polygon) {
  if (polygon.size() < 3) return;
  const auto [west, east] = LongitudeSpan(polygon);
  for (const double shift : ShiftsIntoMap(g, west, east)) {
    std::vector<GeoPoint> shifted = polygon;
    for (GeoPoint& p : shifted) p.lon_deg += shift;
    shifted = CutAtMeridian(CutAtMeridian(shifted, g.XMin, true), g.XMax, false);
    std::vector<DevPoint> corners;
    for (const GeoPoint& p : shifted) {
      const DevPoint d = DevicePoint(g, p.lon_deg, p.lat_deg);
      if (corners.empty() || !(corners.back() == d)) corners.push_back(d);
    }
    if (corners.size() >= 3) g.PolygonDev(corners);
  }
}

// ---- the parts of the picture ----

// The coastlines of the outline file: "latitude longitude" per line, a
// first number 9999 ends an outline, a point outside the world window ends
// it too. Lines without two numbers are skipped; an unreadable file draws
// nothing.
void DrawOutlines(tGDIext& g, const std::string& geoFile) {
  if (geoFile.empty()) return;
  Polyline outline(g);
  ForEachOutlineLine(
      geoFile,
      [&](double lat, double lon) {
        if (InWindow(g, lon, lat)) outline.Add(DevicePoint(g, lon, lat));
        else outline.End();
      },
      [&] { outline.End(); });
}

struct Observer {
  double lon_deg = 0, lat_deg = 0;  // east and north positive
  std::string name;
};

// The first line of the path list: longitude (east positive), latitude with
// two decimals, then the place name without a separator.
std::optional<Observer> ParseObserver(const std::string& line) {
  std::string_view rest = line;
  const std::optional<double> lon = NextDecimalNumber(rest);
  if (!lon) return std::nullopt;
  SkipBlanks(rest);
  const std::size_t latLength = TwoDecimalsLength(rest);
  std::string_view latText = rest.substr(0, latLength);
  const std::optional<double> lat = NextDecimalNumber(latText);
  if (!lat || !latText.empty()) return std::nullopt;
  return Observer{*lon, *lat, std::string(rest.substr(latLength))};
}

// A cross of 1 mm half-length at the observer's place and the place name in
// blue, 5 mm high, starting 2 mm right of the cross and vertically centred
// on it; right-aligned at the same point instead when it would run past the
// right edge (the three trailing blanks then keep it off the cross).
void DrawObserver(tGDIext& g, const std::string& line) {
  const std::optional<Observer> o = ParseObserver(line);
  if (!o) return;
  const double lon = LongitudeIntoRange(o->lon_deg);
  if (!InWindow(g, lon, o->lat_deg)) return;
  const float x = static_cast<float>(lon), y = static_cast<float>(o->lat_deg);
  const float dx = g.MmToWorldX(kCrossHalfLength_mm), dy = g.MmToWorldY(kCrossHalfLength_mm);
  g.Line(x - dx, y, x + dx, y);
  g.Line(x, y - dy, x, y + dy);

  const std::string text = o->name + "   ";
  g.SetFontHeight(g.MmToDevY(kNameFont_mm));
  g.SetTextColor(kBlue);
  const int32_t anchorX = g.WorldX(x) + g.MmToDevX(kNameGap_mm);
  const int32_t top = g.WorldY(y) - g.TextHeight() / 2;
  const bool pastRightEdge = anchorX + g.TextWidth(text) > g.OffsetX + g.DevWidth;
  g.SetTextAlign((pastRightEdge ? kAlignRight : kAlignLeft) | kAlignTop);
  g.TextAt(text, anchorX, top);
}

struct CentralPointLine {
  double lon_deg = 0, lat_deg = 0;  // east and north positive
  int code = 0;
};

// A central point of the path list: longitude (west positive), latitude,
// phase code 4 or 5.
std::optional<CentralPointLine> ParseCentralPoint(const std::string& line) {
  std::string_view rest = line;
  const std::optional<double> lonWest = NextDecimalNumber(rest);
  const std::optional<double> lat = lonWest ? NextDecimalNumber(rest) : std::nullopt;
  const std::optional<double> code = lat ? NextDecimalNumber(rest) : std::nullopt;
  if (!code || (*code != kAnnular && *code != kTotal)) return std::nullopt;
  return CentralPointLine{-*lonWest, *lat, static_cast<int>(*code)};
}

// The central line, lines 2 .. n-2 of the path list: red where annular,
// blue where total (a segment takes the colour of its end point). It is
// broken where it crosses the date line, at a point outside the window and
// at a malformed line.
void DrawCentralLine(tGDIext& g, const std::vector<std::string>& pathList) {
  Polyline path(g);
  bool hasPrevious = false;
  double previousLon_deg = 0;
  for (std::size_t i = 1; i + 2 < pathList.size(); ++i) {
    const std::optional<CentralPointLine> p = ParseCentralPoint(pathList[i]);
    if (!p || !InWindow(g, p->lon_deg, p->lat_deg)) {
      path.End();
      hasPrevious = false;
      continue;
    }
    if (hasPrevious && std::fabs(p->lon_deg - previousLon_deg) > kDateLineJump_deg) path.End();
    hasPrevious = true;
    previousLon_deg = p->lon_deg;
    g.SetPenColor(p->code == kTotal ? kBlue : kRed);
    path.Add(DevicePoint(g, p->lon_deg, p->lat_deg));
  }
}

// The title line + ",  " + the Saros line, black, 6 mm high, centred at
// the top edge.
void DrawTitle(tGDIext& g, const std::vector<std::string>& pathList) {
  if (pathList.size() < 3) return;
  const std::string text = pathList[pathList.size() - 2] + ",  " + pathList.back();
  g.SetFontHeight(g.MmToDevY(kTitleFont_mm));
  g.SetTextColor(kBlack);
  g.SetTextAlign(kAlignCenter | kAlignTop);
  g.TextAt(text, g.WorldX((g.XMin + g.XMax) / 2), g.WorldY(g.YMax));
}

// Whether the central line is total at `t`: the phase code of the sample
// nearest in time (codes 3 and 5; without samples, total).
bool TotalAt(const std::vector<PathSample>& phases, Extended t) {
  if (phases.empty()) return true;
  auto it = std::lower_bound(phases.begin(), phases.end(), t, [](const PathSample& p, Extended v) { return p.t < v; });
  if (it == phases.end() || (it != phases.begin() && t - std::prev(it)->t < it->t - t)) --it;
  return it->code == kTotalEclipse || it->code == kNonCentralTotal;
}

GeoPoint GeoOf(const LimitCurvePoint& p) {
  return {-static_cast<double>(p.lonWest_deg), static_cast<double>(p.lat_deg)};
}

// A limit curve's polyline with its longitudes unwrapped along it.
std::vector<GeoPoint> Unwrapped(const LimitPolyline& polyline) {
  std::vector<GeoPoint> points;
  for (const LimitCurvePoint& p : polyline) {
    GeoPoint q = GeoOf(p);
    if (!points.empty()) q.lon_deg = UnwrappedNear(q.lon_deg, points.back().lon_deg);
    points.push_back(q);
  }
  return points;
}

// The umbral path between its northern and southern limit: one polygon for
// each run of instants at which both limits exist (in unbroken polylines)
// and the central line keeps its colour; the quadrilateral between two
// instants of different colour belongs to the later one.
void DrawUmbralBand(tGDIext& g, const PathMapLimits& limits) {
  struct Sample {
    GeoPoint north, south;
    bool total;
  };
  // The southern limit's points by instant: polyline and point index.
  std::map<Extended, std::pair<std::size_t, std::size_t>> southAt;
  const std::vector<LimitPolyline>& south = limits.curves[kUmbraSouth];
  for (std::size_t i = 0; i < south.size(); ++i) {
    for (std::size_t j = 0; j < south[i].size(); ++j) southAt.emplace(south[i][j].t, std::pair{i, j});
  }
  std::vector<Sample> run;
  const auto fill = [&] {
    if (run.size() >= 2) {
      // North forwards, south backwards; each southern point unwrapped to
      // its northern partner, the northern ones along the limit.
      std::vector<GeoPoint> polygon;
      for (const Sample& s : run) {
        GeoPoint n = s.north;
        if (!polygon.empty()) n.lon_deg = UnwrappedNear(n.lon_deg, polygon.back().lon_deg);
        polygon.push_back(n);
      }
      for (std::size_t i = run.size(); i-- > 0;) {
        polygon.push_back({UnwrappedNear(run[i].south.lon_deg, polygon[i].lon_deg), run[i].south.lat_deg});
      }
      const Color fillColor = run.back().total ? kLightBlue : kLightRed;
      g.SetPenColor(fillColor);
      g.SetBrushColor(fillColor);
      FillAcrossDateLine(g, polygon);
    }
    run.clear();
  };
  for (const LimitPolyline& north : limits.curves[kUmbraNorth]) {
    std::optional<std::pair<std::size_t, std::size_t>> previous;  // the southern partner of the last instant
    for (const LimitCurvePoint& n : north) {
      const auto partner = southAt.find(n.t);
      if (partner == southAt.end()) {
        fill();
        previous.reset();
        continue;
      }
      const auto [si, sj] = partner->second;
      if (!previous || previous->first != si || previous->second + 1 != sj) fill();
      const Sample sample{GeoOf(n), GeoOf(south[si][sj]), TotalAt(limits.phases, n.t)};
      if (!run.empty() && run.back().total != sample.total) {
        const Sample last = run.back();
        fill();
        run.push_back(last);
      }
      run.push_back(sample);
      previous = partner->second;
    }
    fill();
  }
}

// The umbral limits, thin, blue where the central line is total and red
// where it is annular (a segment takes its end point's colour); the limits
// of the partial eclipse thin, dashed and dark grey.
void DrawLimitLines(tGDIext& g, const PathMapLimits& limits) {
  for (const LimitKind k : {kUmbraNorth, kUmbraSouth}) {
    for (const LimitPolyline& polyline : limits.curves[k]) {
      Polyline line(g);
      DrawAcrossDateLine(g, Unwrapped(polyline), line, [&](std::size_t i) {
        g.SetPenColor(TotalAt(limits.phases, polyline[i].t) ? kBlue : kRed);
      });
    }
  }
  g.SetPenColor(kPartialLimitGrey);
  for (const LimitKind k : {kPenumbraNorth, kPenumbraSouth, kSunriseNorth, kSunriseSouth, kSunsetNorth, kSunsetSouth}) {
    for (const LimitPolyline& polyline : limits.curves[k]) {
      DashedPolyline line(g, kDash_mm, kGap_mm);
      DrawAcrossDateLine(g, Unwrapped(polyline), line, [](std::size_t) {});
    }
  }
  g.SetPenColor(kBlack);
}

}  // namespace

void WorldMapPicture(tGDIext& g, const std::vector<std::string>& pathList, const std::string& geoFile,
                     const PathMapLimits* limits) {
  g.Reset();  // white background, as the map wants it
  g.SetPenColor(kBlack);
  g.SetPenWidthMm(0);
  if (limits != nullptr) {
    DrawUmbralBand(g, *limits);
    g.SetPenColor(kBlack);
  }
  DrawOutlines(g, geoFile);
  if (limits != nullptr) DrawLimitLines(g, *limits);
  if (!pathList.empty()) DrawObserver(g, pathList.front());
  DrawCentralLine(g, pathList);
  DrawTitle(g, pathList);
}

std::string OutlineFileProblem(const std::string& geoFile) {
  bool hasPoint = false;
  const FileResult read = ForEachOutlineLine(
      geoFile,
      [&](double lat, double lon) {
        hasPoint = hasPoint || (lon >= kWestLon_deg && lon <= kEastLon_deg && lat >= kSouthLat_deg &&
                                lat <= kNorthLat_deg);
      },
      [] {});
  if (IsMissingFile(read.error)) return "nicht gefunden";
  if (read.error == EISDIR || read.error == EINVAL) return "ist keine gewöhnliche Datei";
  if (read.error == EFBIG) return "ist zu groß (mehr als " + std::to_string(kMaxOutlineBytes >> 20) + " MB)";
  if (!read.ok()) return "kann nicht gelesen werden: " + read.reason;
  if (!hasPoint) return "enthält keine Küstenlinien";
  return {};
}

PictureSetup WorldMapPictureSetup(const std::vector<std::string>& pathList, const std::string& geoFile,
                                const std::string& title, std::shared_ptr<const PathMapLimits> limits) {
  PictureSetup picture;
  picture.paint = [pathList, geoFile, limits = std::move(limits)](tGDIext& g) {
    WorldMapPicture(g, pathList, geoFile, limits.get());
  };
  picture.x1 = kWestLon_deg;
  picture.y1 = kSouthLat_deg;
  picture.x2 = kEastLon_deg;
  picture.y2 = kNorthLat_deg;
  picture.widthMm = kWidth_mm;
  picture.heightMm = kHeight_mm;
  picture.proportional = false;
  picture.caption = "Orbitello32 - " + title;
  return picture;
}

}  // namespace orb
