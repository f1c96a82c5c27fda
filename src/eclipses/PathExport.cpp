// SPDX-License-Identifier: AGPL-3.0-or-later
// The eclipse path as GeoJSON or KML: the features, the date line, the two
// texts and the file.
#include "eclipses/PathExport.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "core/Constants.h"
#include "core/SafeFile.h"
#include "core/TimeScales.h"
#include "eclipses/PathLimits.h"
#include "eclipses/PathReport.h"
#include "eclipses/SolarEclipse.h"

namespace orb {
namespace {

// The global type words of the phase codes 0 .. 6.
constexpr std::array<const char*, 7> kTypeWords = {
    "none", "partial", "non-central annular", "non-central total", "annular", "total", "hybrid",
};

const char* TypeWord(SolarPhaseCode code) {
  return code >= 0 && code <= kHybridEclipse ? kTypeWords[static_cast<std::size_t>(code)] : kTypeWords[0];
}

// The limit curves: kind, German name, and whether they belong to the
// umbral path (else to the partial eclipse).
struct LimitInfo {
  LimitKind limit;
  const char* kind;
  const char* name;
  bool umbral;
};
constexpr std::array<LimitInfo, kLimitKinds> kLimits = {{
    {kUmbraNorth, "northern limit", "Kernschatten Nordgrenze", true},
    {kUmbraSouth, "southern limit", "Kernschatten Südgrenze", true},
    {kPenumbraNorth, "partial zone northern limit", "Halbschatten Nordgrenze", false},
    {kPenumbraSouth, "partial zone southern limit", "Halbschatten Südgrenze", false},
    {kSunriseNorth, "sunrise limit north", "Sonnenaufgangskurve Nord", false},
    {kSunriseSouth, "sunrise limit south", "Sonnenaufgangskurve Süd", false},
    {kSunsetNorth, "sunset limit north", "Sonnenuntergangskurve Nord", false},
    {kSunsetSouth, "sunset limit south", "Sonnenuntergangskurve Süd", false},
}};

GeoPoint EastPoint(Extended t, Extended lonWest_deg, Extended lat_deg) {
  Extended lon = -lonWest_deg;
  if (lon > 180) lon -= 360;
  if (lon < -180) lon += 360;
  return {t, lon, lat_deg};
}

// The longitude of `lon` moved by whole turns to within 180 degrees of
// `reference`.
Extended Unwrapped(Extended lon, Extended reference) {
  while (lon - reference > 180) lon -= 360;
  while (lon - reference < -180) lon += 360;
  return lon;
}

void SetSpan(PathFeature& f) {
  bool first = true;
  for (const GeoLine& part : f.parts) {
    for (const GeoPoint& p : part) {
      if (first || p.t < f.start) f.start = p.t;
      if (first || p.t > f.end) f.end = p.t;
      first = false;
    }
  }
}

// Adds `line` split at the date line; a point without finite coordinates
// (none is expected) ends a line rather than reach the file as "nan".
void AddLines(std::vector<GeoLine>& parts, const GeoLine& line) {
  GeoLine finite;
  const auto flush = [&] {
    for (GeoLine& piece : SplitAtDateLine(finite)) parts.push_back(std::move(piece));
    finite.clear();
  };
  for (const GeoPoint& p : line) {
    if (std::isfinite(p.lon_deg) && std::isfinite(p.lat_deg) && std::isfinite(p.t)) {
      finite.push_back(p);
    } else {
      flush();
    }
  }
  flush();
}

// --- the central zone -------------------------------------------------------

struct PlanePoint {
  Extended x, y;
};

// Whether the segments ab and cd cross or touch.
bool SegmentsMeet(const PlanePoint& a, const PlanePoint& b, const PlanePoint& c, const PlanePoint& d) {
  const auto cross = [](const PlanePoint& o, const PlanePoint& p, const PlanePoint& q) {
    return (p.x - o.x) * (q.y - o.y) - (p.y - o.y) * (q.x - o.x);
  };
  const Extended d1 = cross(c, d, a), d2 = cross(c, d, b), d3 = cross(a, b, c), d4 = cross(a, b, d);
  if (((d1 > 0 && d2 < 0) || (d1 < 0 && d2 > 0)) && ((d3 > 0 && d4 < 0) || (d3 < 0 && d4 > 0))) return true;
  const auto within = [](const PlanePoint& p, const PlanePoint& q, const PlanePoint& r) {
    return std::min(p.x, q.x) <= r.x && r.x <= std::max(p.x, q.x) && std::min(p.y, q.y) <= r.y &&
           r.y <= std::max(p.y, q.y);
  };
  return (d1 == 0 && within(c, d, a)) || (d2 == 0 && within(c, d, b)) || (d3 == 0 && within(a, b, c)) ||
         (d4 == 0 && within(a, b, d));
}

// Whether the closed ring (last point not repeated) crosses itself.
bool SelfCrossing(const GeoLine& ring) {
  const std::size_t n = ring.size();
  const auto at = [&](std::size_t i) { return PlanePoint{ring[i % n].lon_deg, ring[i % n].lat_deg}; };
  for (std::size_t i = 0; i < n; ++i) {
    for (std::size_t j = i + 2; j < n; ++j) {
      if (i == 0 && j == n - 1) continue;  // neighbours through the closing point
      if (SegmentsMeet(at(i), at(i + 1), at(j), at(j + 1))) return true;
    }
  }
  return false;
}

// The ring clipped to longitudes on the side of `x` given by `keepAbove`
// (Sutherland-Hodgman); the points on the cut get interpolated instants.
GeoLine ClipRing(const GeoLine& ring, Extended x, bool keepAbove) {
  GeoLine out;
  const auto inside = [&](const GeoPoint& p) { return keepAbove ? p.lon_deg >= x : p.lon_deg <= x; };
  for (std::size_t i = 0; i < ring.size(); ++i) {
    const GeoPoint& a = ring[i];
    const GeoPoint& b = ring[(i + 1) % ring.size()];
    if (inside(a)) out.push_back(a);
    if (inside(a) != inside(b)) {
      const Extended f = (x - a.lon_deg) / (b.lon_deg - a.lon_deg);
      out.push_back({a.t + f * (b.t - a.t), x, a.lat_deg + f * (b.lat_deg - a.lat_deg)});
    }
  }
  return out;
}

// How often the ring crosses the meridian at unwrapped longitude `x`.
int Crossings(const GeoLine& ring, Extended x) {
  int n = 0;
  for (std::size_t i = 0; i < ring.size(); ++i) {
    const GeoPoint& a = ring[i];
    const GeoPoint& b = ring[(i + 1) % ring.size()];
    if ((a.lon_deg < x) != (b.lon_deg < x)) ++n;
  }
  return n;
}

// The polygon between the two umbral limits, as closed counter-clockwise
// rings in -180 .. 180; empty when it cannot be formed soundly.
std::vector<GeoLine> CentralZone(const LimitPolyline& north, const LimitPolyline& south) {
  if (north.size() < 2 || south.size() < 2) return {};
  GeoLine ring;
  for (const LimitCurvePoint& p : south) ring.push_back(EastPoint(p.t, p.lonWest_deg, p.lat_deg));
  for (auto p = north.rbegin(); p != north.rend(); ++p) ring.push_back(EastPoint(p->t, p->lonWest_deg, p->lat_deg));
  // Continuous longitudes along the ring; a ring round a pole does not come
  // back to its first longitude.
  for (std::size_t i = 1; i < ring.size(); ++i) ring[i].lon_deg = Unwrapped(ring[i].lon_deg, ring[i - 1].lon_deg);
  if (std::fabs(Unwrapped(ring.front().lon_deg, ring.back().lon_deg) - ring.front().lon_deg) > 1e-9L) return {};
  if (SelfCrossing(ring)) return {};
  Extended area2 = 0;
  for (std::size_t i = 0; i < ring.size(); ++i) {
    const GeoPoint& a = ring[i];
    const GeoPoint& b = ring[(i + 1) % ring.size()];
    area2 += a.lon_deg * b.lat_deg - b.lon_deg * a.lat_deg;
  }
  if (area2 < 0) std::reverse(ring.begin(), ring.end());
  // The strips of 360 degrees centred on Greenwich that the ring reaches.
  Extended lo = ring.front().lon_deg, hi = lo;
  for (const GeoPoint& p : ring) {
    lo = std::min(lo, p.lon_deg);
    hi = std::max(hi, p.lon_deg);
  }
  if (hi - lo >= 360) return {};
  std::vector<GeoLine> rings;
  for (Extended k = std::floor((lo + 180) / 360); k * 360 - 180 < hi; ++k) {
    const Extended west = k * 360 - 180, east = west + 360;
    if (Crossings(ring, west) > 2 || Crossings(ring, east) > 2) return {};
    GeoLine piece = ClipRing(ClipRing(ring, west, true), east, false);
    if (piece.size() < 3) continue;
    for (GeoPoint& p : piece) p.lon_deg -= k * 360;
    piece.push_back(piece.front());
    rings.push_back(std::move(piece));
  }
  return rings;
}

// --- greatest eclipse ---------------------------------------------------------

// The distance of the shadow axis from the Earth's centre at `t` (Earth
// radii).
Extended AxisDistance(const SolarEclipseContext& c, Extended t) {
  const FittedBodies b = FittedBodiesAt(c, t);
  Vector3 d{b.sun.x - b.moon.x, b.sun.y - b.moon.y, b.sun.z - b.moon.z};
  const Extended length = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
  d = {d.x / length, d.y / length, d.z / length};
  const Extended along = b.moon.x * d.x + b.moon.y * d.y + b.moon.z * d.z;
  const Vector3 off{b.moon.x - along * d.x, b.moon.y - along * d.y, b.moon.z - along * d.z};
  return std::sqrt(off.x * off.x + off.y * off.y + off.z * off.z);
}

// The instant of the least distance of the shadow axis from the Earth's
// centre within the tabulated half day: the least of the minute samples,
// refined by golden section to about 0.01 s.
std::optional<Extended> GreatestEclipse(const SolarEclipseContext& c) {
  const Extended minute = 1.0L / kMinutesPerCentury;
  const Extended deltaT = c.deltaT_s / kSecondsPerCentury;
  const Extended last = c.intervalEnd - deltaT;
  Extended best = c.tableStart, bestDistance = AxisDistance(c, best);
  for (Extended t = c.tableStart + minute; t <= last; t += minute) {
    const Extended d = AxisDistance(c, t);
    if (d < bestDistance) {
      best = t;
      bestDistance = d;
    }
  }
  if (!std::isfinite(bestDistance)) return std::nullopt;
  Extended a = std::max(c.tableStart, best - minute), b = std::min(last, best + minute);
  const Extended g = (std::sqrt(5.0L) - 1) / 2;
  Extended x1 = b - g * (b - a), x2 = a + g * (b - a);
  Extended f1 = AxisDistance(c, x1), f2 = AxisDistance(c, x2);
  while (b - a > 1e-7L * minute) {
    if (f1 < f2) {
      b = x2;
      x2 = x1;
      f2 = f1;
      x1 = b - g * (b - a);
      f1 = AxisDistance(c, x1);
    } else {
      a = x1;
      x1 = x2;
      f1 = f2;
      x2 = a + g * (b - a);
      f2 = AxisDistance(c, x2);
    }
  }
  return (a + b) / 2;
}

// --- texts --------------------------------------------------------------------

// A coordinate with five decimals, trailing zeros dropped, no "-0".
std::string Coordinate(Extended v) {
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%.5f", static_cast<double>(v));
  std::string s = buffer;
  while (s.back() == '0') s.pop_back();
  if (s.back() == '.') s.pop_back();
  if (s == "-0") s = "0";
  return s;
}

std::string JsonString(const std::string& s) {
  std::string out = "\"";
  for (const char ch : s) {
    const unsigned char u = static_cast<unsigned char>(ch);
    if (ch == '"' || ch == '\\') {
      out += '\\';
      out += ch;
    } else if (u < 0x20) {
      char buffer[8];
      std::snprintf(buffer, sizeof buffer, "\\u%04x", u);
      out += buffer;
    } else {
      out += ch;
    }
  }
  return out + "\"";
}

std::string XmlText(const std::string& s) {
  std::string out;
  for (const char ch : s) {
    switch (ch) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&apos;"; break;
      default:
        // Control characters other than tab and line breaks are not
        // allowed in XML 1.0.
        if (static_cast<unsigned char>(ch) >= 0x20 || ch == '\t' || ch == '\n' || ch == '\r') out += ch;
    }
  }
  return out;
}

std::string JsonPosition(const GeoPoint& p) { return "[" + Coordinate(p.lon_deg) + "," + Coordinate(p.lat_deg) + "]"; }

std::string JsonPositions(const GeoLine& line) {
  std::string s = "[";
  for (std::size_t i = 0; i < line.size(); ++i) s += (i ? "," : "") + JsonPosition(line[i]);
  return s + "]";
}

std::string JsonGeometry(const PathFeature& f) {
  switch (f.shape) {
    case GeoShape::Point:
      return "{\"type\":\"Point\",\"coordinates\":" + JsonPosition(f.parts.front().front()) + "}";
    case GeoShape::Polygon: {
      if (f.parts.size() == 1) return "{\"type\":\"Polygon\",\"coordinates\":[" + JsonPositions(f.parts[0]) + "]}";
      std::string s = "{\"type\":\"MultiPolygon\",\"coordinates\":[";
      for (std::size_t i = 0; i < f.parts.size(); ++i) s += (i ? ",[" : "[") + JsonPositions(f.parts[i]) + "]";
      return s + "]}";
    }
    case GeoShape::Lines:
    default: {
      if (f.parts.size() == 1) return "{\"type\":\"LineString\",\"coordinates\":" + JsonPositions(f.parts[0]) + "}";
      std::string s = "{\"type\":\"MultiLineString\",\"coordinates\":[";
      for (std::size_t i = 0; i < f.parts.size(); ++i) s += (i ? ",\n" : "\n") + JsonPositions(f.parts[i]);
      return s + "]}";
    }
  }
}

// The properties every feature carries, as (key, value) pairs.
std::vector<std::pair<std::string, std::string>> Properties(const PathExportData& data, const PathFeature& f) {
  std::vector<std::pair<std::string, std::string>> p = {
      {"name", f.name},   {"title", data.title},      {"saros", data.saros},
      {"kind", f.kind},   {"phase", f.phase},         {"eclipseType", data.type},
      {"start", IsoInstant(f.start)}, {"end", IsoInstant(f.end)},
      {"conjunction", IsoInstant(data.conjunction)},
  };
  if (data.greatest) p.emplace_back("greatestEclipse", IsoInstant(*data.greatest));
  return p;
}

// KML colours (aabbggrr) and widths of the styles.
struct KmlStyle {
  const char* id;
  const char* line;
  const char* width;
  const char* fill;
};
constexpr std::array<KmlStyle, 4> kKmlStyles = {{
    {"total", "ffff0000", "3", "40ff0000"},    // blue
    {"annular", "ff0000ff", "3", "400000ff"},  // red
    {"hybrid", "ffff00ff", "3", "40ff00ff"},   // magenta: both colours at once
    {"partial", "a0808080", "1.5", "00808080"},  // thin, faint grey (KML lines have no dash pattern)
}};

const char* KmlStyleOf(const std::string& phase) {
  for (const KmlStyle& s : kKmlStyles) {
    if (phase == s.id) return s.id;
  }
  return "partial";
}

std::string KmlCoordinates(const GeoLine& line) {
  std::string s = "<coordinates>";
  for (std::size_t i = 0; i < line.size(); ++i) {
    s += (i ? " " : "") + Coordinate(line[i].lon_deg) + "," + Coordinate(line[i].lat_deg) + ",0";
  }
  return s + "</coordinates>";
}

std::string KmlGeometry(const PathFeature& f) {
  if (f.shape == GeoShape::Point) return "<Point>" + KmlCoordinates(f.parts.front()) + "</Point>";
  std::string parts;
  for (const GeoLine& part : f.parts) {
    if (f.shape == GeoShape::Polygon) {
      parts += "<Polygon><tessellate>1</tessellate><outerBoundaryIs><LinearRing>" + KmlCoordinates(part) +
               "</LinearRing></outerBoundaryIs></Polygon>\n";
    } else {
      parts += "<LineString><tessellate>1</tessellate>" + KmlCoordinates(part) + "</LineString>\n";
    }
  }
  return f.parts.size() == 1 ? parts : "<MultiGeometry>\n" + parts + "</MultiGeometry>\n";
}

std::string Lower(std::string s) {
  for (char& ch : s) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  return s;
}

bool EndsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

std::vector<GeoLine> SplitAtDateLine(const GeoLine& line) {
  std::vector<GeoLine> lines;
  GeoLine current;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (i > 0 && std::fabs(line[i].lon_deg - line[i - 1].lon_deg) > 180) {
      const GeoPoint& a = line[i - 1];
      const GeoPoint& b = line[i];
      const Extended side = a.lon_deg > 0 ? 180 : -180;
      const Extended f = (side - a.lon_deg) / (Unwrapped(b.lon_deg, a.lon_deg) - a.lon_deg);
      const Extended t = a.t + f * (b.t - a.t), lat = a.lat_deg + f * (b.lat_deg - a.lat_deg);
      if (a.lon_deg != side) current.push_back({t, side, lat});
      if (current.size() >= 2) lines.push_back(std::move(current));
      current.clear();
      if (b.lon_deg != -side) current.push_back({t, -side, lat});
    }
    current.push_back(line[i]);
  }
  if (current.size() >= 2) lines.push_back(std::move(current));
  return lines;
}

