// SPDX-License-Identifier: AGPL-3.0-or-later
#include "tables/TableDriver.h"

#include <cmath>
#include <cstdlib>

#include "core/KernelReport.h"
#include "core/NumText.h"
#include "core/TimeScales.h"
#include "engine/ChebyshevFit.h"
#include "engine/CometOrbit.h"
#include "engine/Frames.h"
#include "engine/LowPrecision.h"
#include "engine/PhysEphemeris.h"
#include "engine/PlanetaryTheory.h"
#include "engine/RiseSet.h"
#include "settings/SettingsLoad.h"
#include "tables/EphemerisLimits.h"
#include "tables/QuickRiseSet.h"
#include "tables/TableFormat.h"
#include "tables/TableText.h"

namespace orb {
namespace {

bool IsPlanet(int32_t kind) { return kind >= kMercury && kind <= kPluto; }

Extended Wrap2Pi(Extended a) {
  Extended w = std::fmod(a, kTwoPi);
  if (w < 0) w += kTwoPi;
  return w;
}

using Row = TableRow;

// Sun, Moon and planets from the planetary theory at TT, with the three
// correction switches of the settings.
void TheoryPosition(const TSettings& s, Extended tt, Row& row) {
  const theory::Corrections corrections{s.Lichtlaufzeit, s.Aberration, s.Nutation};
  const double tt_d = static_cast<double>(tt);
  // Columns that are not selected cost nothing: magnitude and diameter come
  // from the dearest part of the theory's call, elongation from the Sun's
  // place, and r (with R) serves only the planets' phase angle.
  const TTableColumns& c = s.TableColumns;
  const bool phenomena = c.Helligkeit || c.Durchmesser;
  const bool phaseAngle = c.PhysEph && IsPlanet(s.Objekt);
  const bool elongation = (c.Elongation && s.Objekt >= kMercury) || phaseAngle;
  const theory::BodyPosition p = theory::Position(tt_d, theory::TableBodyCode(s.Objekt), corrections,
                                                  {phenomena, elongation, phaseAngle});
  // Quantities not asked for stay 0 (no column shows them).
  const auto asked = [](bool wanted, double value) { return wanted ? static_cast<Extended>(value) : 0; };
  row.ra = p.ra_rad, row.dec = p.dec_rad, row.delta = p.delta_au, row.lon = p.lon_rad, row.lat = p.lat_rad;
  row.r = asked(phaseAngle, p.r_au), row.elong = asked(elongation, p.elong_rad);
  row.mag = asked(phenomena, p.mag), row.diam = asked(phenomena, p.diam_arcsec);
  if (s.Objekt == kMoon) {
    // Phase value: 0 at new moon, +-1 at full moon, positive while waxing.
    row.P = PhaseValueOfLongitudes(row.lon, SunLongitudeShort(tt));
    row.moonPhaseAngle = ((row.P >= 0 ? 1 : -1) - row.P) * kPi;
  }
  if (phaseAngle) row.R = theory::Position(tt_d, theory::kCodeSun, corrections).delta_au;
}

// The current comet or minor planet from its orbit at TT: ecliptic place
// in the equinox of its elements, precessed to the date; with Aberration the
// annual aberration (the Sun's longitude of date from the theory); equatorial
// coordinates of the date; with Nutation the nutation in longitude and in
// equatorial coordinates.
void SmallBodyRow(const TSettings& s, Extended jd, Extended tt, Row& row) {
  const CometBahnTyp& el = s.CurrentElements;
  const SmallBodyPlace p = SmallBodyPosition(el, tt, s.Lichtlaufzeit);
  if (!std::isfinite(p.lon) || !std::isfinite(p.lat)) {
    // No place (the theory has no Sun for the date): the cells show their
    // placeholders, no frame routine sees the NaN.
    row.lon = row.lat = row.ra = row.dec = row.delta = row.elong = row.mag = std::nanl("");
    return;
  }
  row.lon = p.lon, row.lat = p.lat, row.delta = p.delta, row.r = p.r, row.R = p.R;
  row.elong = p.elong, row.mag = p.mag;
  PrecessEcliptic(row.lon, row.lat, jd, EpochOfYear(el.equinox));
  if (s.Aberration) {
    const double tt_d = static_cast<double>(tt);
    const double sunLon =
        theory::Position(tt_d, theory::kCodeSun, {.lightTime = true, .aberration = false, .nutation = true}).lon_rad;
    double lon = static_cast<double>(row.lon), lat = static_cast<double>(row.lat);
    theory::_aberrat_aux(tt_d, &lon, &lat, sunLon, 0);
    row.lon = lon, row.lat = lat;
  }
  EclipticToEquatorial(jd, row.lat, row.lon, row.ra, row.dec);
  if (s.Nutation) {
    NutationLongitude(row.lon, jd);
    NutationEquatorial(row.ra, row.dec, jd);
  }
}

// The fixed point of the coordinate dialog, precessed to the row's instant.
void ArbitraryPosition(Extended jd, const ArbitraryCoordinates& a, Row& row) {
  row.lon = a.lon_rad;
  row.lat = a.lat_rad;
  if (a.epochJD != jd) PrecessEcliptic(row.lon, row.lat, jd, a.epochJD);
  EclipticToEquatorial(jd, row.lat, row.lon, row.ra, row.dec);
}

// Topocentric place, output copies in the chosen equinox, hour angle and
// horizontal coordinates.
void RowFrames(const TSettings& s, Extended jd, Row& row) {
  const TTableColumns& c = s.TableColumns;
  // A fixed point has no distance: it is infinitely far and has no parallax.
  if (s.MondTopozentrisch && row.delta > 0) {
    TopocentricCorrection(row.ra, row.dec, row.delta, s.Ort.Breite, s.Ort.Laenge, jd);
    if (c.EklipKoor || c.PhysEph) EquatorialToEcliptic(jd, row.dec, row.ra, row.lon, row.lat);
  }
  row.raOut = row.ra, row.decOut = row.dec;
  if (c.EklipKoor) row.lonOut = row.lon, row.latOut = row.lat;
  if (!s.AequinTag) {
    const Extended epoch = EpochOfYear(s.Aequinokt);
    PrecessEquatorial(row.raOut, row.decOut, epoch, jd);
    if (c.EklipKoor) PrecessEcliptic(row.lonOut, row.latOut, epoch, jd);
  }
  if (c.StdwDe || c.AzimKoor) {
    const Extended lst_rad = static_cast<Extended>(LocalSiderealTime(s.Ort.Laenge, jd)) * kPi / 12;
    row.ha = Wrap2Pi(lst_rad - row.ra);
    if (c.AzimKoor) EquatorialToHorizontal(DegToRad(s.Ort.Breite), row.dec, row.ha, row.az, row.alt);
  }
}

// Rise, transit and set of the Sun and the Moon, and twilight, belong to the
// local calendar day: the rows of one day share them, so a table computes
// them once per day and kind (the search depends on nothing else). The
// date column likewise.
class DayEvents {
 public:
  const std::string& Text(int32_t kind, Extended lat_deg, Extended lonWest_deg, float zone_h, Extended jd) {
    const Extended midnight = ZoneMidnight(jd, zone_h);
    Entry& e = kind == kRiseSetSun || kind == kRiseSetMoon ? riseSet_ : twilight_;
    if (!e.valid || e.kind != kind || e.lat != lat_deg || e.lon != lonWest_deg || e.zone != zone_h ||
        e.midnight != midnight) {
      e = {true, kind, lat_deg, lonWest_deg, zone_h, midnight, RiseSet(kind, lat_deg, lonWest_deg, zone_h, jd).text};
    }
    return e.text;
  }

