// SPDX-License-Identifier: AGPL-3.0-or-later
#include "settings/CurrentElements.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <optional>

#include "core/Constants.h"
#include "core/NumKernel.h"
#include "core/NumText.h"
#include "core/SafeFile.h"
#include "core/TimeScales.h"
#include "settings/NumberReader.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsLoad.h"

namespace orb {
namespace fs = std::filesystem;

namespace {

constexpr const char* kErrorCaption = "Fehler!";

// Gaussian gravitational constant (radians per day).

// Removes control characters and blanks from both ends.
std::string Trim(const std::string& s) {
  std::size_t b = 0;
  std::size_t e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return s.substr(b, e - b);
}

bool HasDigit(const std::string& s) {
  for (char c : s)
    if (c >= '0' && c <= '9') return true;
  return false;
}

void ClearRates(Bahndatyp& el) {
  el.de = 0;
  el.di = 0;
  el.dAscN = 0;
  el.dPerL = 0;
}

// Semi-major axis (AU) of a conic from its perihelion distance q (AU) and
// eccentricity e != 1; positive for ellipses and hyperbolas alike.
Extended AxisFromPerihelion(Extended q, Extended e) { return std::fabs(q / (1 - e)); }

// Nearest integer, limited to the 32-bit range (NaN gives 0).
int32_t RoundToInt32(Extended x) {
  if (std::isnan(x)) return 0;
  constexpr Extended lo = std::numeric_limits<int32_t>::min();
  constexpr Extended hi = std::numeric_limits<int32_t>::max();
  if (x <= lo) return std::numeric_limits<int32_t>::min();
  if (x >= hi) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(std::llround(x));
}

// ---------------------------------------------------------------------------
// Minor-planet element files (".AST"), little-endian:
//   offset 0, u32: epoch E (the elements hold at JD E + 0.5)
//   offset 4, u16: count N of records
//   offset 6 + 24 (n - 1): record of minor planet n, six u32: M0 (1e-7 deg),
//     semi-major axis code, e (1e-8), node, perihelion angle, inclination
//     (1e-7 deg each).

constexpr std::uint64_t kHeaderBytes = 6;
constexpr std::uint64_t kRecordBytes = 24;
// 360 degrees in the records' unit of 1e-7 degree.
constexpr std::uint32_t kFullTurnUnits = 3600000000u;

struct AstHeader {
  std::uint32_t epoch = 0;
  std::uint16_t count = 0;
};

enum class AstStatus { Ok, NoHeader, NoSuchRecord, RecordMissing, RecordInvalid };

std::uint32_t LittleEndian32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::uint16_t LittleEndian16(const unsigned char* p) {
  return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

// Semi-major axis (AU) of the axis code v: v/1e8 up to 21 AU, beyond that
// stretched fourfold up to 63 AU, beyond that 63/(4 - v/1.05e9). Codes from
// 4.2e9 on give no positive finite axis.
Extended AxisFromCode(std::uint32_t v) {
  Extended a = v / 1e8L;
  if (a > 21) a = (a - 21) * 4 + 21;
  if (a > 63) a = 63 / (4 - v / 1.05e9L);
  return a;
}

// Number, name and magnitudes of minor planet n from its name-list line:
// H is the first number of characters 1 to 12, G the next one when the
// rest of those characters holds a digit (else 0.15); the name is
// characters 13 to 37, trimmed, or "(n)" when the line holds no name.
void ApplyListText(const std::string& listText, int32_t n, CometBahnTyp& el) {
  el.number = n;
  el.name = Trim(Utf8Mid(listText, 13, 25));
  if (el.name.empty()) el.name = "(" + std::to_string(n) + ")";
  std::string magnitudes = Utf8Left(listText, 12);
  el.mag = static_cast<float>(ReadNumber(magnitudes));
  el.dmag = HasDigit(magnitudes) ? static_cast<float>(ReadNumber(magnitudes)) : 0.15f;
}

// Decodes record n (24 bytes at `rec`) of a file with header `h` into `el`;
// `el` is changed only when the record describes an ellipse.
AstStatus DecodeRecord(const unsigned char* rec, const AstHeader& h, int32_t n, const std::string& listText,
                       CometBahnTyp& el) {
  CometBahnTyp next = el;
  ApplyListText(listText, n, next);
  next.equinox = 2000;
  next.TM0 = h.epoch + 0.5L;
  next.M0 = DegToRad(LittleEndian32(rec) / 1e7L);
  next.a = AxisFromCode(LittleEndian32(rec + 4));
  next.e = LittleEndian32(rec + 8) / 1e8L;
  next.AscN = DegToRad(LittleEndian32(rec + 12) / 1e7L);
  next.PerL = DegToRad(LittleEndian32(rec + 16) / 1e7L);
  next.i = DegToRad(LittleEndian32(rec + 20) / 1e7L);
  if (!(next.a > 0 && std::isfinite(next.a) && next.e < 1)) return AstStatus::RecordInvalid;
  // Angles beyond a full turn (an inclination beyond half a turn) come from
  // no element list: the record holds other bytes.
  for (const std::uint32_t offset : {0u, 12u, 16u}) {
    if (LittleEndian32(rec + offset) >= kFullTurnUnits) return AstStatus::RecordInvalid;
  }
  if (LittleEndian32(rec + 20) > kFullTurnUnits / 2) return AstStatus::RecordInvalid;
  // Back from the mean anomaly to the perihelion passage: n = k / sqrt(a^3).
  next.T0 = next.TM0 - std::sqrt(next.a * next.a * next.a) * next.M0 / kGaussK;
  next.q = (1 - next.e) * next.a;
  ClearRates(next);
  next.asteroid = true;
  next.diameter = 0;
  el = next;
  return AstStatus::Ok;
}

// Finds and decodes record n of a file of `size` bytes; `readAt(offset,
// count, buffer)` reads bytes of the file and returns false when it cannot.
template <class ReadAt>
AstStatus ReadRecord(std::uint64_t size, ReadAt&& readAt, int32_t n, const std::string& listText,
                     CometBahnTyp& el) {
  unsigned char head[kHeaderBytes];
  if (size < kHeaderBytes || !readAt(0, kHeaderBytes, head)) return AstStatus::NoHeader;
  const AstHeader h{LittleEndian32(head), LittleEndian16(head + 4)};
  if (n < 1 || n > h.count) return AstStatus::NoSuchRecord;
  const std::uint64_t offset = kHeaderBytes + kRecordBytes * static_cast<std::uint64_t>(n - 1);
  unsigned char rec[kRecordBytes];
  if (size < offset + kRecordBytes || !readAt(offset, kRecordBytes, rec)) return AstStatus::RecordMissing;
  return DecodeRecord(rec, h, n, listText, el);
}

std::string Reason(AstStatus status, int32_t n) {
  switch (status) {
    case AstStatus::NoHeader: return "der Dateikopf fehlt";
    case AstStatus::RecordMissing: return "der Datensatz " + std::to_string(n) + " fehlt";
    case AstStatus::RecordInvalid: return "der Datensatz " + std::to_string(n) + " ist ungültig";
    case AstStatus::NoSuchRecord: return "kein Datensatz " + std::to_string(n);
    case AstStatus::Ok: break;
  }
  return {};
}

std::string Message(AstStatus status, const std::string& path, int32_t n) {
  if (status == AstStatus::NoSuchRecord)
    return "Datei " + path + " enthält keinen Datensatz " + std::to_string(n) + ".";
  return "Datei " + path + " ist beschädigt: " + Reason(status, n) + ".";
}

// directory/EEEE/EEEEEEE.AST for the epoch E (kept within seven digits).
std::string EpochFile(const std::string& directory, Extended epoch) {
  if (!(epoch >= 0)) epoch = 0;
  if (epoch > 9999999) epoch = 9999999;
  char digits[16];
  std::snprintf(digits, sizeof digits, "%07lld", static_cast<long long>(epoch));
  return directory + std::string(digits, 4) + "/" + digits + ".AST";
}

// A number of an element set for the messages (nine significant digits),
// or "keine Zahl".
std::string ElementNumberText(Extended x) {
  if (!std::isfinite(x)) return "keine Zahl";
  char text[64];
  std::snprintf(text, sizeof text, "%.9Lg", x);
  return text;
}

bool WithinCalendar(Extended jd) { return std::isfinite(jd) && std::fabs(jd) <= kCalendarLimit_jd; }

// The keys of section "Komet" that hold numbers.
constexpr const char* kElementNumberKeys[] = {"PerDat", "TM0",      "M0",   "PerDist", "Exz",    "Neig",     "PerL",
                                              "AKn",    "ElemEpoch", "AbsMag", "dMag", "Number", "diameter"};

}  // namespace

std::string ElementSetProblem(const CometBahnTyp& el) {
  if (!(el.q > 0 && el.q <= kMaxPerihelion_au))
    return "die Periheldistanz " + ElementNumberText(el.q) + " AE ist unmöglich";
  if (!(el.e >= 0 && el.e <= kMaxEccentricity)) return "die Exzentrizität " + ElementNumberText(el.e) + " ist unmöglich";
  for (const Extended angle : {el.i, el.PerL, el.AscN, el.M0}) {
    if (!std::isfinite(angle)) return "ein Winkel ist keine Zahl";
  }
  if (!WithinCalendar(el.T0)) return "der Periheldurchgang " + ElementNumberText(el.T0) + " ist kein Datum";
  if (!WithinCalendar(el.TM0)) return "die Epoche " + ElementNumberText(el.TM0) + " ist kein Datum";
  return {};
}

std::string CurrentElementsProblem(const IniDocument& ini, const CometBahnTyp& loaded) {
  if (loaded.name.empty()) return {};
  for (const char* key : kElementNumberKeys) {
    const std::optional<std::string> text = ini.Get(kCometSection, key);
    if (text && !HasDigit(*text)) return std::string(key) + " = " + *text + " ist keine Zahl";
  }
  return ElementSetProblem(loaded);
}

std::string CometLineProblem(const std::string& line) {
  // Perihelion day, month and year, M0, q, e, i, perihelion angle, node
  // and equinox; the magnitudes that follow may be missing.
  constexpr int kNeededNumbers = 10;
  std::string rest = line.substr(Utf8Left(line, 43).size());
  Extended number[kNeededNumbers] = {};
  for (int k = 0; k < kNeededNumbers; ++k) {
    if (!HasDigit(rest)) {
      return "sie enthält nur " + std::to_string(k) + " der " + std::to_string(kNeededNumbers) +
             " Zahlen vom Periheldatum bis zum Äquinoktium";
    }
    number[k] = ReadNumber(rest);
  }
  if (!(number[1] >= 1 && number[1] <= 12 && number[0] >= 0 && number[0] < 32))
    return "das Periheldatum ist kein Datum";
  CometBahnTyp el;
  ParseCometLine(line, el);
  return ElementSetProblem(el);
}

void LoadCurrentElements(const IniDocument& ini, CometBahnTyp& el) {
  const std::string sec = kCometSection;
  const auto real = [&](const char* key, Extended def) { return ReadIniReal(ini, sec, key, def); };
  el.name = ReadIniString(ini, sec, "Name", "");
  if (el.name.empty()) return;
  el.T0 = real("PerDat", 2444000);
  el.TM0 = real("TM0", 0);
  el.M0 = DegToRad(real("M0", 0));
  el.q = real("PerDist", 0);
  el.e = real("Exz", 0);
  if (el.e != 1) el.a = AxisFromPerihelion(el.q, el.e);
  el.i = DegToRad(real("Neig", 0));
  el.PerL = DegToRad(real("PerL", 0));
  el.AscN = DegToRad(real("AKn", 0));
  // A set written by hand without its equinox refers to 2000.0 (the equinox
  // of every modern element list), not to the year 0.
  el.equinox = static_cast<float>(real("ElemEpoch", kDefaultElementEquinox));
  el.mag = static_cast<float>(real("AbsMag", 0));
  el.dmag = static_cast<float>(real("dMag", 0));
  el.asteroid = ReadIniFlag(ini, sec, "Asteroid", false);
  el.number = ReadIniInteger(ini, sec, "Number", 0);
  el.diameter = static_cast<float>(real("diameter", 0));
  ClearRates(el);
}

void SaveCurrentElements(SettingsFile& file, const CometBahnTyp& el) {
  const std::string name = Trim(el.name);
  if (name.empty()) return;
  const std::string sec = kCometSection;
  file.WriteString(sec, "Name", name);
  file.WriteReal(sec, "PerDat", el.T0, -6);
  file.WriteReal(sec, "M0", RadToDeg(el.M0), -7);
  file.WriteReal(sec, "TM0", el.TM0, -6);
  file.WriteReal(sec, "PerDist", el.q, -9);
  file.WriteReal(sec, "Exz", el.e, -9);
  file.WriteReal(sec, "Neig", RadToDeg(el.i), -7);
  file.WriteReal(sec, "PerL", RadToDeg(el.PerL), -7);
  file.WriteReal(sec, "AKn", RadToDeg(el.AscN), -7);
  file.WriteReal(sec, "ElemEpoch", el.equinox, 10);
  file.WriteReal(sec, "AbsMag", el.mag, -3);
  file.WriteReal(sec, "dMag", el.dmag, -3);
  file.WriteFlag(sec, "Asteroid", el.asteroid);
  file.WriteInteger(sec, "Number", el.number);
  file.WriteReal(sec, "diameter", el.diameter, 0);
}

void ParseCometLine(const std::string& line, CometBahnTyp& el) {
  const std::string nameField = Utf8Left(line, 43);
  el.name = Trim(nameField);
  std::string rest = line.substr(nameField.size());
  const Extended day = ReadNumber(rest);
  const Extended month = ReadNumber(rest);
  const Extended year = ReadNumber(rest);
  el.T0 = CalendarToJD(RoundToInt32(year), RoundToInt32(month), day);
  el.M0 = DegToRad(ReadNumber(rest));
  el.q = ReadNumber(rest);
  el.e = ReadNumber(rest);
  el.a = el.e != 1 ? AxisFromPerihelion(el.q, el.e) : 0;
  el.i = DegToRad(ReadNumber(rest));
  el.PerL = DegToRad(ReadNumber(rest));
  el.AscN = DegToRad(ReadNumber(rest));
  el.equinox = static_cast<float>(ReadNumber(rest));
  el.mag = static_cast<float>(ReadNumber(rest));
  el.dmag = static_cast<float>(ReadNumber(rest));
  el.asteroid = UpperCaseLatin1(rest).find('A') != std::string::npos;
  el.diameter = 0;
  el.number = 0;
  ClearRates(el);
}

std::string ChooseAsteroidFile(SettingsFile& file, const std::string& directory, Extended jd) {
  const std::string sec = kAsteroidFilesSection;
  const Extended minJD = file.ReadReal(sec, "MinJulDat", 2440000);
  const Extended maxJD = file.ReadReal(sec, "MaxJulDat", 2459800);
  file.WriteReal(sec, "MinJulDat", minJD, 0);
  file.WriteReal(sec, "MaxJulDat", maxJD, 0);
  if (jd < minJD) jd = minJD;
  if (jd > maxJD) jd = maxJD;

  std::string dir = directory;
  if (!dir.empty() && dir.back() != '/') dir += '/';
  const std::string nearest50 = EpochFile(dir, 50 * std::floor((jd + 25.4L) / 50));
  if (const std::string found = ResolvePathCaseInsensitive(nearest50); !found.empty()) return found;
  const std::string nearest200 = EpochFile(dir, 200 * std::floor((jd + 100.4L) / 200));
  const std::string found = ResolvePathCaseInsensitive(nearest200);
  return found.empty() ? nearest200 : found;
}

bool ParseAsteroidRecord(const std::string& bytes, int32_t number, const std::string& listText, CometBahnTyp& el,
                         std::string& error) {
  const auto readAt = [&bytes](std::uint64_t offset, std::uint64_t count, unsigned char* out) {
    std::memcpy(out, bytes.data() + offset, count);
    return true;
  };
  const AstStatus status = ReadRecord(bytes.size(), readAt, number, listText, el);
  error = Reason(status, number);
  return status == AstStatus::Ok;
}

bool ReadAsteroidRecord(int32_t number, const std::string& path, const std::string& listText, CometBahnTyp& el,
                        Host& host) {
  const std::string found = ResolvePathCaseInsensitive(path);
  std::error_code ec;
  if (found.empty()) {
    host.MessageBox(MsgKind::Error, kErrorCaption, "Datei " + path + " nicht gefunden.");
    return false;
  }
  // A folder, a FIFO or a device in the file's place is never opened.
  const fs::file_status kind = fs::status(found, ec);
  const int notRegular = ec ? ec.value() : fs::is_directory(kind) ? EISDIR : !fs::is_regular_file(kind) ? EINVAL : 0;
  if (notRegular != 0) {
    host.MessageBox(MsgKind::Error, kErrorCaption,
                    "Datei " + path + " kann nicht gelesen werden: " + FileErrorReason(notRegular) + ".");
    return false;
  }
  errno = 0;
  std::ifstream in(found, std::ios::in | std::ios::binary);
  const int openError = errno;
  const std::uintmax_t size = fs::file_size(found, ec);
  if (!in || ec) {
    host.MessageBox(MsgKind::Error, kErrorCaption,
                    "Datei " + path + " kann nicht gelesen werden: " +
                        FileErrorReason(ec ? ec.value() : openError != 0 ? openError : EIO) + ".");
    return false;
  }
  const auto readAt = [&in](std::uint64_t offset, std::uint64_t count, unsigned char* out) {
    in.clear();
    in.seekg(static_cast<std::streamoff>(offset));
    in.read(reinterpret_cast<char*>(out), static_cast<std::streamsize>(count));
    return in.gcount() == static_cast<std::streamsize>(count);
  };
  const AstStatus status = ReadRecord(size, readAt, number, listText, el);
  if (status == AstStatus::Ok) return true;
  host.MessageBox(MsgKind::Error, kErrorCaption, Message(status, path, number));
  return false;
}

}  // namespace orb