std::string IsoInstant(Extended t) {
  // Seconds since 1970-01-01T00:00:00 (JD 2440587.5), then the civil date of
  // the day count (proleptic Gregorian, H. Hinnant's days-to-civil).
  const Extended seconds = std::round((JDFromCenturies(t) - 2440587.5L) * kSecondsPerDay);
  if (!std::isfinite(seconds) || std::fabs(seconds) > 1e17L) return "";
  const auto total = static_cast<int64_t>(seconds);
  int64_t days = total / 86400, second = total % 86400;
  if (second < 0) {
    second += 86400;
    --days;
  }
  const int64_t z = days + 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const int64_t day = doy - (153 * mp + 2) / 5 + 1;
  const int64_t month = mp < 10 ? mp + 3 : mp - 9;
  const int64_t year = yoe + era * 400 + (month <= 2 ? 1 : 0);
  char buffer[64];
  const bool plain = year >= 0 && year <= 9999;
  std::snprintf(buffer, sizeof buffer, plain ? "%04lld-%02lld-%02lldT%02lld:%02lld:%02lldZ"
                                             : "%+05lld-%02lld-%02lldT%02lld:%02lld:%02lldZ",
                static_cast<long long>(year), static_cast<long long>(month), static_cast<long long>(day),
                static_cast<long long>(second / 3600), static_cast<long long>(second / 60 % 60),
                static_cast<long long>(second % 60));
  return buffer;
}