  // The date column of a local day (the style is the table's).
  const std::string& Date(const ZoneInstant& local, const DateStyle& style) {
    if (!(local.valid && local.dayJD == dateDay_)) {
      date_ = DateText(local, style);
      dateDay_ = local.valid ? local.dayJD : std::nanl("");
    }
    return date_;
  }

 private:
  struct Entry {
    bool valid = false;
    int32_t kind = 0;
    Extended lat = 0, lon = 0;
    float zone = 0;
    Extended midnight = 0;
    std::string text;
  };
  Entry riseSet_, twilight_;
  Extended dateDay_ = std::nanl("");
  std::string date_;
};

// The cells of one row, in the order of the column header line.
class RowFormatter {
 public:
  RowFormatter(const TSettings& s, const TRunContext& run, const Row& row, DayEvents& events)
      : s_(s), c_(s.TableColumns), row_(row), jd_(run.StartJulDat), deltaT_(run.DeltaT), tt_(jd_ + deltaT_),
        zone_(run.Zeitzone), sep_(s.SpaltenSeparator), angle_(AngleStyleOf(s)), kind_(s.Objekt),
        hasPlace_(RowHasPlace(row)), events_(events) {}

  std::string Text() {
    TimeColumns();
    CoordinateColumns();
    LocalColumns();
    MoonColumns();
    BodyColumns();
    PhysicalColumns();
    return text_;
  }

