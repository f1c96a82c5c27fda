// SPDX-License-Identifier: AGPL-3.0-or-later
// The world map of a solar eclipse: coastlines, the observer's place, the
// central line and the title, drawn through tGDIext.
#include "eclipses/WorldMapPicture.h"

#include <cctype>
#include <cmath>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/SafeFile.h"
#include "eclipses/OutlineFile.h"

namespace orb {
namespace {

constexpr Color kBlue = RGBColor(0, 0, 255);
constexpr Color kRed = RGBColor(255, 0, 0);

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

}  // namespace

void WorldMapPicture(tGDIext& g, const std::vector<std::string>& pathList, const std::string& geoFile) {
  g.Reset();  // white background, as the map wants it
  g.SetPenColor(kBlack);
  g.SetPenWidthMm(0);
  DrawOutlines(g, geoFile);
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
                                const std::string& title) {
  PictureSetup picture;
  picture.paint = [pathList, geoFile](tGDIext& g) { WorldMapPicture(g, pathList, geoFile); };
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