PathExportData BuildPathExport(const SolarEclipseContext& c, const std::string& title, const std::string& saros,
                               Extended limitStep_cy) {
  PathExportData data;
  data.title = title;
  data.saros = saros;
  data.conjunction = c.conjunction;
  const SolarPhaseCode type = GlobalEclipseType(c);
  data.type = TypeWord(type);
  data.greatest = GreatestEclipse(c);
  // The umbral limits of a non-central eclipse bound the umbra's part of the
  // Earth as well.
  const std::string umbralPhase = type == kNonCentralAnnular ? "annular"
                                  : type == kNonCentralTotal ? "total"
                                  : type >= kAnnularEclipse  ? TypeWord(type)
                                                             : "partial";

  // The central line, by phase: each run of equal central codes a line.
  PathFeature central[2];  // annular, total
  GeoLine run;
  SolarPhaseCode runCode = kNoEclipse;
  const auto endRun = [&] {
    if (IsCentral(runCode)) AddLines(central[runCode == kTotalEclipse ? 1 : 0].parts, run);
    run.clear();
  };
  for (const PathSample& sample : SampledCentralLine(c)) {
    if (sample.code != runCode) endRun();
    runCode = sample.code;
    if (!IsCentral(sample.code)) continue;
    const CentralPoint p = CentralLinePoint(c, sample.t);
    run.push_back(EastPoint(sample.t, p.lonWest_deg, p.lat_deg));
  }
  endRun();
  for (int i = 1; i >= 0; --i) {
    PathFeature& f = central[i];
    if (f.parts.empty()) continue;
    f.kind = "central line";
    f.name = "Zentrallinie";
    f.phase = i == 1 ? "total" : "annular";
    SetSpan(f);
    data.features.push_back(std::move(f));
  }

  const PathLimitCurves curves = SampledPathLimits(c, limitStep_cy);
  for (const LimitInfo& info : kLimits) {
    PathFeature f;
    f.kind = info.kind;
    f.name = info.name;
    f.phase = info.umbral ? umbralPhase : "partial";
    for (const LimitPolyline& polyline : curves[info.limit]) {
      GeoLine line;
      for (const LimitCurvePoint& p : polyline) line.push_back(EastPoint(p.t, p.lonWest_deg, p.lat_deg));
      AddLines(f.parts, line);
    }
    if (f.parts.empty()) continue;
    SetSpan(f);
    data.features.push_back(std::move(f));
  }

  if (curves[kUmbraNorth].size() == 1 && curves[kUmbraSouth].size() == 1) {
    PathFeature zone;
    zone.kind = "central zone";
    zone.name = "Zentralzone";
    zone.phase = umbralPhase;
    zone.shape = GeoShape::Polygon;
    zone.parts = CentralZone(curves[kUmbraNorth][0], curves[kUmbraSouth][0]);
    if (!zone.parts.empty()) {
      SetSpan(zone);
      data.features.push_back(std::move(zone));
    }
  }

  if (data.greatest) {
    const CentralPoint p = CentralLinePoint(c, *data.greatest);
    if (IsCentral(p.code)) {
      PathFeature point;
      point.kind = "greatest eclipse";
      point.name = "Größte Finsternis";
      point.phase = TypeWord(p.code);
      point.shape = GeoShape::Point;
      point.parts = {{EastPoint(*data.greatest, p.lonWest_deg, p.lat_deg)}};
      SetSpan(point);
      data.features.push_back(std::move(point));
    }
  }
  return data;
}