 private:
  void Cell(const std::string& cell) { text_ += cell + sep_; }

  // Weekday, date and clock time of one rounded instant, so that they agree.
  void TimeColumns() {
    const ZoneInstant local = ZoneInstantOf(jd_, zone_);
    if (c_.Wochentag) Cell(WeekdayText(local) + " ");
    if (c_.Datum) Cell(events_.Date(local, DateStyleOf(s_)));
    if (c_.Uhrzeit) Cell(" " + ClockTimeText(local));
    if (s_.ShowJulDat) Cell(Str(jd_, 15, 5));
  }

  void CoordinateColumns() {
    if (c_.RaDe) {
      Cell(s_.RAGrad ? "  " + LongitudeText(row_.raOut, angle_) : "   " + HoursAngleText(row_.raOut, angle_));
    }
    if (c_.StdwDe) {
      Cell(s_.RAGrad || s_.Nautisch ? "  " + LongitudeText(row_.ha, angle_)
                                    : "   " + HoursAngleText(row_.ha, angle_));
    }
    if (c_.RaDe || c_.StdwDe) Cell(LatitudeText(row_.decOut, angle_));
    if (c_.EklipKoor) {
      Cell("  " + LongitudeText(row_.lonOut, angle_));
      Cell(LatitudeText(row_.latOut, angle_));
    }
  }

  void LocalColumns() {
    const Extended lat = s_.Ort.Breite, lon = s_.Ort.Laenge;
    if (c_.AzimKoor) {
      const std::string t = " " + AzimuthElevationText(row_.alt, row_.az, angle_);
      const std::size_t cut = Utf8Length(t) - 10;
      Cell(Utf8Left(t, cut) + sep_ + Utf8Mid(t, cut + 1, 10));
    }
    if (c_.AufKulmUnt) {
      // Rise (6 characters), blank and culmination (7), blank and set (7).
      // The Sun's and the Moon's come from their own series; the estimate
      // of the other bodies needs the row's place.
      std::string t = kNoRiseSetText;
      if (kind_ == kSun || kind_ == kMoon) {
        t = events_.Text(kind_ == kSun ? kRiseSetSun : kRiseSetMoon, lat, -lon, zone_, jd_);
      } else if (hasPlace_) {
        t = QuickRiseSet(lat, lon, zone_, row_.ra, row_.dec, jd_).text;
      }
      Cell("  " + t.substr(0, 6) + sep_ + t.substr(6, 7) + sep_ + t.substr(13));
    }
    if (c_.AufUntAz) {
      Extended az = 0;
      if (hasPlace_ && RisingAzimuth(DegToRad(lat), row_.dec, az)) {
        const Extended a_deg = az * kRadToDeg;
        Cell(Str(a_deg, 7, 0) + "°" + sep_ + Str(360 - a_deg, 4, 0) + "°");
      } else {
        Cell("    -- " + sep_ + "   -- ");
      }
    }
    if (c_.AEDaemm && kind_ == kSun) {
      const std::string t = " " + events_.Text(TwilightKind(s_.DaemmTiefe), lat, -lon, zone_, jd_);
      Cell(t.substr(0, t.size() - 7) + sep_ + t.substr(t.size() - 7));
    }
  }

