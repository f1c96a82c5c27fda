// SPDX-License-Identifier: AGPL-3.0-or-later
#include "tables/ArbitraryPoint.h"

#include <algorithm>
#include <cmath>

#include "core/Constants.h"
#include "core/NumText.h"
#include "core/TimeScales.h"
#include "engine/Frames.h"
#include "settings/NumberReader.h"

namespace orb {
namespace {

// Minutes and seconds per degree (or hour).
constexpr Extended kMinutesPerUnit = 60;
constexpr Extended kSecondsPerUnit = 3600;
// Degrees per hour of right ascension.
constexpr Extended kDegreesPerHour = 15;

Extended WrapTwoPi(Extended a) {
  const Extended w = std::fmod(a, kTwoPi);
  return w < 0 ? w + kTwoPi : w;
}

}  // namespace

bool ContainsNumber(const std::string& text) {
  return std::any_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::optional<Extended> ReadCoordinate(const std::string& text) {
  if (!ContainsNumber(text)) return std::nullopt;
  std::string rest = text;
  const Extended d = ReadNumber(rest);
  const Extended m = ReadNumber(rest);
  const Extended s = ReadNumber(rest);
  // signbit: "-0" is read as negative zero and keeps its sign.
  const Extended value =
      std::signbit(d) ? d - m / kMinutesPerUnit - s / kSecondsPerUnit : d + m / kMinutesPerUnit + s / kSecondsPerUnit;
  if (!std::isfinite(value)) return std::nullopt;
  return value;
}

std::optional<Extended> EquinoxJD(const std::string& yearText, bool ofDate, Extended startJD) {
  if (ofDate) return startJD;
  if (!ContainsNumber(yearText)) return std::nullopt;
  const Extended jd = EpochOfYear(ParseNumber(yearText));
  if (!std::isfinite(jd)) return std::nullopt;
  return jd;
}

std::optional<ArbitraryPoint> ConvertArbitraryPoint(const ArbitraryInput& input, const TOrt& place, Extended jd) {
  const std::optional<Extended> first = ReadCoordinate(input.first);
  const std::optional<Extended> second = ReadCoordinate(input.second);
  const std::optional<Extended> equinox = EquinoxJD(input.equinoxYear, input.equinoxOfDate, jd);
  if (!first || !second || !equinox) return std::nullopt;

  ArbitraryPoint p;
  p.equinoxJD = *equinox;
  const Extended a = *first * kDegToRad * (input.frame == InputFrame::Equatorial ? kDegreesPerHour : 1);
  const Extended b = *second * kDegToRad;
  const Extended phi = place.Breite * kDegToRad;
  const bool precess = p.equinoxJD != jd;
  switch (input.frame) {
    case InputFrame::Equatorial:
    case InputFrame::Ecliptic: {
      if (input.frame == InputFrame::Equatorial) {
        p.ra_rad = a, p.dec_rad = b;
        EquatorialToEcliptic(p.equinoxJD, p.dec_rad, p.ra_rad, p.lon_rad, p.lat_rad);
      } else {
        p.lon_rad = a, p.lat_rad = b;
        EclipticToEquatorial(p.equinoxJD, p.lat_rad, p.lon_rad, p.ra_rad, p.dec_rad);
      }
      // The horizon belongs to the equator of the instant.
      Extended ra = p.ra_rad, dec = p.dec_rad;
      if (precess) PrecessEquatorial(ra, dec, jd, p.equinoxJD);
      EquatorialToHorizontal(phi, dec, HourAngle(place.Laenge, jd, ra), p.az_rad, p.alt_rad);
      break;
    }
    case InputFrame::Horizontal: {
      p.az_rad = a, p.alt_rad = b;
      Extended ha = 0;
      HorizontalToEquatorial(p.alt_rad, p.az_rad, phi, ha, p.dec_rad);
      const Extended lst_rad = static_cast<Extended>(LocalSiderealTime(place.Laenge, jd)) * kPi / 12;
      p.ra_rad = lst_rad - ha;
      if (precess) PrecessEquatorial(p.ra_rad, p.dec_rad, p.equinoxJD, jd);
      EquatorialToEcliptic(p.equinoxJD, p.dec_rad, p.ra_rad, p.lon_rad, p.lat_rad);
      break;
    }
  }
  p.ra_rad = WrapTwoPi(p.ra_rad);
  p.lon_rad = WrapTwoPi(p.lon_rad);
  p.az_rad = WrapTwoPi(p.az_rad);
  return p;
}

ArbitraryCaptions ResultCaptions(const ArbitraryPoint& p, const AngleStyle& style) {
  return {
      "&Äquatorial: " + HoursAngleText(p.ra_rad, style) + "  " + LatitudeText(p.dec_rad, style),
      "&Ekliptikal: " + LongitudeText(p.lon_rad, style) + "  " + LatitudeText(p.lat_rad, style),
      "&Azimutal: " + LongitudeText(p.az_rad, style) + "  " + LatitudeText(p.alt_rad, style),
  };
}

std::string WithoutAccessKeys(const std::string& caption) {
  std::string text;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&' && ++i == caption.size()) break;
    text += caption[i];
  }
  return text;
}

std::string ComputationPlaceText(const TSettings& s) {
  return "Datum: " + DateTimeText(s.Startdat, s.Zeitzone, DateStyleOf(s)) + "\r\n" + "Ort" + ": " + s.Ort.Name;
}

ArbitraryCoordinates TableCoordinates(const ArbitraryPoint& p) { return {p.lon_rad, p.lat_rad, p.equinoxJD}; }

std::string ArbitraryTitleOf(const std::string& name) {
  const std::string title = TrimBlanks(name);
  return title.empty() ? TSettings{}.ArbitraryTitle : title;
}

}  // namespace orb
