// SPDX-License-Identifier: AGPL-3.0-or-later
#include "tables/TableText.h"

#include <cmath>
#include <initializer_list>

#include "core/NumText.h"
#include "settings/RunContext.h"
#include "settings/Settings.h"
#include "tables/TableFormat.h"

namespace orb {
namespace {

bool KindIn(int32_t kind, int32_t first, int32_t last) { return kind >= first && kind <= last; }

// Date and short time of the start instant, for tables without these
// columns; both shown: the date of the rounded minute.
std::string StartInstantText(const TSettings& s, const TRunContext& run) {
  const TTableColumns& c = s.TableColumns;
  std::string text;
  if (!c.Datum && !c.Uhrzeit) return DateTimeText(run.StartJulDat, run.Zeitzone, DateStyleOf(s)) + " " +
                                     ZoneName(run.Zeitzone, 6, s.TDT) + " ";
  if (!c.Datum) text += DateText(run.StartJulDat, run.Zeitzone, DateStyleOf(s)) + "  ";
  if (!c.Uhrzeit) {
    text += ZoneShortTimeText(run.StartJulDat, run.Zeitzone) + " " + ZoneName(run.Zeitzone, 6, s.TDT) + " ";
  }
  return text;
}

// "Ort: " name, latitude N/S and longitude O/W of the observer.
std::string PlaceText(const TSettings& s) {
  const Extended lat = std::fabs(s.Ort.Breite);
  const Extended lon = std::fabs(s.Ort.Laenge);
  std::string text = "Ort: " + s.Ort.Name + ",  ";
  if (s.NoMinutes) {
    text += "  " + StrT(lat, 1, 3) + "°";
  } else {
    text += " " + PlaceAngleText(DegToRad(lat), AngleStyle{});
  }
  text += s.Ort.Breite >= 0 ? " N " : " S ";
  text += s.NoMinutes ? StrT(lon, 1, 3) + "°" : PlaceAngleText(DegToRad(lon), AngleStyle{});
  text += s.Ort.Laenge >= 0 ? " O   " : " W   ";
  return text;
}

// The equinox of the coordinates and the corrections applied to them.
std::string EquinoxText(const TSettings& s) {
  std::string text;
  if (!s.AequinTag) {
    text = "Äquin:" + Str(s.Aequinokt, 9, 1);
  } else if (s.Nutation) {
    text = " wahres Äquinoktium des Tages";
  } else {
    text = " mittleres Äquinoktium des Tages";
  }
  if (!s.Lichtlaufzeit) text += " ohne Lichtlaufzeit";
  if (s.Aberration) text += ", mit Aberration";
  text += s.MondTopozentrisch ? " topozentrisch" : ", geozentrisch";
  return text;
}

// Collects header texts, each followed by the column separator.
class HeaderBuilder {
 public:
  explicit HeaderBuilder(const std::string& separator) : separator_(separator) {}
  void Add(std::initializer_list<std::string> texts) {
    for (const std::string& t : texts) line_ += t + separator_;
  }
  const std::string& Line() const { return line_; }

 private:
  const std::string& separator_;
  std::string line_;
};

// Weekday, date, time and Julian date.
void AddTimeHeaders(const TSettings& s, float zone_h, HeaderBuilder& h) {
  const TTableColumns& c = s.TableColumns;
  if (c.Wochentag) h.Add({"   "});
  if (c.Datum) h.Add({"   Datum  "});
  if (c.Uhrzeit) {
    std::string zone = ZoneName(zone_h, 6, s.TDT);
    if (zone.size() < 9) zone.insert(0, 9 - zone.size(), ' ');
    h.Add({zone});
  }
  if (s.ShowJulDat) h.Add({"  Julian. Datum"});
}

// Right ascension, hour angle, declination, ecliptic and horizontal coordinates.
void AddCoordinateHeaders(const TSettings& s, HeaderBuilder& h) {
  const TTableColumns& c = s.TableColumns;
  if (c.RaDe) h.Add({"      Rektasz."});
  if (c.StdwDe) h.Add({s.Nautisch ? "     Stundenw. " : "    Stundenw. "});
  if (c.RaDe || c.StdwDe) h.Add({"     Deklin."});
  if (c.EklipKoor) h.Add({"      Ekl. Lg.", "     Ekl. Br"});
  if (c.AzimKoor) h.Add({"   Azimut ", "    Elev. "});
}

// Rise, culmination and set, their azimuths, twilight, the Moon's phase and age.
void AddEventHeaders(const TSettings& s, HeaderBuilder& h) {
  const TTableColumns& c = s.TableColumns;
  if (c.AufKulmUnt) h.Add({"   Aufg.", "  Kulm.", " Unterg"});
  if (c.AufUntAz) h.Add({"  Az Auf", " Unt."});
  if (c.AEDaemm && s.Objekt == kSun) h.Add({"  ADämm", "  EDämm"});
  if (c.Mondphase && s.Objekt == kMoon) h.Add({"  Phase"});
  if (c.Mondalter && s.Objekt == kMoon) h.Add({"  Alter"});
}

// Elongation, distance, magnitude and diameters.
void AddBodyHeaders(const TSettings& s, HeaderBuilder& h) {
  const TTableColumns& c = s.TableColumns;
  const int32_t kind = s.Objekt;
  if (c.Elongation && KindIn(kind, kMercury, kSmallBody)) h.Add({"  Elong"});
  if (c.Entfernung && KindIn(kind, kSun, kSmallBody)) h.Add({s.Nautisch ? "  HP ['] " : "   Entf. "});
  if (c.Helligkeit && KindIn(kind, kSun, kSmallBody)) h.Add({"  Hell."});
  if (c.Durchmesser && KindIn(kind, kSun, kPluto)) h.Add({s.Nautisch ? "   r [']" : "   Ø [\"]"});
  if (c.Durchmesser && kind == kSaturn) h.Add({" Ø Ring"});
}

// Phase angle, orientation of the Sun or planet, librations of the Moon.
void AddPhysEphHeaders(const TSettings& s, HeaderBuilder& h) {
  if (!s.TableColumns.PhysEph) return;
  const int32_t kind = s.Objekt;
  if (KindIn(kind, kMoon, kPluto)) h.Add({" Phas.W."});
  if (kind == kSun || KindIn(kind, kMercury, kPluto)) {
    h.Add({" Pos.W.", " BrErde"});
    if (kind == kJupiter) {
      h.Add({"  ZM I", "  ZM II"});
    } else {
      h.Add({"    ZM "});
    }
  }
  if (kind == kMoon) h.Add({" Lib Lg.", "  Br.", " Colong.", "  Br."});
}

}  // namespace

std::string HeaderLine(const TSettings& s, const TRunContext& run) {
  const TTableColumns& c = s.TableColumns;
  std::string line = StartInstantText(s, run);
  if (c.AufKulmUnt || c.AzimKoor || c.StdwDe || (c.AEDaemm && s.Objekt == kSun)) line += PlaceText(s);
  if (c.RaDe || c.EklipKoor) line += EquinoxText(s);
  line += ",  DeltaT = " + Str(run.DeltaT * 86400, 1, 1) + " s";
  if (s.TDT) line += " (TDT)";
  return line;
}

std::string ColumnHeaderLine(const TSettings& s, float zone_h) {
  HeaderBuilder h(s.SpaltenSeparator);
  AddTimeHeaders(s, zone_h, h);
  AddCoordinateHeaders(s, h);
  AddEventHeaders(s, h);
  AddBodyHeaders(s, h);
  AddPhysEphHeaders(s, h);
  return h.Line();
}

}  // namespace orb