  void MoonColumns() {
    if (kind_ != kMoon) return;
    if (c_.Mondphase) Cell(Str(row_.P, 7, 2));
    if (c_.Mondalter) Cell(Str(row_.P * 14.8L, 7, 1));
  }

  void BodyColumns() {
    if (c_.Elongation && kind_ >= kMercury) Cell(Str(DegreesOf(row_.elong), 7, 1));
    if (c_.Entfernung && kind_ >= kSun) {
      if (s_.Nautisch) {
        const Extended hp_deg = std::atan2(kEarthRadius_km / (row_.delta * kAu_km), 1.0L) * kRadToDeg;
        Cell(Str(hp_deg * 60, 9, 5));
      } else if (kind_ == kMoon) {
        Cell(Str(row_.delta * kAu_km, 9, 0));
      } else {
        Cell(Str(row_.delta, 9, 5));
      }
    }
    if (c_.Helligkeit && kind_ >= kSun) Cell(Str(row_.mag, 7, 1));
    if (c_.Durchmesser && kind_ >= kSun && kind_ <= kPluto) {
      Cell(s_.Nautisch ? Str(row_.diam / 120, 8, 2) : Str(row_.diam, 8, 1));
      if (kind_ == kSaturn) {
        Cell(s_.Nautisch ? Str(row_.diam * 2.31L / 120, 7, 2) : Str(row_.diam * 2.31L, 7, 1));
      }
    }
  }

  void PhysicalColumns() {
    if (!c_.PhysEph) return;
    if (!hasPlace_) {
      PhysicalPlaceholders();
      return;
    }
    if (kind_ >= kMoon && kind_ <= kPluto) {
      const Extended i = kind_ == kMoon ? row_.moonPhaseAngle : PhaseAngle(row_.delta, row_.r, row_.R, row_.elong);
      Cell(Str(DegreesOf(i), 8, 1));
    }
    if (kind_ == kSun) {
      const SunOrientation o = SunOrientationOf(tt_);
      OrientationCells(o.P, o.B0, o.L0, nullptr);
    } else if (IsPlanet(kind_)) {
      const PlanetOrientation o = PlanetOrientationOf(kind_, jd_, deltaT_, row_.ra, row_.dec, row_.delta);
      OrientationCells(o.P, o.D, o.CM, kind_ == kJupiter ? &o.CM2 : nullptr);
    } else if (kind_ == kMoon) {
      const Libration l = LunarLibration(row_.lon, row_.lat, tt_);
      const SunOnMoon sun = SunOnMoonOf(row_.lon, row_.lat, row_.delta, tt_);
      Cell(Str(l.l * kRadToDeg, 7, 1) + " ");
      Cell(Str(l.b * kRadToDeg, 5, 1));
      Cell(Str(sun.colongitude * kRadToDeg, 8, 1));
      Cell(Str(sun.latitude * kRadToDeg, 5, 1));
    }
  }

  // The physical columns of a row without a place, in their widths.
  void PhysicalPlaceholders() {
    const Extended none = std::nanl("");
    if (kind_ >= kMoon && kind_ <= kPluto) Cell(Str(none, 8, 1));
    if (kind_ == kSun || IsPlanet(kind_)) OrientationCells(none, none, none, kind_ == kJupiter ? &none : nullptr);
    if (kind_ == kMoon) {
      Cell(Str(none, 7, 1) + " ");
      Cell(Str(none, 5, 1));
      Cell(Str(none, 8, 1));
      Cell(Str(none, 5, 1));
    }
  }

  void OrientationCells(Extended p, Extended d, Extended cm, const Extended* cm2) {
    Cell(Str(p * kRadToDeg, 7, 1));
    Cell(" " + Str(d * kRadToDeg, 6, 1));
    Cell(Str(cm * kRadToDeg, 7, 1));
    if (cm2 != nullptr) Cell(Str(*cm2 * kRadToDeg, 7, 1));
  }