std::string PathGeoJson(const PathExportData& data) {
  std::string s = "{\"type\":\"FeatureCollection\",\"name\":" + JsonString(data.title) + ",\n\"features\":[";
  for (std::size_t i = 0; i < data.features.size(); ++i) {
    const PathFeature& f = data.features[i];
    s += i ? ",\n" : "\n";
    s += "{\"type\":\"Feature\",\"properties\":{";
    const auto properties = Properties(data, f);
    for (std::size_t k = 0; k < properties.size(); ++k) {
      s += (k ? "," : "") + JsonString(properties[k].first) + ":" + JsonString(properties[k].second);
    }
    s += "},\n\"geometry\":" + JsonGeometry(f) + "}";
  }
  return s + "\n]}\n";
}

std::string PathKml(const PathExportData& data) {
  std::string s =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n"
      "<Document>\n"
      "<name>" + XmlText(data.title) + "</name>\n"
      "<description>" + XmlText(data.saros) + "</description>\n";
  for (const KmlStyle& style : kKmlStyles) {
    s += "<Style id=\"" + std::string(style.id) + "\"><LineStyle><color>" + style.line + "</color><width>" +
         style.width + "</width></LineStyle><PolyStyle><color>" + style.fill +
         "</color></PolyStyle></Style>\n";
  }
  for (const PathFeature& f : data.features) {
    s += "<Placemark>\n<name>" + XmlText(f.name) + "</name>\n";
    s += "<TimeSpan><begin>" + IsoInstant(f.start) + "</begin><end>" + IsoInstant(f.end) + "</end></TimeSpan>\n";
    s += "<styleUrl>#" + std::string(KmlStyleOf(f.phase)) + "</styleUrl>\n<ExtendedData>\n";
    for (const auto& [key, value] : Properties(data, f)) {
      if (key == "name") continue;
      s += "<Data name=\"" + XmlText(key) + "\"><value>" + XmlText(value) + "</value></Data>\n";
    }
    s += "</ExtendedData>\n" + KmlGeometry(f) + "</Placemark>\n";
  }
  return s + "</Document>\n</kml>\n";
}

PathExportFormat PathExportFormatOf(const std::string& path) {
  const std::string lower = Lower(path);
  const std::size_t slash = lower.find_last_of('/');
  const std::string name = slash == std::string::npos ? lower : lower.substr(slash + 1);
  if (EndsWith(name, ".geojson") && name.size() > 8) return PathExportFormat::GeoJson;
  if (EndsWith(name, ".kml") && name.size() > 4) return PathExportFormat::Kml;
  return PathExportFormat::Unknown;
}

bool WritePathExport(const PathExportData& data, const std::string& path, std::string& error) {
  const PathExportFormat format = PathExportFormatOf(path);
  if (format == PathExportFormat::Unknown) {
    error = "Die Datei " + path + " hat weder die Endung .geojson noch .kml.";
    return false;
  }
  const std::string text = format == PathExportFormat::GeoJson ? PathGeoJson(data) : PathKml(data);
  const FileResult result = ReplaceFileContents(path, text);
  if (!result.ok()) {
    error = "Datei " + path + " konnte nicht geschrieben werden: " + result.reason + ".";
    return false;
  }
  error.clear();
  return true;
}

bool ExportEclipsePath(const SolarEclipseContext& c, const std::string& title, const std::string& saros,
                       const std::string& path, std::string& error) {
  if (PathExportFormatOf(path) == PathExportFormat::Unknown) {
    error = "Die Datei " + path + " hat weder die Endung .geojson noch .kml.";
    return false;
  }
  return WritePathExport(BuildPathExport(c, title, saros), path, error);
}