  const TSettings& s_;
  const TTableColumns& c_;
  const Row& row_;
  Extended jd_, deltaT_, tt_;
  float zone_;
  const std::string& sep_;
  AngleStyle angle_;
  int32_t kind_;
  bool hasPlace_;
  DayEvents& events_;
  std::string text_;
};

// Every quantity of a row without a place: not a number.
Row RowWithoutPlace() {
  const Extended none = std::nanl("");
  Row row;
  row.lon = row.lat = row.ra = row.dec = row.delta = row.r = row.R = none;
  row.elong = row.mag = row.diam = row.P = row.moonPhaseAngle = none;
  row.raOut = row.decOut = row.lonOut = row.latOut = row.ha = row.az = row.alt = none;
  return row;
}

// The row of run.StartJulDat into the text area; whether it had a place.
bool AddRow(const TSettings& s, const TRunContext& run, Host& host, const ArbitraryCoordinates& arbitrary,
            DayEvents& events) {
  const Row row = ComputeRow(s, run.StartJulDat, run.DeltaT, arbitrary);
  host.AddLine(RowFormatter(s, run, row, events).Text());
  return RowHasPlace(row);
}

// Why a row has no place: the planetary theory's reason with the range of
// the ephemeris, or for a small body whose own orbit gave none (the solver's
// report has been shown) that its elements give no place at that date.
std::string NoPlaceMessage(const TSettings& s, Extended jd) {
  if (s.Objekt != kSmallBody || !theory::LastError().empty()) return NoPlaceText(jd, DateStyleOf(s));
  return "Für den " + DateText(jd, 0, DateStyleOf(s)) + " ergeben die Bahnelemente von \"" + s.CurrentElements.name +
         "\" keinen Ort.";
}

// Why a table has no rows, or only its first one; empty when it has them
// all.
std::string RowCountWarning(const TSettings& s, int64_t rows) {
  if (rows > kMaxTableRows) {
    return "Die Tabelle hätte " + std::to_string(rows) + " Zeilen; mehr als " + std::to_string(kMaxTableRows) +
           " Zeilen werden nicht berechnet. Bitte die Schrittweite vergrößern oder den Zeitraum verkürzen.";
  }
  if (s.Tabelle && !(s.TableColumns.Schrittweite >= kShortestStep_days)) {
    return "Die Schrittweite ist kleiner als eine Sekunde; es wird nur die Zeile zur Startzeit berechnet.";
  }
  return "";
}

}  // namespace

TableRow ComputeRow(const TSettings& s, Extended jd, Extended deltaT_days, const ArbitraryCoordinates& arbitrary) {
  Row row;
  const Extended tt = jd + deltaT_days;
  if (s.Objekt == kArbitrary) {
    ArbitraryPosition(jd, arbitrary, row);
  } else if (s.Objekt == kSmallBody) {
    SmallBodyRow(s, jd, tt, row);
  } else {
    TheoryPosition(s, tt, row);
  }
  if (!RowHasPlace(row)) return RowWithoutPlace();
  RowFrames(s, jd, row);
  return row;
}

bool RowHasPlace(const TableRow& row) {
  return std::isfinite(row.ra) && std::isfinite(row.dec) && std::isfinite(row.lon) && std::isfinite(row.lat);
}

int64_t TableRowCount(const TSettings& s, const TRunContext& run) {
  const Extended step = s.TableColumns.Schrittweite;
  if (!s.Tabelle || !(step >= kShortestStep_days)) return 1;
  // Rows k = 0, 1, ... up to the first with Startdat + k step >= EndJulDat - 0.00001.
  const Extended steps = std::ceil((run.EndJulDat - 0.00001L - s.Startdat) / step);
  if (!std::isfinite(steps)) return 0;
  if (steps <= 0) return 1;
  if (steps >= static_cast<Extended>(kMaxTableRows) * 100) return kMaxTableRows * 100;
  return static_cast<int64_t>(steps) + 1;
}

std::string TableTitle(const TSettings& s) {
  switch (s.Objekt) {
    case kArbitrary:
      return s.ArbitraryTitle;
    case kSun:
      return "Sonne";
    case kMoon:
      return s.MondTopozentrisch ? "Mond (topozentrisch)" : "Mond";
    case kSmallBody: {
      const CometBahnTyp& e = s.CurrentElements;
      if (!e.asteroid) return "Komet " + e.name;
      if (e.number < 1) return "Asteroid " + e.name;
      return "Asteroid (" + std::to_string(e.number) + ") " + e.name;
    }
    default:
      return s.PlanetName(s.Objekt);
  }
}

TableResult ComputeTable(const TSettings& s, TRunContext& run, Host& host, const ArbitraryCoordinates& arbitrary) {
  KernelHostScope kernelReports(host);
  run.Begin(kRunTable);
  host.EnableStop(true);
  run.StartJulDat = s.Startdat;
  run.Zeitzone = s.Zeitzone;
  run.DeltaT = DeltaT(run.StartJulDat, s.TDT).days;

  const std::string header = HeaderLine(s, run);
  if (header != run.LastHeader) {
    if (host.LineCount() > 1) host.AddLine("");
    host.AddLine(header);
    run.LastHeader = header;
  }
  host.AddLine("");
  host.AddLine(TableTitle(s));
  host.AddLine(ColumnHeaderLine(s, run.Zeitzone));

  TableResult result;
  int64_t rows = TableRowCount(s, run);
  if (const std::string warning = RowCountWarning(s, rows); !warning.empty()) {
    host.MessageBox(MsgKind::Warning, "Schrittweite", warning);
  }
  if (rows > kMaxTableRows) rows = 0;
  if (s.Objekt == kSmallBody && !OrbitIsUsable(s.CurrentElements)) {
    host.MessageBox(MsgKind::Error, "Fehler!",
                    "Die Bahnelemente von \"" + s.CurrentElements.name +
                        "\" beschreiben keine Bahn: Periheldistanz und Exzentrizität prüfen.");
    rows = 0;
  }
  const Extended step = s.TableColumns.Schrittweite;
  bool placeReported = false;
  DayEvents events;
  for (int64_t k = 0; k < rows; ++k) {
    // Each row from the start and its number: a sum of steps would drift.
    run.StartJulDat = s.Startdat + static_cast<Extended>(k) * step;
    run.DeltaT = DeltaT(run.StartJulDat, s.TDT).days;
    const bool hasPlace = AddRow(s, run, host, arbitrary, events);
    ++result.rows;
    if (hasPlace) ++result.rowsWithPlace;
    if (!hasPlace && !placeReported) {
      host.MessageBox(MsgKind::Error, "Ephemeride", NoPlaceMessage(s, run.StartJulDat));
      placeReported = true;
    }
    if (k == 0 && !theory::FallbackReason().empty()) {
      host.MessageBox(MsgKind::Information, "Ephemeride", "Verwendete Ephemeride: " + theory::EphemerisDescription());
    }
    if (k + 1 < rows && !PumpAndAskStop(run, host, kRunTable)) break;
  }

  run.RunState = 0;
  run.StartJulDat = s.Startdat;
  host.EnableStop(false);
  return result;
}

TableResult YearBookRun(const TSettings& s, TRunContext& run, Host& host, const IniDocument& settingsFile) {
  TableResult total;
  run.YearBookRun = true;
  for (int32_t i = kSun; i <= kNeptune && run.YearBookRun; ++i) {
    // The table's own settings: the columns, step and topocentric flag of
    // its section.
    TSettings table = s;
    TTableColumns columns;
    ReadTableColumns(settingsFile, kYearbookSectionPrefix + s.PlanetName(i), columns, table.MondTopozentrisch);
    if (!columns.ObjDarstell) continue;
    if (s.Nautisch && columns.RaDe) {
      columns.StdwDe = true;
      columns.RaDe = false;
    }
    table.TableColumns = columns;
    if (i >= kMercury) table.PlanetNr = i;
    table.Objekt = i;
    const TableResult r = ComputeTable(table, run, host);
    total.rows += r.rows;
    total.rowsWithPlace += r.rowsWithPlace;
  }
  run.YearBookRun = false;
  return total;
}

}  // namespace orb