bool ExportEclipsePath(const PathReport& report, const std::string& path, std::string& error) {
  const std::vector<std::string>& list = report.PathList();
  if (list.size() < 3) {
    error = "Es ist keine Sonnenfinsternis mit Zentrallinienbild berechnet.";
    return false;
  }
  return ExportEclipsePath(report.Context(), list[list.size() - 2], list.back(), path, error);
}

std::string NumberedExportPath(const std::string& path, int number) {
  const std::size_t slash = path.find_last_of('/');
  const std::size_t dot = path.find_last_of('.');
  const std::string suffix = "-" + std::to_string(number);
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash) || dot == slash + 1 ||
      (slash == std::string::npos && dot == 0)) {
    return path + suffix;
  }
  return path.substr(0, dot) + suffix + path.substr(dot);
}

bool PathExportCollector::AskStep(const TSettings& s, Host& host, bool picture) {
  return inner_.AskStep(s, host, picture);
}

bool PathExportCollector::Report(const TSettings& s, TRunContext& run, Host& host, bool picture, int direction) {
  const bool printed = inner_.Report(s, run, host, picture, direction);
  if (printed) {
    const SolarEclipseContext& c = inner_.Context();
    eclipses_.push_back({c, SolarEclipseTitle(c, GlobalEclipseType(c), s, run.Zeitzone),
                         SolarSarosLine(JDFromCenturies(c.conjunction), s)});
  }
  return printed;
}

}  // namespace orb
